#pragma once

#include <QFileDialog>
#include <QList>
#include <QStringList>

class QLabel;

// An open dialog whose filter is given as "description|patterns|description|patterns…". The
// descriptions are listed as they are written, and the list shows exactly the files that the
// chosen entry's patterns (separated by semicolons) match.
class TWinOpenDialog : public QFileDialog {
    Q_OBJECT
  public:
    TWinOpenDialog(QWidget* parent, const QString& title, const QString& filter);

    // Shows the dialog; true when the user chose a file, which FileName() then names.
    bool Execute();
    QString FileName() const;
    // The patterns of the entry now chosen.
    QStringList CurrentPatterns() const;

  private:
    void UsePatterns(const QString& description);
    QStringList descriptions_;
    QList<QStringList> patterns_;
};

// OpenPicDlg: picture files, with a preview of the picture under the pointer.
class TOpenPictureDialog : public TWinOpenDialog {
    Q_OBJECT
  public:
    explicit TOpenPictureDialog(QWidget* parent);
    static QString Filter();

    QLabel* Preview = nullptr;
    QLabel* PreviewSize = nullptr;

  private:
    void ShowPreview(const QString& path);
};

// OpenExeDlg: executables; the folder must exist, the file need not.
class TOpenExeDialog : public TWinOpenDialog {
    Q_OBJECT
  public:
    explicit TOpenExeDialog(QWidget* parent);
    static QString Filter();
    static QString Title();
    static QString NoFolderText();

    void accept() override;
};
