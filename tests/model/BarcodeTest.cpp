#include "model/Barcode.h"
#include "model/MergeDesign.h"
#include "model/MergeList.h"
#include "platform/Error.h"
#include "platform/RtfReader.h"

#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

TBarcodeSymbol Encoded(const char* instruction) {
    return Barcode::Encode(*BarcodeField::Parse(QString::fromUtf8(instruction)));
}

// Data a type cannot encode gives a reason instead of bars; good data gives bars of the
// symbology's size at 100 %.
TEST(Barcode, BadDataGivesAReasonAndGoodDataItsSize) {
    const struct {
        const char* instruction;
        const char* reason; // part of it; empty for good data
        double widthMm;
    } cases[] = {
        {"DISPLAYBARCODE 4901234567890 JAN13", "チェックデジット", 0},
        {"DISPLAYBARCODE 49012345678AB JAN13", "13 桁の数字", 0},
        {"DISPLAYBARCODE 14901234567890 ITF14", "チェックデジット", 0},
        {"DISPLAYBARCODE \"263-002 1-2\" JPPOST", "7桁", 0},
        {"DISPLAYBARCODE 2630023 JPPOST \\s 120", "80～115", 0},
        {"DISPLAYBARCODE x PDF417", "PDF417", 0},
        {"DISPLAYBARCODE ａｂｃ CODE39", "使えない文字", 0},
        {"DISPLAYBARCODE 4901234567894 JAN13", "", 113 * 0.33},
        {"DISPLAYBARCODE 2630023 JPPOST", "", 4 + 66 * 1.2 + 0.6},
        {"DISPLAYBARCODE 2630023 JPPOST \\s 80 \\r 1", "", (4 + 3.6) * 0.8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.instruction);
        const TBarcodeSymbol symbol = Encoded(c.instruction);
        EXPECT_TRUE(symbol.error.contains(QString::fromUtf8(c.reason)))
            << symbol.error.toStdString();
        EXPECT_EQ(symbol.bars.empty(), *c.reason != 0);
        if (!*c.reason) {
            EXPECT_NEAR(symbol.size.width(), c.widthMm, 0.01);
        }
    }
    // The same digits with more text beneath are no wider.
    EXPECT_NEAR(Encoded("DISPLAYBARCODE 4901234567894 JAN13 \\t").size.width(), 113 * 0.33, 0.01);
}

// Printing refuses the first row whose data a barcode cannot encode, naming design, type and row.
TEST(Barcode, PrintingRefusesTheRowThatCannotBeEncoded) {
    QTextDocument doc;
    RtfRead("{\\rtf1{\\field{\\*\\fldinst DISPLAYBARCODE \"{\\field{\\*\\fldinst MERGEFIELD zip}} "
            "{\\field{\\*\\fldinst MERGEFIELD ad}}\" JPPOST}}\\par}",
            &doc);
    EXPECT_EQ(MergeDesign::FieldNames(doc), QStringList({"zip", "ad"}));
    const MergeList list = ReadMergeList("zip,ad\n100-0013,1-3-2\n12345,x\n9813205,3-1-4\n",
                                         ListEncoding::Utf8, "list");
    EXPECT_NO_THROW(Barcode::CheckPrintable(doc, &list, 0, 0, "宛名"));
    EXPECT_NO_THROW(Barcode::CheckPrintable(doc, &list, 2, 2, "宛名"));
    try {
        Barcode::CheckPrintable(doc, &list, 0, 2, QString::fromUtf8("宛名"));
        FAIL() << "the second row was printed";
    } catch (const EError& e) {
        EXPECT_EQ(e.message(), QString::fromUtf8(
                                   "「宛名」のバーコード（JPPOST）を印刷できません: "
                                   "郵便番号が7桁の数字ではありません（差し込みデータの 2 件目）"));
    }
    EXPECT_THROW(Barcode::CheckPrintable(doc, nullptr, 0, 0, "宛名"), EError);
}

} // namespace
