#include "sheets/SheetCatalogueU.h"
#include "controls/DBControls.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"
#include "sheets/CardSetU.h"
#include "sheets/TemplateFixture.h"
#include "support/TestDb.h"
#include "support/Windows.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// The sheet definition editor on a database holding one sheet named "AC-210".
class SheetCatalogueWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        Settings::ResetToInitial();
        Settings::DbPath = tdb.Path();
        Messages::SetResponder(RecordingResponder(&shown, Messages::Answer::Yes));
        tdb.Execute("INSERT INTO TAVRELSET (ID, PAPERNAME, CONAME, PAPERTYPE, P_WIDTH, "
                    "P_HEIGHT, RETSU, DAN) VALUES (0, 'AC-210', 'Acme', 'A4', 2100, 2970, 1, 1)");
        editor = std::make_unique<TCardSetForm>();
    }
    void TearDown() override {
        catalogue.reset();
        editor.reset();
        Messages::ClearResponder();
        Settings::ResetToInitial();
    }
    Query& Sheets() { return editor->IBQueryCardSet; }

    TSheetCatalogueForm& Open(const QString& folder) {
        catalogue = std::make_unique<TSheetCatalogueForm>(Sheets(), folder);
        return *catalogue;
    }
    // Selects the shown rows of these part numbers, and nothing else.
    void Choose(const QStringList& parts) {
        QTableView* grid = catalogue->SheetGrid;
        grid->clearSelection();
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            if (parts.contains(grid->model()->index(row, 1).data().toString()))
                grid->selectionModel()->select(grid->model()->index(row, 0),
                                               QItemSelectionModel::Select |
                                                   QItemSelectionModel::Rows);
    }
    // Each stored sheet's lengths and counts by its name and paper type.
    QMap<QString, QList<int>> Stored() {
        StoredRows q(tdb, "SELECT * FROM TAVRELSET");
        QMap<QString, QList<int>> rows;
        for (; !q->Eof(); q->Next()) {
            QList<int> values;
            for (const char* f : {"P_Width", "P_Height", "Left_M", "Top_M", "Retsu", "Dan",
                                  "L_Width", "L_Height", "X_Skip", "Y_Skip", "Pr_LeftM"})
                values << q->FieldByName(f).AsInteger();
            rows.insert(q->FieldByName("PAPERNAME").AsString() + "|" +
                            q->FieldByName("PaperType").AsString(),
                        values);
        }
        return rows;
    }

    TestDb tdb;
    TemplateFolder folder;
    std::unique_ptr<TCardSetForm> editor;
    std::unique_ptr<TSheetCatalogueForm> catalogue;
    QStringList shown;
};

TEST_F(SheetCatalogueWindow, ListsTheMakersAndFiltersBySearchText) {
    TSheetCatalogueForm& w = Open(folder.Path());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Tavrel Ver.2.0.1 用紙カタログ"));
    EXPECT_EQ(w.StatusPanels[0]->text(), QStringLiteral("F1ヘルプ"));
    ASSERT_EQ(w.MakerList->count(), 3); // all, Acme, Beta
    EXPECT_EQ(w.ShownEntries().size(), w.Catalogue.Entries().size());
    w.MakerList->setCurrentRow(2);
    ASSERT_EQ(w.ShownEntries().size(), 1u);
    EXPECT_EQ(w.StatusPanels[1]->text(), QStringLiteral("1件"));
    w.MakerList->setCurrentRow(0);
    w.SearchEdit->setText(QStringLiteral("ROUND"));
    ASSERT_EQ(w.ShownEntries().size(), 1u);
    EXPECT_TRUE(w.StatusPanels[2]->text().contains(QStringLiteral("円形"))); // chosen: its reason
    EXPECT_FALSE(w.AddBtn->isEnabled());
    EXPECT_FALSE(w.SheetImage->pixmap().isNull());
    // A click on a header sorts by that column, counts as numbers, and a search keeps it.
    w.SearchEdit->clear();
    w.SheetGrid->horizontalHeader()->setSortIndicator(3, Qt::DescendingOrder);
    std::vector<int> counts;
    for (int row = 0; row < w.SheetGrid->model()->rowCount(); ++row)
        counts.push_back(w.SheetGrid->model()->index(row, 3).data().toInt());
    ASSERT_GE(counts.size(), 3u);
    EXPECT_TRUE(std::is_sorted(counts.rbegin(), counts.rend()));
    EXPECT_GT(counts.front(), counts.back());
    w.SearchEdit->setText(QStringLiteral("acme"));
    EXPECT_GE(w.SheetGrid->model()->index(0, 3).data().toInt(),
              w.SheetGrid->model()->index(1, 3).data().toInt());
}

TEST_F(SheetCatalogueWindow, AddsChosenSheetsAsCachedRowsNamedFreeAndAppliedByTheEditor) {
    TSheetCatalogueForm& w = Open(folder.Path());
    Choose({"AC-210", "B-100", "AC-R40"});
    ASSERT_TRUE(w.AddBtn->isEnabled());
    w.AddBtn->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(w.AddedCount(), 2); // the round labels are not a sheet definition
    EXPECT_EQ(Sheets().RecordCount(), 3);
    EXPECT_TRUE(Sheets().UpdatesPending());
    EXPECT_EQ(Sheets().State(), DataSetState::Browse);
    EXPECT_EQ(Stored().size(), 1); // nothing written before the editor applies
    EXPECT_TRUE(TryClose(editor.get()));
    const auto rows = Stored();
    ASSERT_EQ(rows.size(), 3) << rows.keys().join(",").toStdString();
    EXPECT_EQ(rows.value(QStringLiteral("ｺﾋﾟｰ...AC-210|A4")),
              QList<int>({2100, 2970, 186, 212, 2, 5, 864, 508, 0, 0, 0}));
    EXPECT_EQ(rows.value(QStringLiteral("B-100|その他")),
              QList<int>({2159, 2794, 48, 127, 3, 10, 667, 254, 32, 0, 0}));
    EXPECT_TRUE(rows.contains("AC-210|A4")); // the old row is untouched
}

TEST_F(SheetCatalogueWindow, CancelAddsNothing) {
    TSheetCatalogueForm& w = Open(folder.Path());
    Choose({"B-100"});
    w.CancelBtn->click();
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_EQ(Sheets().RecordCount(), 1);
    EXPECT_FALSE(Sheets().UpdatesPending());
}

TEST_F(SheetCatalogueWindow, SecondCopyOfATakenNameGetsTheCopyNameAgain) {
    TSheetCatalogueForm& w = Open(folder.Path());
    Choose({"AC-210"});
    w.AddBtn->click();
    Open(folder.Path());
    Choose({"AC-210"});
    catalogue->AddBtn->click();
    QStringList names;
    const int field = Sheets().FieldIndex("PAPERNAME");
    for (int row = 0; row < Sheets().RecordCount(); ++row)
        names << Sheets().RowValue(row, field).toString();
    names.sort();
    EXPECT_EQ(names, QStringList({"AC-210", QStringLiteral("ｺﾋﾟｰ...AC-210"),
                                  QStringLiteral("ｺﾋﾟｰ...ｺﾋﾟｰ...AC-210")}));
}

TEST_F(SheetCatalogueWindow, WithoutTheCatalogueItSaysHowToGetIt) {
    TSheetCatalogueForm& w = Open(folder.Path("not-installed"));
    EXPECT_EQ(w.Pages->currentWidget(), w.MissingLabel);
    EXPECT_TRUE(w.MissingLabel->text().contains("apt install glabels-data"));
    EXPECT_FALSE(w.AddBtn->isEnabled());
    EXPECT_TRUE(w.StatusPanels[2]->text().contains(QStringLiteral("カタログがありません")));
    w.CancelBtn->click();
    // The editor goes on as before.
    EXPECT_EQ(Sheets().RecordCount(), 1);
    EXPECT_TRUE(shown.isEmpty()) << shown.join("|").toStdString();
}

TEST_F(SheetCatalogueWindow, UnreadableFileShowsItsReasonAndTheOthersStayUsable) {
    folder.Write("broken-templates.xml", "<Glabels-templates><Template brand=\"Z\"");
    TSheetCatalogueForm& w = Open(folder.Path());
    w.SearchEdit->setText("B-100");
    EXPECT_TRUE(w.StatusPanels[2]->text().contains("broken-templates.xml"));
    ASSERT_TRUE(w.AddBtn->isEnabled());
    w.AddBtn->click();
    EXPECT_EQ(Sheets().RecordCount(), 2);
    EXPECT_EQ(Stored().size(), 1);
}

TEST_F(SheetCatalogueWindow, NoDatabaseMeansNothingCanBeAdded) {
    Settings::DbPath = folder.Path("missing.fdb");
    shown.clear();
    editor = std::make_unique<TCardSetForm>(); // shows the connect error
    TSheetCatalogueForm& w = Open(folder.Path());
    Choose({"B-100"});
    EXPECT_FALSE(w.AddBtn->isEnabled());
}

TEST_F(SheetCatalogueWindow, EditorMenuItemAddsFromTheInstalledCatalogue) {
    SKIP_WITHOUT_INSTALLED_TEMPLATES();
    EXPECT_EQ(editor->N5->text(), QStringLiteral("カタログから追加"));
    EXPECT_EQ(editor->N5->parent(), editor->N4->parent()); // beside export and import
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<TSheetCatalogueForm*>(QApplication::activeModalWidget());
        if (!w)
            return;
        seen = true;
        w->SearchEdit->setText("ELM006");
        w->AddBtn->click();
    });
    editor->N5->trigger();
    ASSERT_TRUE(seen);
    EXPECT_EQ(Sheets().RecordCount(), 2);
    EXPECT_EQ(Sheets().FieldByName("PAPERNAME").AsString(), "ELM006");
    EXPECT_EQ(Sheets().FieldByName("CoName").AsString(), "Hisago");
    EXPECT_EQ(Sheets().FieldByName("Left_M").AsInteger(), 186);
    EXPECT_FALSE(editor->DBEdit4->isEnabled()); // A4: the size is the preset's
    EXPECT_EQ(editor->StatusPanels[2]->text(), QStringLiteral("2：2"));
}

} // namespace
