#pragma once

#include "data/Database.h"
#include "data/DatabaseInfo.h"

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The version box: product, version and the version of the database server in use.
class TAboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit TAboutBox(QWidget* parent = nullptr);

    static constexpr int kHelpContext = 14;
    static constexpr int kPanel2HelpContext = 29;
    static constexpr int kCopyrightHelpContext = 16;
    static constexpr int kImageHelpContext = 1;
    static QString NoticeText();

    QFrame* Panel1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Version = nullptr;
    QFrame* Panel2 = nullptr;
    QLabel* Copyright = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* OKButton = nullptr;
    Database IBDatabase1;
    TDatabaseInfo IBDatabaseInfo1;

    void FormCreate();
    void FillTexts();
    void CopyrightMouseMove();
    void Panel2MouseMove();
    void CopyrightClick();
    void Image1Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreatePanel();
    void ReadServerVersion();
    void CloseConnection();
};

// Opens the version box modally and releases it when it closes.
void ShowAboutBox();
