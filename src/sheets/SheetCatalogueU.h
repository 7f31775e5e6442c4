#pragma once

#include "platform/Version.h"
#include "sheets/SheetCatalogue.h"

#include <QDialog>
#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QTableView;
class Query;
class TApplicationEvents;
class TCatalogueModel;

// The catalogue of commercial label sheets: pick sheets by maker and text and add them to the
// sheet definition editor's list as new, not yet applied rows.
class TSheetCatalogueForm : public QDialog {
    Q_OBJECT
  public:
    // The rows go to sheets; the templates come from folder (empty: none installed).
    TSheetCatalogueForm(Query& sheets, const QString& folder, QWidget* parent = nullptr);
    ~TSheetCatalogueForm() override;

    static constexpr int kHelpContext = 20;
    static QString Caption() { return TavrelVersionCaption() + QStringLiteral(" 用紙カタログ"); }

    SheetCatalogue Catalogue;
    QComboBox* CategoryBox = nullptr;
    QListWidget* MakerList = nullptr;
    QLineEdit* SearchEdit = nullptr;
    QStackedWidget* Pages = nullptr;
    QTableView* SheetGrid = nullptr;
    QLabel* MissingLabel = nullptr;
    QLabel* SheetImage = nullptr;
    QLabel* ValuesLabel = nullptr;
    QPushButton* AddBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QLabel* StatusPanels[4] = {}; // "F1ヘルプ", count, reasons, hint
    TApplicationEvents* ApplicationEvents1 = nullptr;

    // Shows the sheets of the chosen category and maker that match the search text.
    void Filter();
    // Entry positions of the rows shown, in their order.
    const std::vector<int>& ShownEntries() const;
    // Shows the current sheet's drawing and values, and what the selection holds.
    void SheetGridSelectionChange();
    void AddBtnClick();
    // Rows added by the last "追 加".
    int AddedCount() const { return added_; }

  private:
    QWidget* CreateMakerPart();
    QWidget* CreateListPart();
    QWidget* CreateSheetPart();
    void CreateStatusBar(QWidget* parent);
    void ShowCatalogue();
    // The current sheet's reason and the files that could not be read, in the status bar.
    void ShowFaults(const QString& current);
    std::vector<const CatalogueEntry*> ChosenEntries() const;
    const CatalogueEntry* CurrentEntry() const;
    void Guarded(const std::function<void()>& work);

    Query& sheets_;
    TCatalogueModel* model_ = nullptr;
    int added_ = 0;
};

// Opens the catalogue of the installed templates modally; returns the number of rows added.
int ShowSheetCatalogue(Query& sheets, QWidget* owner);
