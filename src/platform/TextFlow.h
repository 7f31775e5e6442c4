#pragma once

#include <QTextDocument>
#include <QTextFrame>
#include <QTextFrameFormat>

// Settings of a whole label text, kept on the document's root frame so that they travel with
// every copy of the document and are cleared with its content.
namespace TextFlow {

// Columns top to bottom, right to left, instead of lines.
inline constexpr int VerticalProperty = QTextFormat::UserProperty + 20;
// Arabic numerals printed as kanji numerals.
inline constexpr int KanjiNumeralsProperty = QTextFormat::UserProperty + 21;

inline bool Flag(const QTextDocument& doc, int property) {
    return doc.rootFrame()->frameFormat().boolProperty(property);
}

inline void SetFlag(QTextDocument& doc, int property, bool on) {
    if (Flag(doc, property) == on)
        return;
    QTextFrameFormat format = doc.rootFrame()->frameFormat();
    if (on)
        format.setProperty(property, true);
    else
        format.clearProperty(property);
    doc.rootFrame()->setFrameFormat(format);
}

inline bool IsVertical(const QTextDocument& doc) {
    return Flag(doc, VerticalProperty);
}
inline void SetVertical(QTextDocument& doc, bool on) {
    SetFlag(doc, VerticalProperty, on);
}
inline bool KanjiNumerals(const QTextDocument& doc) {
    return Flag(doc, KanjiNumeralsProperty);
}
inline void SetKanjiNumerals(QTextDocument& doc, bool on) {
    SetFlag(doc, KanjiNumeralsProperty, on);
}

} // namespace TextFlow
