#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class DataSource;
class QAction;
class QMenu;
class QWidget;
class Query;
class TDBImage;
class TDBRichEdit;
class TImageForm;
class TOpenExeDialog;
class TOpenPictureDialog;

// The picture menu and its commands: a picture from a file or from an executable's icon, the
// clipboard, showing and stretching the picture window, and opening the picture in the
// application the desktop associates with bitmaps. It is the right-click menu of the picture
// window and of the label text.
class TPictureMenu : public QObject {
    Q_OBJECT
  public:
    // tempPath gives the temporary picture file's path (known once the settings are read).
    TPictureMenu(TImageForm* imageForm, TDBRichEdit* editor, QWidget* owner,
                 std::function<QString()> tempPath);

    QMenu* BmpPopup = nullptr;
    QAction* PicRead = nullptr;
    QAction* IconRead = nullptr;
    QAction* PicCut = nullptr;
    QAction* PicCopy = nullptr;
    QAction* PicPaste = nullptr;
    QAction* PicShow = nullptr;
    QAction* PicStretch = nullptr;
    QAction* BmpExe = nullptr;
    // The dialogs, made when first needed.
    TOpenPictureDialog& OpenPicDlg();
    TOpenExeDialog& OpenExeDlg();

    // Handlers.
    void GazouBtnClick();
    void BmpPopupPopup();
    void PicReadClick();
    void IconReadClick();
    void PicCutClick();
    void PicCopyClick();
    void PicPasteClick();
    void PicShowClick();
    void PicStretchClick();
    void BmpExeClick();

  private:
    void CreateItems();
    void ConnectItems();
    QAction* AddItem(const QString& name, const QString& caption, const QString& hint,
                     void (TPictureMenu::*handler)());
    TDBImage* Image() const;
    // The label design data set, put into edit state; raises when it cannot be edited.
    void EditDataSet() const;
    // A picture larger than the label is shrunk inside it, keeping its proportions.
    void FitToLabel(const QSize& picture);

    TImageForm* imageForm_;
    QPointer<TDBRichEdit> editor_;
    QWidget* owner_;
    std::function<QString()> tempPath_;
    TOpenPictureDialog* openPicDlg_ = nullptr;
    TOpenExeDialog* openExeDlg_ = nullptr;
};
