#pragma once

#include <QDialog>

class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class TApplicationEvents;

// The database location dialog: the database file used from the next start on.
class TSetDbfForm : public QDialog {
    Q_OBJECT
  public:
    explicit TSetDbfForm(QWidget* parent = nullptr);

    static constexpr int kHelpContext = 6;
    static constexpr int kClientWidth = 453;
    static constexpr int kClientHeight = 128;

    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* SetBtn = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QFileDialog* DBSetDlg = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* HintPanel = nullptr;
    TApplicationEvents* ApplicationEvents1 = nullptr;

    void FormCreate();
    void SetBtnClick();
    // Stores a changed location; true when something was stored. Raises "IniFile Error".
    bool SetDbfSave();

    // The folder part of a database location, without trailing delimiter.
    static QString FolderPart(const QString& path);

  private:
    void ConfigureDBSetDlg();
};

// Shows the database location dialog; true when a new location was stored.
bool SetDbfExecute();
