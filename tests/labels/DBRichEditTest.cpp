#include "labels/DBRichEdit.h"
#include "LabelTextFixture.h"
#include "data/Statement.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QTextDocumentFragment>
#include <QWheelEvent>

namespace {

using DBRichEditTest = LabelTextFixture;

TEST_F(DBRichEditTest, ShowsRtfPlainAndEmptyTextReadOnlyWhileBrowsing) {
    // "東京都" in Shift-JIS escapes, the first two characters bold.
    AddDesign("a", Rtf::Document("\\b \\'93\\'8c\\'8b\\'9e\\b0 \\'93\\'73"));
    AddDesign("b", QStringLiteral("ラベル plain"));
    AddDesign("c", QString());
    Open();
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("東京都"));
    EXPECT_TRUE(RichFormat::IsBold(FormatAt(1)));
    EXPECT_FALSE(RichFormat::IsBold(FormatAt(2)));
    EXPECT_EQ(RichFormat::FaceName(FormatAt(0)), "IPAGothic");
    EXPECT_TRUE(editor->isReadOnly());
    q.Next();
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("ラベル plain"));
    EXPECT_EQ(RichFormat::FaceName(FormatAt(0)), RichFormat::DefaultFaceName());
    EXPECT_EQ(RichFormat::PointSize(FormatAt(0)), 10);
    q.Next();
    EXPECT_TRUE(editor->toPlainText().isEmpty());
    EXPECT_FALSE(editor->ReadFailed());
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(DBRichEditTest, TypingEditsWithoutReloadingAndThePostStoresTheText) {
    AddDesign("a", Rtf::Document("\\b a\\b0 bc"));
    Open();
    editor->SetSelection(3, 0);
    Type("d");
    EXPECT_EQ(q.State(), DataSetState::Edit);
    EXPECT_FALSE(editor->isReadOnly());
    EXPECT_EQ(editor->toPlainText(), "abcd");
    EXPECT_EQ(editor->SelStart(), 4); // not reloaded: the caret stayed
    Type(QStringLiteral("漢"));
    EXPECT_TRUE(q.FieldByName("CARDTEXT").AsString().startsWith("{\\rtf1"));
    q.Post();
    q.ApplyUpdates();
    QTextDocument* text = StoredText("a");
    EXPECT_EQ(text->toPlainText(), QStringLiteral("abcd漢"));
    EXPECT_TRUE(RichFormat::IsBold(FormatAt(*text, 0)));
    EXPECT_FALSE(RichFormat::IsBold(FormatAt(*text, 4)));
    EXPECT_EQ(RichFormat::FaceName(FormatAt(*text, 4)), "IPAGothic");
}

TEST_F(DBRichEditTest, MovingAndCopyingLeaveTheRecordInBrowseStateDeletingEdits) {
    AddDesign("a", Rtf::Document("abc"));
    Open();
    Key(Qt::Key_Right);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_C, Qt::ControlModifier, QString(QChar(3)));
    Key(Qt::Key_Tab);
    EXPECT_EQ(q.State(), DataSetState::Browse);
    EXPECT_EQ(editor->SelLength(), 1);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(q.State(), DataSetState::Edit);
    EXPECT_EQ(editor->toPlainText(), "ac");
}

TEST_F(DBRichEditTest, CancelShowsTheStoredTextAgain) {
    AddDesign("a", Rtf::Document("abc"));
    Open();
    Type("xyz");
    q.Cancel();
    EXPECT_EQ(editor->toPlainText(), "abc");
    EXPECT_TRUE(editor->isReadOnly());
    EXPECT_FALSE(q.UpdatesPending());
}

TEST_F(DBRichEditTest, InputMethodCompositionStartsEditingToo) {
    AddDesign("a", Rtf::Document("abc"));
    Open();
    EXPECT_TRUE(editor->testAttribute(Qt::WA_InputMethodEnabled));
    QInputMethodEvent compose(QStringLiteral("かん"), {});
    QApplication::sendEvent(editor, &compose);
    EXPECT_EQ(q.State(), DataSetState::Edit);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("漢"));
    QApplication::sendEvent(editor, &commit);
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("漢abc"));
}

// Bold runs are hidden from the text edit to be drawn again as they print, except in a
// paragraph where text is being composed, whose composition underline must show.
TEST_F(DBRichEditTest, ComposingInABoldParagraphLeavesItsBoldToTheTextEdit) {
    AddDesign("a", Rtf::Document("\\b ab\\b0 c\\par\\b d"));
    Open();
    const auto covers = [this] { return editor->extraSelections().size(); };
    EXPECT_EQ(covers(), 2);
    editor->SetSelection(1, 0);
    QInputMethodEvent compose(QStringLiteral("かん"), {});
    QApplication::sendEvent(editor, &compose);
    EXPECT_EQ(covers(), 1);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("漢"));
    QApplication::sendEvent(editor, &commit);
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("a漢bc\nd"));
    EXPECT_EQ(covers(), 2);
}

TEST_F(DBRichEditTest, ReadOnlyDataSetIgnoresTyping) {
    AddDesign("a", Rtf::Document("abc"));
    q.ReadOnly = true;
    Open();
    EXPECT_FALSE(editor->testAttribute(Qt::WA_InputMethodEnabled));
    Type("x");
    EXPECT_EQ(q.State(), DataSetState::Browse);
    EXPECT_EQ(editor->toPlainText(), "abc");
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(DBRichEditTest, NewRecordStartsEmptyAndShowsTextCopiedIntoIt) {
    AddDesign("a", Rtf::Document("abc"));
    Open();
    q.Insert();
    EXPECT_TRUE(editor->toPlainText().isEmpty());
    q.FieldByName("CARDTEXT").SetValue(Rtf::Document("copy"));
    EXPECT_EQ(editor->toPlainText(), "copy");
    q.FieldByName("NAME").SetValue("b");
    editor->SetSelection(4, 0);
    Type("!");
    q.Post();
    q.ApplyUpdates();
    EXPECT_EQ(StoredText("b")->toPlainText(), "copy!");
}

TEST_F(DBRichEditTest, EmptyListGetsItsFirstDesignByTyping) {
    Open();
    Type("a");
    EXPECT_EQ(q.State(), DataSetState::Insert);
    EXPECT_EQ(editor->toPlainText(), "a");
}

TEST_F(DBRichEditTest, TextThatCannotBeReadShowsTheFailureAndCannotBeOverwritten) {
    AddDesign("a", Rtf::Document("first"));
    AddDesign("b", Rtf::Document("second"));
    Open();
    EXPECT_EQ(editor->toPlainText(), "first");
    tdb.DropOtherConnections();
    q.Next(); // the text is fetched from the database only now
    EXPECT_EQ(editor->toPlainText(), "(ストリームからの読み込みに失敗しました)");
    EXPECT_TRUE(editor->ReadFailed());
    Type("x");
    EXPECT_EQ(q.State(), DataSetState::Browse);
    EXPECT_EQ(editor->toPlainText(), TDBRichEdit::ReadFailureText());
}

TEST_F(DBRichEditTest, TextThatCannotBeWrittenStopsThePost) {
    AddDesign("a", Rtf::Document("abc"));
    Open("G_X"); // a whole-number field cannot hold the text
    EXPECT_EQ(editor->toPlainText(), "5");
    Type("6");
    EXPECT_EQ(q.State(), DataSetState::Edit);
    try {
        q.Post();
        FAIL() << "the post went through";
    } catch (const EError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("ストリームへの書き込みに失敗しました"));
    }
    EXPECT_EQ(q.State(), DataSetState::Edit);
    EXPECT_FALSE(q.UpdatesPending());
    q.Cancel();
    EXPECT_EQ(q.FieldByName("G_X").AsInteger(), 5);
}

TEST_F(DBRichEditTest, EditKeepSelectionKeepsTheRangeAndFailsOnAClosedList) {
    AddDesign("a", Rtf::Document("abcdef"));
    Open();
    editor->SetSelection(4, -3);
    editor->EditKeepSelection();
    EXPECT_EQ(q.State(), DataSetState::Edit);
    EXPECT_EQ(editor->SelStart(), 1);
    EXPECT_EQ(editor->SelLength(), 3);
    q.Cancel();
    q.Close();
    EXPECT_TRUE(editor->toPlainText().isEmpty());
    EXPECT_THROW(editor->EditKeepSelection(), EError);
}

TEST_F(DBRichEditTest, CopiedTextPastesWithItsFormattingOtherTextPastesPlain) {
    AddDesign("a", Rtf::Document("\\b ab\\b0 c"));
    Open();
    editor->SetSelection(0, 2);
    editor->copy();
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_TRUE(copied->data("text/rtf").startsWith("{\\rtf1"));
    editor->SetSelection(3, 0);
    Key(Qt::Key_V, Qt::ControlModifier, QString(QChar(22)));
    EXPECT_EQ(q.State(), DataSetState::Edit);
    EXPECT_EQ(editor->toPlainText(), "abcab");
    EXPECT_TRUE(RichFormat::IsBold(FormatAt(4)));

    auto* html = new QMimeData;
    html->setHtml("<p><b>x</b><img src=\"data:image/png;base64,AAAA\"></p>");
    html->setText("x");
    QGuiApplication::clipboard()->setMimeData(html);
    editor->paste();
    EXPECT_EQ(editor->toPlainText(), "abcabx");
    EXPECT_FALSE(editor->toHtml().contains("<img"));
}

TEST_F(DBRichEditTest, ZoomScalesTextAndOutlineWithinItsStepsAndStoresNothing) {
    AddDesign("a", Rtf::Document("\\fs40 abc"));
    Open();
    editor->SetLabelOutline(QRectF(-5, 4, 100, 50));
    const auto height = [&] {
        return editor->document()
            ->documentLayout()
            ->blockBoundingRect(editor->document()->begin())
            .height();
    };
    const double normal = height();
    editor->SetZoom(200);
    EXPECT_NEAR(height() / normal, 2.0, 0.2);
    EXPECT_EQ(editor->ShownLabelOutline().size(), QSizeF(200, 100));
    QWheelEvent down({10, 10}, {10, 10}, {}, {0, -120}, Qt::NoButton, Qt::ControlModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(editor->viewport(), &down);
    EXPECT_EQ(editor->Zoom(), 150);
    Key(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(editor->Zoom(), 125);
    editor->SetZoom(1000);
    editor->ZoomBy(1);
    EXPECT_EQ(editor->Zoom(), 400);
    editor->ZoomBy(-9);
    EXPECT_EQ(editor->Zoom(), 50);
    EXPECT_EQ(q.State(), DataSetState::Browse);
    editor->SetZoom(100);
    EXPECT_NEAR(height(), normal, 0.5);
}

} // namespace

namespace {

// The field shades among the editor's selections; the others hide bold runs to draw them again.
qsizetype Shades(const QTextEdit& editor) {
    const auto all = editor.extraSelections();
    return std::count_if(all.begin(), all.end(), [](const QTextEdit::ExtraSelection& s) {
        return !s.format.hasProperty(QTextFormat::ForegroundBrush);
    });
}

// A field is one shaded unit: the caret steps over it, Backspace and Delete take it whole,
// text typed beside it stays outside, formatting reaches it and the post stores it as a field.
TEST_F(DBRichEditTest, MergeFieldIsOneUnit) {
    AddDesign("a", Rtf::Document("ab"));
    Open();
    editor->SetSelection(1, 0);
    editor->InsertMergeField(QStringLiteral("氏名"));
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("a«氏名»b"));
    EXPECT_EQ(editor->SelStart(), 5);
    EXPECT_EQ(Shades(*editor), 1);
    Key(Qt::Key_Left);
    EXPECT_EQ(editor->SelStart(), 1);
    EXPECT_EQ(editor->SelLength(), 0);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(editor->SelLength(), 4);
    editor->ChangeSelAttributes([](QTextCharFormat& f) { f.setFontWeight(QFont::Bold); });
    editor->SetSelection(5, 0);
    Type("x");
    EXPECT_FALSE(RichFormat::IsField(FormatAt(5)));
    EXPECT_TRUE(RichFormat::IsField(FormatAt(4)));
    EXPECT_TRUE(RichFormat::IsBold(FormatAt(4)));
    q.Post();
    q.ApplyUpdates();
    QTextDocument* stored = StoredText("a");
    EXPECT_EQ(RichFormat::FieldInstruction(FormatAt(*stored, 2)),
              QStringLiteral("MERGEFIELD 氏名"));
    editor->SetSelection(5, 0);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("axb"));
    editor->SetSelection(0, 0);
    editor->InsertMergeField(QStringLiteral("住所"));
    editor->SetSelection(0, 0);
    Key(Qt::Key_Delete);
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("axb"));
    EXPECT_EQ(Shades(*editor), 0);
}

} // namespace
