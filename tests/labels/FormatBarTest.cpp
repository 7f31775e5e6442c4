#include "labels/FormatBar.h"
#include "LabelTextFixture.h"
#include "controls/CtrlsEx.h"
#include "controls/UpDown.h"
#include "labels/FontList.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QPainter>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace {

// The toolbar over the editor, refreshed after each scroll as the main window does it.
class FormatBarTest : public LabelTextFixture {
  protected:
    void SetUp() override {
        LabelTextFixture::SetUp();
        toolBar.resize(564, 29);
        bar = new TFormatBar(&toolBar, editor, &toolBar);
        bar->ComboBox1->addItems(GetFontList(false));
        q.AfterScroll = [this](Query&) { bar->UpdateFormatButtons(); };
    }
    void OpenWith(const QString& rtfBody, const QString& face = QStringLiteral("IPAGothic")) {
        AddDesign("a", Rtf::Document(rtfBody, face));
        Open();
        toolBar.show();
    }
    // Runs answer on the dialog as soon as it shows.
    static void WhenShown(QDialog* dialog, std::function<void()> answer) {
        QTimer::singleShot(0, dialog, std::move(answer));
    }
    std::vector<QWidget*> Controls() const {
        // The alignment buttons are left out: they also align the caret's paragraph.
        return {bar->ComboBox1, bar->EditEx1,   bar->UpDown1,  bar->FontBtn,
                bar->BoldBtn,   bar->ItalicBtn, bar->UnderBtn, bar->ColorBtn,
                bar->UeBtn,     bar->SitaBtn,   bar->NormalBtn};
    }

    QWidget toolBar;
    TFormatBar* bar = nullptr;
};

TEST_F(FormatBarTest, ControlsStayInsideTheirPartOfTheToolbar) {
    for (QWidget* control : Controls()) {
        EXPECT_GE(control->x(), 2) << control->objectName().toStdString();
        EXPECT_LE(control->geometry().right(), bar->Right());
        EXPECT_EQ(control->parentWidget(), &toolBar);
    }
    EXPECT_LT(bar->Right(), 480);
    EXPECT_EQ(bar->BoldBtn->toolTip(), QStringLiteral("選択した文字列を太字に設定します"));
    EXPECT_EQ(bar->UpDown1->statusTip(), QStringLiteral("選択した文字列のサイズを設定します"));
}

TEST_F(FormatBarTest, FontNamesAreDrawnOnTheSelectionColourWhenHighlighted) {
    const auto draw = [this](bool highlighted) {
        QImage image(120, 16, QImage::Format_RGB32);
        QPainter painter(&image);
        bar->ComboBox1DrawItem(painter, image.rect(), "IPAGothic", highlighted);
        return image;
    };
    const QPalette& palette = bar->ComboBox1->palette();
    EXPECT_EQ(draw(true).pixelColor(119, 15), palette.color(QPalette::Highlight));
    EXPECT_EQ(draw(false).pixelColor(119, 15), palette.color(QPalette::Base));
    bar->ComboBox1->setCurrentIndex(-1);
    const QImage empty = bar->ComboBox1->grab().toImage();
    bar->ComboBox1->setCurrentIndex(0);
    EXPECT_NE(bar->ComboBox1->grab().toImage(), empty); // the closed box shows the name
}

TEST_F(FormatBarTest, NothingSelectedDisablesEveryControlAndMirrorsTheDefaultFormat) {
    OpenWith("\\b\\i ab\\b0\\i0 c");
    editor->SetSelection(1, 0); // the caret inside bold text
    for (QWidget* control : Controls())
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_EQ(bar->ComboBox1->currentIndex(), -1);
    EXPECT_FALSE(bar->BoldBtn->isChecked());
    EXPECT_FALSE(bar->ItalicBtn->isChecked());
    editor->SetSelection(0, 2);
    for (QWidget* control : Controls())
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(bar->BoldBtn->isChecked());
    EXPECT_TRUE(bar->ItalicBtn->isChecked());
    EXPECT_FALSE(bar->UnderBtn->isChecked());
    EXPECT_EQ(bar->ComboBox1->currentText(), "IPAGothic");
}

TEST_F(FormatBarTest, TwelvePointBoldSelectionShowsItsSizeAndBold) {
    OpenWith("\\fs24\\b abc");
    editor->SetSelection(0, 3);
    EXPECT_EQ(bar->UpDown1->Position(), 12);
    EXPECT_EQ(bar->EditEx1->text(), "12");
    EXPECT_TRUE(bar->BoldBtn->isChecked());
    EXPECT_FALSE(bar->ItalicBtn->isChecked());
}

TEST_F(FormatBarTest, FontDialogWritesItsFontAndA100PointSizeShowsAs72) {
    OpenWith("a\\cf1 bc");
    editor->SetSelection(0, 3);
    WhenShown(bar->FontDialog1(), [this] {
        QFont font(QStringLiteral("DejaVu Sans Mono"));
        font.setPointSize(100);
        font.setStyleName(QStringLiteral("Oblique"));
        bar->FontDialog1()->setCurrentFont(font);
        bar->FontDialog1()->accept();
    });
    bar->FontBtn->click();
    EXPECT_EQ(q.State(), DataSetState::Edit);
    for (int pos : {0, 2}) {
        const QTextCharFormat format = FormatAt(pos);
        EXPECT_EQ(RichFormat::FaceName(format), "DejaVu Sans Mono");
        EXPECT_EQ(RichFormat::PointSize(format), 100);
        EXPECT_TRUE(format.fontItalic());
        EXPECT_EQ(RichFormat::CharSet(format), RichFormat::AnsiCharSet);
        EXPECT_EQ(RichFormat::PitchOf(format), RichFormat::FixedPitch);
        // The dialog's colour came from the first character and goes to all of them.
        EXPECT_FALSE(RichFormat::TextColor(format).isValid());
    }
    editor->SetSelection(1, 1);
    EXPECT_EQ(bar->EditEx1->text(), "72");
    EXPECT_EQ(bar->UpDown1->Position(), 72);
}

TEST_F(FormatBarTest, FontDialogKeepsAWindowsFaceShownThroughItsStandIn) {
    QFont::insertSubstitution(RichFormat::DefaultFaceName(), QStringLiteral("IPAPGothic"));
    OpenWith("abc", RichFormat::DefaultFaceName());
    editor->SetSelection(0, 3);
    WhenShown(bar->FontDialog1(), [this] { bar->FontDialog1()->accept(); });
    bar->FontBtnClick();
    EXPECT_EQ(RichFormat::FaceName(FormatAt(1)), RichFormat::DefaultFaceName());
    EXPECT_EQ(RichFormat::CharSet(FormatAt(1)), RichFormat::ShiftJisCharSet);
    QFont::removeSubstitutions(RichFormat::DefaultFaceName());
}

TEST_F(FormatBarTest, CancelledFontDialogLeavesTheTextButTheRecordInEditState) {
    OpenWith("abc");
    editor->SetSelection(0, 3);
    WhenShown(bar->FontDialog1(), [this] { bar->FontDialog1()->reject(); });
    bar->FontBtnClick();
    EXPECT_EQ(q.State(), DataSetState::Edit);
    EXPECT_EQ(RichFormat::FaceName(FormatAt(1)), "IPAGothic");
    EXPECT_EQ(RichFormat::PointSize(FormatAt(1)), 10);
}

TEST_F(FormatBarTest, SuperscriptTwiceThenNormalEndsOnTheBaselineAtTheSameSize) {
    OpenWith("a\\fs28 b\\fs20 c");
    editor->SetSelection(1, 1);
    bar->UeBtn->click();
    EXPECT_EQ(RichFormat::OffsetTwips(FormatAt(1)), 60);
    EXPECT_GT(FormatAt(1).baselineOffset(), 0);
    bar->UeBtn->click();
    EXPECT_EQ(RichFormat::OffsetTwips(FormatAt(1)), 60);
    EXPECT_EQ(bar->UpDown1->Position(), 14);
    bar->SitaBtn->click();
    EXPECT_EQ(RichFormat::OffsetTwips(FormatAt(1)), -60);
    EXPECT_LT(FormatAt(1).baselineOffset(), 0);
    bar->NormalBtn->click();
    EXPECT_EQ(RichFormat::OffsetTwips(FormatAt(1)), 0);
    EXPECT_FALSE(FormatAt(1).hasProperty(QTextFormat::TextBaselineOffset));
    EXPECT_EQ(RichFormat::PointSize(FormatAt(1)), 14);
    EXPECT_EQ(RichFormat::PointSize(FormatAt(0)), 10);
    EXPECT_EQ(bar->EditEx1->text(), "14");
}

TEST_F(FormatBarTest, FontNameInBrowseStateEditsAndFormatsExactlyTheSelectedRange) {
    OpenWith("abcdef");
    editor->SetSelection(5, -3);
    const int mincho = bar->ComboBox1->findText("IPAMincho");
    ASSERT_GE(mincho, 0);
    bar->ComboBox1->setCurrentIndex(mincho);
    emit bar->ComboBox1->activated(mincho);
    EXPECT_EQ(q.State(), DataSetState::Edit);
    EXPECT_EQ(editor->SelStart(), 2);
    EXPECT_EQ(editor->SelLength(), 3);
    EXPECT_EQ(bar->ComboBox1->currentText(), "IPAMincho");
    q.Post();
    q.ApplyUpdates();
    QTextDocument* text = StoredText("a");
    for (int pos = 0; pos < 6; ++pos)
        EXPECT_EQ(RichFormat::FaceName(FormatAt(*text, pos)),
                  pos >= 2 && pos < 5 ? "IPAMincho" : "IPAGothic")
            << pos;
}

TEST_F(FormatBarTest, FaceNamesAreCutToWholeCharactersWithin31Bytes) {
    const QString wide = QStringLiteral("ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰ"); // 32 bytes
    const QString narrow(40, QLatin1Char('n'));
    bar->ComboBox1->addItems({wide, narrow});
    OpenWith("ab");
    editor->SetSelection(0, 1);
    bar->ComboBox1->setCurrentText(wide);
    bar->ComboBox1Change();
    EXPECT_EQ(RichFormat::FaceName(FormatAt(0)), wide.left(15));
    EXPECT_EQ(bar->ComboBox1->currentText(), wide);
    editor->SetSelection(1, 1);
    bar->ComboBox1->setCurrentText(narrow);
    bar->ComboBox1Change();
    EXPECT_EQ(RichFormat::FaceName(FormatAt(1)), narrow.left(31));
}

TEST_F(FormatBarTest, CancelledColourDialogLeavesBrowseStateAcceptedOneColours) {
    OpenWith("abc");
    editor->SetSelection(0, 2);
    WhenShown(bar->ColorDialog1(), [this] { bar->ColorDialog1()->reject(); });
    bar->ColorBtn->click();
    EXPECT_EQ(q.State(), DataSetState::Browse);

    WhenShown(bar->ColorDialog1(), [this] {
        bar->ColorDialog1()->setCurrentColor(QColor(0, 128, 255));
        bar->ColorDialog1()->accept();
    });
    bar->ColorBtnClick();
    EXPECT_EQ(q.State(), DataSetState::Edit);
    EXPECT_EQ(RichFormat::TextColor(FormatAt(1)), QColor(0, 128, 255));
    EXPECT_FALSE(RichFormat::TextColor(FormatAt(2)).isValid());

    // Choosing the colour automatic text is drawn in gives the automatic colour back.
    WhenShown(bar->ColorDialog1(), [this] {
        bar->ColorDialog1()->setCurrentColor(editor->palette().color(QPalette::Text));
        bar->ColorDialog1()->accept();
    });
    bar->ColorBtnClick();
    EXPECT_FALSE(RichFormat::TextColor(FormatAt(0)).isValid());
}

TEST_F(FormatBarTest, BoldWritesTheItalicReportedForTheSelectionToAllOfIt) {
    OpenWith("\\i a\\i0 b");
    editor->SetSelection(0, 2);
    bar->BoldBtn->click();
    EXPECT_TRUE(bar->BoldBtn->isChecked());
    for (int pos : {0, 1}) {
        EXPECT_TRUE(RichFormat::IsBold(FormatAt(pos)));
        EXPECT_TRUE(FormatAt(pos).fontItalic());
    }
    bar->BoldBtn->click();
    EXPECT_FALSE(bar->BoldBtn->isChecked());
    EXPECT_FALSE(RichFormat::IsBold(FormatAt(1)));
    bar->UnderBtn->click();
    EXPECT_TRUE(FormatAt(1).fontUnderline());
    EXPECT_TRUE(bar->UnderBtn->isChecked());
}

TEST_F(FormatBarTest, SizeArrowsStepFromTheTypedSizeWithin1To72) {
    OpenWith("abc");
    editor->SetSelection(0, 3);
    EXPECT_EQ(bar->EditEx1->text(), "10");
    bar->EditEx1->setText("20");
    bar->UpDown1->UpButton()->click();
    EXPECT_EQ(q.State(), DataSetState::Edit);
    EXPECT_EQ(RichFormat::PointSize(FormatAt(2)), 21);
    EXPECT_EQ(bar->EditEx1->text(), "21");
    bar->EditEx1->setText("72");
    bar->UpDown1->UpButton()->click();
    EXPECT_EQ(RichFormat::PointSize(FormatAt(0)), 72);
    bar->EditEx1->setText("1");
    bar->UpDown1->DownButton()->click();
    EXPECT_EQ(RichFormat::PointSize(FormatAt(0)), 1);
    EXPECT_EQ(bar->EditEx1->text(), "1");
}

TEST_F(FormatBarTest, ARecordThatCannotBeEditedShowsTheErrorAndKeepsTheText) {
    q.ReadOnly = true;
    OpenWith("abc");
    editor->SetSelection(0, 3);
    bar->BoldBtn->click();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_FALSE(RichFormat::IsBold(FormatAt(0)));
    EXPECT_FALSE(bar->BoldBtn->isChecked());
    EXPECT_EQ(q.State(), DataSetState::Browse);
}

TEST_F(FormatBarTest, AlignmentButtonsAlignTheSelectedParagraphsAndShowTheirAlignment) {
    struct Case {
        QToolButton* TFormatBar::*button;
        int key;
        const char* word;
        Qt::Alignment alignment;
    };
    const Case cases[] = {{&TFormatBar::AlignCenterBtn, Qt::Key_E, "\\qc", Qt::AlignHCenter},
                          {&TFormatBar::AlignRightBtn, Qt::Key_R, "\\qr", Qt::AlignRight},
                          {&TFormatBar::AlignLeftBtn, Qt::Key_L, nullptr, Qt::AlignLeft}};
    OpenWith("one\\par two\\par three");
    for (const Case& c : cases) {
        QToolButton* button = bar->*c.button;
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_EQ(button->shortcut(), QKeySequence(Qt::CTRL | c.key));
        editor->SetSelection(1, 5); // from the first paragraph into the second
        EXPECT_TRUE(button->isEnabled());
        button->click();
        EXPECT_EQ(q.State(), DataSetState::Edit);
        EXPECT_TRUE(button->isChecked());
        const QByteArray rtf = q.FieldByName("CardText").AsBytes();
        EXPECT_EQ(rtf.count(c.word ? c.word : "\\q"), c.word ? 1 : 0) << rtf.toStdString();
        q.Post();
        q.ApplyUpdates();
        const QTextDocument* doc = StoredText("a");
        EXPECT_EQ(doc->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, c.alignment);
        EXPECT_EQ(doc->begin().next().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                  c.alignment);
        EXPECT_EQ(doc->lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                  Qt::AlignLeft);
        editor->SetSelection(14, 0); // the third paragraph shows its own alignment
        EXPECT_TRUE(bar->AlignLeftBtn->isChecked());
        EXPECT_EQ(button->isChecked(), c.alignment == Qt::AlignLeft);
    }
}

TEST_F(FormatBarTest, AnotherDesignRefreshesTheToolbar) {
    AddDesign("a", Rtf::Document("\\b abc"));
    AddDesign("b", Rtf::Document("abc"));
    Open();
    editor->SetSelection(0, 3);
    EXPECT_TRUE(bar->BoldBtn->isEnabled());
    q.Next();
    EXPECT_FALSE(bar->BoldBtn->isEnabled());
    EXPECT_FALSE(bar->BoldBtn->isChecked());
    EXPECT_EQ(editor->toPlainText(), "abc");
}

} // namespace
