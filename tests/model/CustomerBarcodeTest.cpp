#include "model/CustomerBarcode.h"

#include <QRegularExpression>

#include <gtest/gtest.h>
#include <zint.h>

namespace {

using CustomerBarcode::Bar;

// The bars zint draws for the same data, read from its three rows of modules.
std::vector<Bar> ZintBars(const QString& data) {
    zint_symbol* symbol = ZBarcode_Create();
    symbol->symbology = BARCODE_JAPANPOST;
    const QByteArray bytes = data.toLatin1();
    EXPECT_LT(ZBarcode_Encode(symbol, reinterpret_cast<const unsigned char*>(bytes.constData()),
                              static_cast<int>(bytes.size())),
              ZINT_ERROR)
        << symbol->errtxt;
    const auto set = [&](int row, int column) {
        return (symbol->encoded_data[row][column / 8] >> (column % 8)) & 1;
    };
    std::vector<Bar> bars;
    for (int column = 0; column < symbol->width; column += 2)
        bars.push_back(set(0, column) ? (set(2, column) ? Bar::Long : Bar::Upper)
                                      : (set(2, column) ? Bar::Lower : Bar::Timing));
    ZBarcode_Delete(symbol);
    return bars;
}

// The worked examples of Japan Post's postal code and barcode manual, and the rules behind them.
TEST(CustomerBarcode, AddressesGiveTheManualsDataCheckDigitAndBars) {
    const struct {
        const char* data;
        const char* number; // the address display number extracted
        const char* codes;  // the 20 characters: digits, '-', letters a..h for CC1..CC8
        int check;
    } cases[] = {
        {"100-0013 1丁目3番2号 郵便プラザ503室", "1-3-2-503", "10000131-3-2-503dddd", 9},
        {"263-0023 3丁目30-8 郵便ビル403号", "3-30-8-403", "26300233-30-8-403ddd", -1},
        {"〒273-0102 東3丁目-20-5 郵便・A&bコーポB604号", "3-20-5B604", "27301023-20-5a1604dd", -1},
        {"317-0055 6丁目7-14 ABCビル2F", "6-7-14-2", "31700556-7-14-2ddddd", -1},
        {"064-0804 29丁目1524-23 第2郵便ハウス501", "29-1524-23-2-501", "064080429-1524-23-2-", -1},
        {"910-0067 3丁目80-25 J1ビル2-B", "3-80-25J1-2B", "91000673-80-25a91-2a", -1},
        {"0283623 第3地割14番地2", "3-14-2", "02836233-14-2ddddddd", -1},
        {"１００－０００１ 千代田 一丁目十一番地の二十三号", "1-11-23", "10000011-11-23dddddd", -1},
        {"9813205", "", "9813205ddddddddddddd", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        const auto code = CustomerBarcode::Encode(QString::fromUtf8(c.data));
        ASSERT_TRUE(code.error.isEmpty()) << code.error.toStdString();
        EXPECT_EQ(code.addressNumber, QString::fromUtf8(c.number));
        QString codes;
        for (std::size_t i = 0; i < 20; ++i)
            codes += code.codes[i] < 10    ? QChar(u'0' + code.codes[i])
                     : code.codes[i] == 10 ? QChar(u'-')
                                           : QChar(u'a' + code.codes[i] - 11);
        EXPECT_EQ(codes, QString::fromUtf8(c.codes));
        int sum = 0;
        for (const int value : code.codes)
            sum += value;
        EXPECT_EQ(sum % 19, 0) << "check digit";
        if (c.check >= 0) {
            EXPECT_EQ(code.codes.back(), c.check);
        }
        ASSERT_EQ(code.bars.size(), 67u);
        // zint takes no data past 20 characters; for the rest its bars must be ours.
        const QString data = code.postalCode + code.addressNumber;
        if (data.size() + data.count(QRegularExpression("[A-Z]")) <= 20) {
            EXPECT_EQ(code.bars, ZintBars(data));
        }
    }
    for (const char* bad : {"263-002 3丁目", "26300231-2", "", "郵便番号なし"})
        EXPECT_FALSE(CustomerBarcode::Encode(QString::fromUtf8(bad)).error.isEmpty()) << bad;
}

} // namespace
