#include "controls/DBControls.h"
#include "controls/DBGrid.h"
#include "controls/FieldLink.h"
#include "data/DataSource.h"
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/IbFunc.h"
#include "data/Query.h"
#include "platform/MessageService.h"
#include "support/TestDb.h"

#include <QApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>

namespace {

class BoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ConnectDatabase(db, tr, tdb.Path());
        for (const char* name : {"b", "a", "c"})
            ExecuteImmediate(
                db, tr,
                QString("INSERT INTO TAVRELSET (ID, PAPERNAME, RETSU) VALUES (0, '%1', 2)")
                    .arg(name));
        tr.Commit();
        q.SQL = {"SELECT * FROM TAVRELSET", "ORDER BY PAPERNAME"};
        q.CachedUpdates = true;
        q.UpdateObject = &u;
        q.Open();
        GenerateUpdateSql(q, &u, "TAVRELSET");
        ds.SetDataSet(&q);
        Messages::SetResponder([this](const Messages::Request& r) {
            shown << r.text;
            return Messages::Answer::Ok;
        });
    }
    void TearDown() override { Messages::ClearResponder(); }
    void TypeInto(TDBEdit& edit, const QString& text) {
        edit.setText(text);
        emit edit.textEdited(text);
    }
    TestDb tdb;
    Database db;
    Transaction tr;
    Query q{&db, &tr};
    TUpdateSQL u;
    DataSource ds;
    QStringList shown;
};

TEST_F(BoundTest, TypingEntersEditAndPostStoresCancelRestores) {
    TDBEdit edit;
    edit.SetDataSource(&ds);
    edit.SetDataField("PAPERNAME");
    EXPECT_EQ(edit.text(), "a");
    TypeInto(edit, "a2");
    EXPECT_EQ(q.State(), DataSetState::Edit);
    EXPECT_EQ(edit.text(), "a2");
    q.Post();
    EXPECT_EQ(q.FieldByName("PAPERNAME").AsString(), "a2");
    q.Next();
    EXPECT_EQ(edit.text(), "b");
    TypeInto(edit, "zzz");
    q.Cancel();
    EXPECT_EQ(edit.text(), "b");
}

TEST_F(BoundTest, IntegerFieldRefusesLettersAndStoresNullWhenEmptied) {
    TDBEdit edit;
    edit.SetDataSource(&ds);
    edit.SetDataField("RETSU");
    edit.setFocus();
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(&edit, &letter);
    EXPECT_EQ(edit.text(), "2");
    TypeInto(edit, "");
    q.Post();
    EXPECT_TRUE(q.FieldByName("RETSU").IsNull());
    TypeInto(edit, "1-2");
    EXPECT_THROW(q.Post(), EError); // still not a whole number when stored
    EXPECT_EQ(q.State(), DataSetState::Edit);
}

TEST_F(BoundTest, ClosedDataSetDisablesControls) {
    TDBEdit edit;
    TDBComboBox combo;
    edit.SetDataSource(&ds);
    combo.SetDataSource(&ds);
    EXPECT_TRUE(edit.isEnabled());
    q.Close();
    EXPECT_FALSE(edit.isEnabled());
    EXPECT_FALSE(combo.isEnabled());
    EXPECT_TRUE(edit.text().isEmpty());
}

TEST_F(BoundTest, ComboOffersListedValuesAndRefillsOnDropDown) {
    TDBComboBox combo;
    combo.SetDataSource(&ds);
    combo.SetDataField("PAPERNAME");
    int drops = 0;
    combo.OnDropDown = [&] {
        ++drops;
        combo.SetItems({"a", "b", "x"});
    };
    combo.SetItems({"a", "b"});
    EXPECT_EQ(combo.currentText(), "a");
    q.Last(); // "c" is not listed: the box shows nothing, the row keeps its value
    EXPECT_EQ(combo.currentIndex(), -1);
    combo.showPopup();
    combo.hidePopup();
    EXPECT_EQ(drops, 1);
    emit combo.activated(2);
    EXPECT_EQ(q.State(), DataSetState::Edit);
    EXPECT_EQ(q.FieldByName("PAPERNAME").AsString(), "x");
}

TEST_F(BoundTest, GridFollowsTheDataSetAndKeepsSelectionsInRowOrder) {
    TDBGrid grid;
    grid.SetDataSource(&ds);
    grid.SetColumns({TColumn{"PAPERNAME", "用紙", 100, Qt::AlignLeft, Qt::AlignCenter, QColor()}});
    EXPECT_EQ(grid.Model()->rowCount(), 3);
    EXPECT_EQ(grid.Model()->data(grid.Model()->index(2, 0), Qt::DisplayRole).toString(), "c");
    EXPECT_EQ(grid.Model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "用紙");
    q.Next();
    EXPECT_EQ(grid.currentIndex().row(), 1);
    EXPECT_EQ(grid.Model()->headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), "▶");
    emit grid.pressed(grid.Model()->index(2, 0));
    EXPECT_EQ(q.RecNo(), 3);
    q.Append();
    EXPECT_EQ(grid.Model()->rowCount(), 4);
    q.Cancel();
    grid.SetMultiSelect(true);
    grid.selectRow(2);
    grid.selectionModel()->select(grid.Model()->index(0, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(grid.SelectedRows(), std::vector<int>({0, 2}));
}

} // namespace
