#include "PdfTools.h"
#include "PrintFixture.h"
#include "model/MergeList.h"
#include "platform/MergeField.h"
#include "platform/RichFormat.h"
#include "platform/RtfWriter.h"
#include "platform/TextFlow.h"
#include "printcore/CellPainter.h"

#include <QTextCursor>
#include <gtest/gtest.h>
#include <map>

using namespace PrintFixture;

namespace {

// A design in IPAGothic at points, one paragraph per line; a line of the form «name» is a
// merge field.
QByteArray Design(const QStringList& lines, bool vertical, double points = 20, bool kanji = false,
                  Qt::Alignment align = Qt::AlignLeft) {
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextCharFormat format;
    RichFormat::SetFaceName(format, QStringLiteral("IPAGothic"));
    RichFormat::SetPointSize(format, points);
    for (const QString& line : lines) {
        if (cursor.position() > 0)
            cursor.insertBlock();
        QTextCharFormat own = format;
        if (line.startsWith(u'«'))
            RichFormat::SetField(own, MergeField::Instruction(line.mid(1, line.size() - 2)),
                                 cursor.position() + 1);
        cursor.insertText(line, own);
    }
    QTextBlockFormat paragraph;
    paragraph.setAlignment(align);
    cursor.setBlockFormat(paragraph);
    TextFlow::SetVertical(doc, vertical);
    TextFlow::SetKanjiNumerals(doc, kanji);
    return RtfWrite(doc);
}

class VerticalTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!PdfTools::Available())
            GTEST_SKIP() << "poppler-utils are not installed";
        report.Page = LabelSheet();
        report.Page.labelHeight = 50;
        report.Page.picturePrinted = false;
    }
    std::vector<PdfTools::Word> Print() {
        EXPECT_TRUE(report.PrintToFile(dir.filePath("v.pdf")));
        return PdfTools::Words(dir.filePath("v.pdf"));
    }
    TLabelReport report;
    QTemporaryDir dir;
};

constexpr double kEm = 20 * 25.4 / 72; // the 20 point square in millimetres
constexpr double kCellLeft = 15, kCellTop = 21, kLabel = 50;

// The words of the cell in column 1, row (from 0), by their text.
std::map<QString, QRectF> InCell(const std::vector<PdfTools::Word>& words, int row) {
    std::map<QString, QRectF> found;
    const QRectF cell(kCellLeft, kCellTop + row * kLabel, 86, kLabel);
    for (const auto& w : words)
        if (cell.contains(w.box.center()))
            found.emplace(w.text, w.box);
    return found;
}

TEST_F(VerticalTextTest, ColumnsStepDownFromTheRightEdgeAndTwoDigitsShareASquare) {
    report.Rows.push_back({Design({"東京都", "千代田区12番"}, true), nullptr});
    const Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    for (Qt::Alignment align : aligns)
        report.Rows.push_back({Design({"栄"}, true, 20, false, align), nullptr});
    const auto words = Print();
    auto w = InCell(words, 0);
    EXPECT_NEAR(w["東"].right(), kCellLeft + 86, 0.5);
    EXPECT_NEAR(w["東"].top(), kCellTop, 0.3);
    for (const char* next : {"京", "都"}) {
        EXPECT_NEAR(w[next].left(), w["東"].left(), 0.1) << next;
    }
    EXPECT_NEAR(w["京"].top() - w["東"].top(), kEm, 0.2);
    EXPECT_NEAR(w["都"].top() - w["京"].top(), kEm, 0.2);
    EXPECT_NEAR(w["千"].right(), w["東"].left(), 0.6);
    EXPECT_NEAR(w["12"].left(), w["千"].left(), 0.5);
    EXPECT_NEAR(w["12"].right(), w["千"].right(), 0.5);
    EXPECT_NEAR(w["番"].top() - w["区"].top(), 2 * kEm, 0.3);
    // Top, middle and bottom of the column.
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(InCell(words, i + 1)["栄"].top() - kCellTop - (i + 1) * kLabel,
                    (kLabel - kEm) * i / 2, 0.4)
            << i;
}

// The ink's bounding box and its share in the right half, in the cell of column 1, row.
std::pair<QRect, double> Ink(const QImage& page, int row) {
    QRect box;
    int all = 0, right = 0;
    const int top = (kCellTop + row * kLabel) * kPixelsPerMm, left = kCellLeft * kPixelsPerMm;
    for (int y = top + 2; y < top + (kLabel - 2) * kPixelsPerMm; ++y)
        for (int x = left + 2; x < left + 84 * kPixelsPerMm; ++x)
            if (qGray(page.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (qGray(page.pixel(x, y)) < 128) {
                ++all;
                right += x > box.center().x();
            }
    return {box, all ? double(right) / all : 0};
}

TEST_F(VerticalTextTest, LongVowelAndBracketTakeTheirVerticalForms) {
    for (const char* text : {"ー", "「"})
        for (bool vertical : {true, false})
            report.Rows.push_back({Design({text}, vertical, 40), nullptr});
    ASSERT_TRUE(report.PrintToFile(dir.filePath("v.pdf")));
    const QImage page = PdfTools::Raster(dir.filePath("v.pdf"), 1, kPixelsPerMm);
    const auto [upright, flat] = std::pair(Ink(page, 0).first, Ink(page, 1).first);
    EXPECT_GT(upright.height(), 3 * upright.width());
    EXPECT_GT(flat.width(), 3 * flat.height());
    // The vertical corner bracket hangs from the right, the horizontal one stands on the left.
    EXPECT_GT(Ink(page, 2).second, 0.5);
    EXPECT_LT(Ink(page, 3).second, 0.4);
    EXPECT_GT(Ink(page, 2).second - Ink(page, 3).second, 0.15);
}

TEST_F(VerticalTextTest, MergedAddressesPrintVerticallyInKanjiNumerals) {
    auto list = std::make_shared<MergeList>();
    list->columns = QStringList{"住所", "氏名"};
    list->rows = {{"港区1-2-3", "山田"}, {"北区10-5", "佐藤"}};
    const QByteArray design = Design({"«住所»", "«氏名»"}, true, 20, true);
    for (int i = 0; i < 2; ++i)
        report.Rows.push_back({design, nullptr, list, i});
    const auto words = Print();
    auto first = InCell(words, 0), second = InCell(words, 1);
    for (const char* c : {"区", "一", "二", "三"})
        EXPECT_NEAR(first[c].left(), first["港"].left(), 0.1) << c;
    EXPECT_NEAR(first["二"].top() - first["一"].top(), 2 * kEm, 0.2); // ― between them
    EXPECT_NEAR(first["山"].right(), first["港"].left(), 0.6);
    EXPECT_NEAR(second["〇"].top() - second["一"].top(), kEm, 0.2);
    EXPECT_NEAR(second["佐"].right(), second["北"].left(), 0.6);
    EXPECT_FALSE(PdfTools::Text(dir.filePath("v.pdf")).contains(u'1'));
}

// Bold of a face without its own bold, drawn small as the preview draws a whole page: heavier
// than regular, yet no blot filling the character's square.
TEST_F(VerticalTextTest, SmallBoldKeepsItsShape) {
    QImage image(24, 24, QImage::Format_RGB32);
    std::vector<int> ink;
    for (bool bold : {false, true}) {
        QTextDocument doc;
        QTextCharFormat format;
        RichFormat::SetFaceName(format, RichFormat::DefaultFaceName());
        RichFormat::SetPointSize(format, 24);
        format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
        QTextCursor(&doc).insertText(QStringLiteral("東"), format);
        TextFlow::SetVertical(doc, true);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(0.06, 0.06);
        TCellPainter(report.Page, 96)
            .DrawCell(painter, QRectF(-3700, 0, 4000, 400), {RtfWrite(doc), nullptr});
        painter.end();
        ink.push_back(0);
        for (int y = 1; y < 23; ++y)
            for (int x = 1; x < 23; ++x)
                ink.back() += qGray(image.pixel(x, y)) < 128;
    }
    EXPECT_GT(ink[1], ink[0]);
    EXPECT_LT(ink[1], 22 * 22 / 2);
}

} // namespace
