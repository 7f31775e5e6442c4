#pragma once

#include "data/DataSource.h"
#include "data/Database.h"
#include "data/Query.h"
#include "data/UpdateSql.h"

#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <memory>

class QAction;
class QComboBox;
class QFrame;
class QToolButton;
class TApplicationEvents;
class TCaptionDBNavi;
class TCardList;
class TDBComboBox;
class TDBEdit;
class TDBRichEdit;
class TFormatBar;
class TSheetOutline;
class TEditMenu;
class TTextFlowMenu;
class TVerticalView;
class TDBGrid;
class TImageForm;
class TPictureMenu;
class QGroupBox;
class QLabel;
class QMenu;
class QStatusBar;
class QWidget;

// The main window: the hub that lives for the whole run.
class TTavrelForm : public QMainWindow {
    Q_OBJECT
  public:
    explicit TTavrelForm(QWidget* parent = nullptr);
    ~TTavrelForm() override;

    static constexpr int kClientWidth = 564;
    static constexpr int kClientHeight = 416;
    static constexpr int kHelpContext = 2;
    static QString Caption();

    // Components.
    QMenu* MainMenuFile = nullptr;
    QMenu* MainMenuEdit = nullptr;
    QMenu* MainMenuHelp = nullptr;
    QMenu* MainMenuFormat = nullptr;
    QMenu* MainMenuMerge = nullptr;
    QAction* MergeField1 = nullptr;
    QAction* Barcode1 = nullptr;
    QAction* K1 = nullptr;
    QAction* X1 = nullptr;
    QAction* N1 = nullptr;
    QAction* WenloHomePage1 = nullptr;
    QAction* mailtoWenlo1 = nullptr;
    QAction* Firebird1 = nullptr;
    QAction* N6 = nullptr;
    QWidget* ClientArea = nullptr;
    QFrame* ToolBar1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QFrame* Panel3 = nullptr;
    QFrame* Panel1 = nullptr;
    QFrame* Panel4 = nullptr;
    QToolButton* GazouBtn = nullptr;
    QToolButton* RecCopyBtn = nullptr;
    QToolButton* PaperBtn = nullptr;
    QToolButton* PrintBtn = nullptr;
    TDBEdit* DBEdit1 = nullptr;
    TDBComboBox* DBComboBoxPaper = nullptr;
    TDBGrid* DBGrid1 = nullptr;
    TCaptionDBNavi* CaptionDBNavi1 = nullptr;
    TCaptionDBNavi* CaptionDBNavi2 = nullptr;
    // The label text editor; the first control in tab order.
    TDBRichEdit* DBRichEdit1 = nullptr;
    TFormatBar* FormatBar1 = nullptr;
    // The label's edge in the editor, after the design's sheet.
    TSheetOutline* SheetOutline1 = nullptr;
    // The 編集 menu's commands and the design's undo history.
    TEditMenu* EditMenu1 = nullptr;
    TTextFlowMenu* TextFlowMenu1 = nullptr;
    TVerticalView* VerticalView1 = nullptr;
    TImageForm* ImageForm = nullptr;
    // The picture menu and its handlers.
    TPictureMenu* PictureMenu1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    QComboBox* ZoomBox = nullptr;

    Database IBDatabase1;
    Transaction IBTransaction1;
    Query IBQueryCard;
    TUpdateSQL IBUpdateSQL1;
    DataSource DSCard;
    Query IBQueryEtc;
    QString BmpTmpPath;
    TApplicationEvents* ApplicationEvents1 = nullptr;
    // The design list's handlers.
    std::unique_ptr<TCardList> CardList;

    // Handlers.
    void FormCreate();
    bool FormCloseQuery();
    void FormDestroy();
    void K1Click();
    void X1Click();
    void N1Click();
    void WenloHomePage1Click();
    void mailtoWenlo1Click();
    void Firebird1Click();
    void N6Click();
    bool ShellOpen(const QString& target);
    void PaperBtnClick();
    // The print entry: the print button and a double-click on the design list.
    void PrintBtnClick();
    // Asks for a column, from the design's last merge list or typed, and inserts its field.
    void MergeField1Click();
    void Barcode1Click();
    // Reads the design afresh and writes it to the print snapshot file; false when it is gone.
    // Raises "Print...Error".
    bool PreparePrintData(int ID);
    void ApplicationEvents1Hint();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateMenus();
    void CreateToolButtons();
    void CreatePictureMenu();
    void CreateVerticalView();
    void CreateFields();
    void CreateNavigators();
    void CreateList();
    void CreateClientArea();
    void CreateStatusBar();
    void CreateZoomBox();
    void PrepareEtcQuery();
};

// The program-wide reference to the main window; set before its creation handler runs.
extern TTavrelForm* TavrelForm;

// The links behind the Help menu (deployment values).
namespace Links {
inline const QString kMakerHomePage = QStringLiteral("https://www.wenlo.jp/");
inline const QString kMakerMail = QStringLiteral("mailto:support@wenlo.jp");
inline const QString kFirebirdJapan = QStringLiteral("https://www.firebird.gr.jp/");
} // namespace Links
