#include "model/CustomerBarcode.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace CustomerBarcode {

namespace {

constexpr int kSymbolChars = 20;
constexpr int kHyphen = 10;
constexpr int kCc1 = 11;
constexpr int kCc4 = 14;
constexpr int kCheckModulus = 19;

// Bars of each character value: digits, hyphen, CC1 to CC8.
constexpr std::array<const char*, 19> kBars = {"144", "114", "132", "312", "123", "141", "321",
                                               "213", "231", "411", "414", "324", "342", "234",
                                               "432", "243", "423", "441", "111"};
constexpr const char* kStart = "13";
constexpr const char* kStop = "31";

// Words before which kanji numerals are written as digits.
const QStringList& NumberMarkers() {
    static const QStringList markers = {
        QStringLiteral("丁目"), QStringLiteral("丁"), QStringLiteral("番地"),
        QStringLiteral("番"),   QStringLiteral("号"), QStringLiteral("地割"),
        QStringLiteral("線"),   QStringLiteral("の"), QStringLiteral("ノ")};
    return markers;
}

int KanjiDigit(QChar c) {
    static const QString digits = QStringLiteral("〇一二三四五六七八九");
    return static_cast<int>(digits.indexOf(c));
}

int KanjiUnit(QChar c) {
    return c == u'十' ? 10 : c == u'百' ? 100 : c == u'千' ? 1000 : 0;
}

bool IsKanjiNumeral(QChar c) {
    return KanjiDigit(c) >= 0 || KanjiUnit(c) > 0;
}

// 二十三 is 23, 百五 105, 二〇三 203.
int KanjiNumber(QStringView text) {
    int total = 0;
    int digits = -1; // digits read since the last unit, -1 for none
    for (const QChar c : text) {
        if (const int unit = KanjiUnit(c)) {
            total += (digits < 0 ? 1 : digits) * unit;
            digits = -1;
        } else {
            digits = std::max(digits, 0) * 10 + KanjiDigit(c);
        }
    }
    return total + std::max(digits, 0);
}

QString KanjiNumeralsToDigits(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size();) {
        qsizetype end = i;
        while (end < text.size() && IsKanjiNumeral(text.at(end)))
            ++end;
        const bool marked =
            end > i &&
            std::any_of(NumberMarkers().begin(), NumberMarkers().end(), [&](const QString& marker) {
                return QStringView(text).mid(end).startsWith(marker);
            });
        if (marked)
            out += QString::number(KanjiNumber(QStringView(text).mid(i, end - i)));
        else
            out += text.mid(i, std::max<qsizetype>(end - i, 1));
        i = std::max(end, i + 1);
    }
    return out;
}

bool IsLetter(QChar c) {
    return c >= u'A' && c <= u'Z';
}

// Full-width forms to their ASCII ones, every kind of dash to the hyphen, letters to capitals,
// and the characters the manual removes gone.
QString Cleaned(const QString& address) {
    static const QString dashes = QStringLiteral("‐‑‒–—―−ーｰ─━");
    static const QString removed = QStringLiteral("&/・.,");
    QString text;
    for (QChar c : address.normalized(QString::NormalizationForm_KC).toUpper()) {
        if (dashes.contains(c))
            c = u'-';
        if (!removed.contains(c))
            text += c;
    }
    return text;
}

// A single letter is kept; two or more in a row count as words. F after a number is a floor.
QString KeptCharacter(const QString& text, qsizetype i) {
    const QChar c = text.at(i);
    if (c.isDigit() || c == u'-')
        return QString(c);
    if (!IsLetter(c))
        return {};
    const bool before = i > 0 && IsLetter(text.at(i - 1));
    const bool after = i + 1 < text.size() && IsLetter(text.at(i + 1));
    if (before || after)
        return {};
    if (c == u'F' && i > 0 && text.at(i - 1).isDigit())
        return QStringLiteral("-");
    return QString(c);
}

// Values of the data's symbol characters: a letter takes a control code and a digit.
std::vector<int> Values(const QString& data) {
    std::vector<int> values;
    for (const QChar c : data) {
        if (c.isDigit()) {
            values.push_back(c.digitValue());
        } else if (c == u'-') {
            values.push_back(kHyphen);
        } else if (IsLetter(c)) {
            const int index = c.unicode() - u'A';
            values.push_back(kCc1 + index / 10);
            values.push_back(index % 10);
        }
    }
    return values;
}

} // namespace

QString AddressNumber(const QString& address) {
    const QString text = KanjiNumeralsToDigits(Cleaned(address));
    QString number;
    bool gap = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QString kept = KeptCharacter(text, i);
        if (kept.isEmpty()) {
            gap = true;
            continue;
        }
        if (gap || kept == u'-') {
            if (!number.endsWith(u'-'))
                number += u'-';
        }
        gap = false;
        if (kept != u'-')
            number += kept;
    }
    static const QRegularExpression hyphenBeforeLetter(QStringLiteral("-(?=[A-Z])"));
    number.remove(hyphenBeforeLetter);
    while (number.startsWith(u'-'))
        number.remove(0, 1);
    while (number.endsWith(u'-'))
        number.chop(1);
    return number;
}

TCustomerCode Encode(const QString& data) {
    TCustomerCode code;
    static const QRegularExpression postal(
        QStringLiteral("^\\s*〒?\\s*(\\d{3})-?(\\d{4})(?!\\d)(.*)$"),
        QRegularExpression::DotMatchesEverythingOption);
    const auto match = postal.match(Cleaned(data));
    if (!match.hasMatch()) {
        code.error = QStringLiteral("郵便番号が7桁の数字ではありません");
        return code;
    }
    code.postalCode = match.captured(1) + match.captured(2);
    code.addressNumber = AddressNumber(match.captured(3));
    code.codes = Values(code.postalCode + code.addressNumber);
    // Cut at 20; a letter cut in two keeps its control code.
    code.codes.resize(kSymbolChars, kCc4);
    int sum = 0;
    for (const int value : code.codes)
        sum += value;
    code.codes.push_back((kCheckModulus - sum % kCheckModulus) % kCheckModulus);
    const auto append = [&](const char* bars) {
        for (const char* b = bars; *b; ++b)
            code.bars.push_back(static_cast<Bar>(*b));
    };
    append(kStart);
    for (const int value : code.codes)
        append(kBars[static_cast<std::size_t>(value)]);
    append(kStop);
    return code;
}

} // namespace CustomerBarcode
