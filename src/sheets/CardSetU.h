#pragma once

#include "data/DataSource.h"
#include "data/Database.h"
#include "data/Query.h"
#include "data/UpdateSql.h"

#include <QDialog>
#include <QStringList>
#include <vector>

class QAction;
class QGroupBox;
class QLabel;
class QMenuBar;
class QToolButton;
class TApplicationEvents;
class TCaptionDBNavi;
class TDBComboBox;
class TDBEdit;
class TDBGrid;

// The sheet definition editor: the list of label sheets with their sizes and margins.
class TCardSetForm : public QDialog {
    Q_OBJECT
  public:
    explicit TCardSetForm(QWidget* parent = nullptr);
    ~TCardSetForm() override;

    static constexpr int kHelpContext = 3;
    static const QStringList& PaperTypes();
    static QString Caption();

    Database IBDatabase1;
    Transaction IBTransaction1;
    Query IBQueryCardSet;
    TUpdateSQL IBUpdateSQL1;
    DataSource DSCardSet;

    QMenuBar* MainMenu1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* N3 = nullptr;
    QAction* N4 = nullptr;
    QAction* N5 = nullptr;
    QAction* Help2 = nullptr;
    TDBComboBox* DBComboBox2 = nullptr;
    TDBEdit* DBEdit1 = nullptr;
    TDBComboBox* DBComboBox1 = nullptr;
    TDBEdit* DBEdit4 = nullptr;
    TDBEdit* DBEdit5 = nullptr;
    QLabel* LabelHeight = nullptr;
    QLabel* LabelWidth = nullptr;
    TDBEdit *DBEdit2 = nullptr, *DBEdit3 = nullptr, *DBEdit6 = nullptr, *DBEdit7 = nullptr,
            *DBEdit8 = nullptr, *DBEdit9 = nullptr, *DBEdit10 = nullptr, *DBEdit11 = nullptr,
            *DBEdit12 = nullptr, *DBEdit13 = nullptr;
    TCaptionDBNavi* DBNavigator1 = nullptr;
    QToolButton* CopyRecSpb = nullptr;
    TDBGrid* DBGrid1 = nullptr;
    TCaptionDBNavi* CaptionDBNavi1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* StatusPanels[4] = {};
    TApplicationEvents* ApplicationEvents1 = nullptr;

    void FormCreate();
    bool FormCloseQuery();
    void DBComboBox1Change();
    void UpdateSizeFieldsEnabled();
    void IBQueryCardSetNewRecord();
    void IBQueryCardSetAfterScroll();
    void IBQueryCardSetAfterCancel();
    void DSCardSetStateChange();
    void DBNavigator1BeforeAction();
    void CopyRecSpbClick();
    void N3Click();
    void N4Click();
    // Adds sheets chosen from the catalogue of commercial sheets to the cached list.
    void N5Click();
    // Applies what is cached, reconnects and re-reads. Raises "Database Refresh Error".
    void RefreshCardSet();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void CreateMenu();
    QWidget* CreateLeftPart(QWidget* parent);
    QWidget* CreateRightPart(QWidget* parent);
    void CreateStatusBar(QWidget* parent);
    TDBEdit* AddLength(QGroupBox* box, int row, const QString& caption, const QString& field,
                       const QString& unit, QLabel** label = nullptr, int column = 0);
    void FocusFirstControl();
};

// Opens the editor modally and releases it when it closes.
void ShowSheetEditor(QWidget* owner);
// The window while it is shown, otherwise null.
extern TCardSetForm* CardSetForm;
