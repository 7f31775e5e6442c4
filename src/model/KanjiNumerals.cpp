#include "model/KanjiNumerals.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace KanjiNumerals {

namespace {

constexpr char16_t kKanjiDigits[] = u"〇一二三四五六七八九";
constexpr char16_t kKanjiDash = u'―';

// The digit's value, half- or full-width; -1 for anything else.
int DigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'０' && u <= u'９')
        return u - u'０';
    return -1;
}

// The marks people type between the numbers of an address: hyphens, dashes, minus, the long
// vowel mark.
bool IsAddressHyphen(QChar c) {
    switch (c.unicode()) {
    case u'-':
    case u'\u2010':
    case u'\u2011':
    case u'\u2012':
    case u'\u2013':
    case u'\u2212':
    case u'\uFF0D':
    case u'\u30FC':
    case u'\uFF70':
        return true;
    default:
        return false;
    }
}

} // namespace

QString Convert(const QString& text) {
    QString out = text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int digit = DigitValue(text.at(i));
        if (digit >= 0)
            out[i] = QChar(kKanjiDigits[digit]);
        else if (IsAddressHyphen(text.at(i)) && i > 0 && i + 1 < text.size() &&
                 DigitValue(text.at(i - 1)) >= 0 && DigitValue(text.at(i + 1)) >= 0)
            out[i] = QChar(kKanjiDash);
    }
    return out;
}

void Apply(QTextDocument& doc) {
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const QString converted = Convert(text);
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (converted.at(i) == text.at(i))
                continue;
            const int at = block.position() + static_cast<int>(i);
            cursor.setPosition(at + 1);
            const QTextCharFormat format = cursor.charFormat();
            cursor.setPosition(at);
            cursor.setPosition(at + 1, QTextCursor::KeepAnchor);
            cursor.insertText(QString(converted.at(i)), format);
        }
    }
    cursor.endEditBlock();
}

} // namespace KanjiNumerals
