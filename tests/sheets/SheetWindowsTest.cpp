#include "controls/DBGrid.h"
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/IbFunc.h"
#include "data/Query.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"
#include "sheets/ReadTextU.h"
#include "sheets/WriteTextU.h"
#include "support/TestDb.h"

#include <QApplication>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SheetWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        Settings::ResetToInitial();
        ConnectDatabase(db, tr, tdb.Path());
        ExecuteImmediate(
            db, tr,
            "INSERT INTO TAVRELSET (ID, PAPERNAME, CONAME, PAPERTYPE, P_WIDTH, "
            "P_HEIGHT, RETSU, DAN) VALUES (0, 'B, 1', 'エーワン', 'A4', 2100, 2970, 2, 6)");
        ExecuteImmediate(db, tr,
                         "INSERT INTO TAVRELSET (ID, PAPERNAME, PAPERTYPE, RETSU, DAN) "
                         "VALUES (0, 'A', 'B5', 1, 1)");
        tr.Commit();
        q.SQL = {"SELECT * FROM TAVRELSET", "ORDER BY PAPERNAME"};
        q.CachedUpdates = true;
        q.UpdateObject = &u;
        q.Open();
        GenerateUpdateSql(q, &u, "TAVRELSET");
        Messages::SetResponder([this](const Messages::Request& r) {
            asked << r.text;
            return answer;
        });
    }
    void TearDown() override { Messages::ClearResponder(); }
    QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    TestDb tdb;
    QTemporaryDir dir;
    Database db;
    Transaction tr;
    Query q{&db, &tr};
    TUpdateSQL u;
    QStringList asked;
    Messages::Answer answer = Messages::Answer::Yes;
};

TEST_F(SheetWindows, ExportAllAsksAndWritesEveryRowThenAppends) {
    TWriteTextForm form(q, "Tavrel印刷設定.txt", 18);
    EXPECT_EQ(form.StatusPanels[2]->text(), "2");
    EXPECT_EQ(form.DBGrid1->Model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              "項目1");
    const QString file = dir.filePath("out.txt");
    form.ChooseFile = [&] { return file; };
    form.BitBtn3Click();
    EXPECT_EQ(asked.value(0),
              QStringLiteral("指定されたファイル：") + file +
                  QStringLiteral("\r\rに ＜全 て＞ のデータを出力します。\r\r実行しますか？"));
    EXPECT_EQ(asked.value(1), QStringLiteral("正常に終了しました。"));
    const QByteArray once = Read(file);
    EXPECT_EQ(once.count("\r\n"), 2);
    EXPECT_TRUE(once.contains(",\"A\",\"\",\"B5\"")) << once.constData();
    asked.clear();
    form.RadioCurrent->setChecked(true);
    form.BitBtn3Click();
    EXPECT_TRUE(asked.value(0).contains(QStringLiteral("＜カーソル位置＞ のデータを追加します。")));
    EXPECT_EQ(Read(file).count("\r\n"), 3);
}

TEST_F(SheetWindows, DeclinedQuestionWritesNothing) {
    TWriteTextForm form(q, "x.txt", 18);
    const QString file = dir.filePath("none.txt");
    form.ChooseFile = [&] { return file; };
    answer = Messages::Answer::No;
    form.BitBtn3Click();
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(SheetWindows, SelectedRowsAreWrittenInRowOrder) {
    TWriteTextForm form(q, "x.txt", 18);
    form.RadioSelected->setChecked(true);
    form.DBGrid1->selectionModel()->select(form.DBGrid1->Model()->index(1, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    form.DBGrid1->selectionModel()->select(form.DBGrid1->Model()->index(0, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(form.StatusPanels[4]->text(), "2");
    const QString file = dir.filePath("sel.txt");
    form.ChooseFile = [&] { return file; };
    form.BitBtn3Click();
    const QList<QByteArray> lines = Read(file).split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains("\"A\""));
    EXPECT_TRUE(lines[1].contains("\"B, 1\""));
}

TEST_F(SheetWindows, UnwritableFileShowsTheFileSystemMessage) {
    TWriteTextForm form(q, "x.txt", 18);
    form.ChooseFile = [&] { return dir.filePath("missing/folder/out.txt"); };
    form.BitBtn3Click();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_NE(asked[1], QStringLiteral("正常に終了しました。"));
}

TEST_F(SheetWindows, ImportDoublesTheSheetsOfAnExportedFile) {
    const QString file = dir.filePath("round.txt");
    {
        TWriteTextForm out(q, "x.txt", 18);
        out.ChooseFile = [&] { return file; };
        out.BitBtn3Click();
    }
    TReadTextForm in(q, "Tavrel印刷設定.txt", 19);
    EXPECT_FALSE(in.BitBtn4->isEnabled());
    in.ChooseFile = [&] { return file; };
    in.BitBtn3Click();
    EXPECT_TRUE(in.BitBtn4->isEnabled());
    EXPECT_EQ(in.Memo1->toPlainText().count('\n'), 1);
    asked.clear();
    in.BitBtn4Click();
    EXPECT_EQ(asked.value(0), QStringLiteral("設定情報を読み込みます。\r\r実行しますか？"));
    EXPECT_EQ(asked.value(1), QStringLiteral("正常に終了しました。"));
    EXPECT_EQ(q.RecordCount(), 4);
    ASSERT_TRUE(ApplyAndReopen(q, false, false));
    EXPECT_EQ(q.RecordCount(), 4);
    EXPECT_TRUE(q.Locate("PAPERNAME", "B, 1"));
}

TEST_F(SheetWindows, UnreadableFileKeepsThePreview) {
    TReadTextForm in(q, "x.txt", 19);
    in.Memo1->setPlainText("kept");
    in.ChooseFile = [&] { return dir.filePath("nope.txt"); };
    in.BitBtn3Click();
    EXPECT_EQ(asked.size(), 1);
    EXPECT_EQ(in.Memo1->toPlainText(), "kept");
    EXPECT_TRUE(in.BitBtn4->isEnabled());
}

// The windows keep the sizes they are given: a long hint in the status bar, a click or the
// program's own font make no control slip out of sight and no window grow.
TEST_F(SheetWindows, ControlsKeepTheirPlacesInsideTheirWindows) {
    const QFont font = QApplication::font();
    QFont programFont(QStringLiteral("ＭＳ Ｐゴシック"));
    programFont.setPointSize(9);
    QApplication::setFont(programFont);
    const QString hint = QStringLiteral("ファイル名を指定して出力します") + QString(40, u'＿');
    TReadTextForm import(q, "Tavrel印刷設定.txt", 19);
    import.show();
    TWriteTextForm output(q, "Tavrel印刷設定.txt", 18);
    output.ChooseFile = [] { return QString(); };
    output.show();
    QApplication::processEvents();
    const QSize importSize = import.size();
    const QSize outputSize = output.size();
    for (QWidget* window : std::initializer_list<QWidget*>{&import, &output}) {
        QStatusTipEvent tip(hint);
        QApplication::sendEvent(window, &tip);
    }
    output.BitBtn3->click();
    QApplication::processEvents();
    for (QWidget* window : std::initializer_list<QWidget*>{&import, &output})
        window->layout()->activate(); // as the event loop does before the next paint
    QApplication::setFont(font);
    EXPECT_EQ(importSize, QSize(394, 266));
    EXPECT_EQ(import.size(), importSize);
    EXPECT_EQ(outputSize, QSize(423, 297));
    EXPECT_EQ(output.size(), outputSize);
    for (QPushButton* button : {import.BitBtn3, import.BitBtn4, output.BitBtn3}) {
        const QRect inWindow(button->mapTo(button->window(), QPoint(0, 0)), button->size());
        EXPECT_TRUE(button->window()->rect().adjusted(2, 2, -2, -2).contains(inWindow))
            << button->text().toStdString() << " at " << inWindow.x() << "," << inWindow.y() << " "
            << inWindow.width() << "x" << inWindow.height();
    }
}

} // namespace
