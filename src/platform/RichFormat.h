#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QStringList>
#include <QTextCharFormat>

// Character attributes of the label text as a rich edit control keeps them, carried on
// QTextCharFormat. The RTF reader, the RTF writer and the editor all go through these.
namespace RichFormat {

// Font character set byte (128 Shift-JIS, 0 ANSI, ...); absent means Shift-JIS.
inline constexpr int CharSetProperty = QTextFormat::UserProperty + 1;
// Font pitch (Pitch below); absent means default pitch.
inline constexpr int PitchProperty = QTextFormat::UserProperty + 2;
// Baseline offset in twips, positive up; absent means the normal baseline.
inline constexpr int OffsetTwipsProperty = QTextFormat::UserProperty + 3;
// A field's result text carries the field's instruction ("MERGEFIELD 氏名") and a number that
// tells two neighbouring fields apart; text outside fields has neither.
inline constexpr int FieldInstructionProperty = QTextFormat::UserProperty + 4;
inline constexpr int FieldIdProperty = QTextFormat::UserProperty + 5;

inline constexpr int ShiftJisCharSet = 128;
inline constexpr int AnsiCharSet = 0;
inline constexpr int DefaultPointSize = 10;
inline constexpr int MinPointSize = 1;
inline constexpr int MaxPointSize = 1638; // the largest size a twips field of 16 bits holds
inline constexpr int TwipsPerPoint = 20;

enum Pitch { DefaultPitch = 0, FixedPitch = 1, VariablePitch = 2 };

// "ＭＳ Ｐゴシック": full-width letters, so spelled out to survive any source encoding.
inline QString DefaultFaceName() {
    return QString::fromUtf16(u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF");
}

inline QString FaceName(const QTextCharFormat& format) {
    return format.property(QTextFormat::FontFamilies).toStringList().value(0);
}

inline int CharSet(const QTextCharFormat& format) {
    return format.hasProperty(CharSetProperty) ? format.intProperty(CharSetProperty)
                                               : ShiftJisCharSet;
}

inline bool IsField(const QTextCharFormat& format) {
    return format.hasProperty(FieldInstructionProperty);
}

inline QString FieldInstruction(const QTextCharFormat& format) {
    return format.stringProperty(FieldInstructionProperty);
}

inline int FieldId(const QTextCharFormat& format) {
    return format.intProperty(FieldIdProperty);
}

inline void SetField(QTextCharFormat& format, const QString& instruction, int id) {
    format.setProperty(FieldInstructionProperty, instruction);
    format.setProperty(FieldIdProperty, id);
}

inline void ClearField(QTextCharFormat& format) {
    format.clearProperty(QTextFormat::ObjectType); // a barcode is a field drawn as an object
    format.clearProperty(FieldInstructionProperty);
    format.clearProperty(FieldIdProperty);
}

inline int PitchOf(const QTextCharFormat& format) {
    return format.intProperty(PitchProperty);
}

inline int OffsetTwips(const QTextCharFormat& format) {
    return format.intProperty(OffsetTwipsProperty);
}

// Size in whole points, truncated as the rich edit control reports it.
inline int PointSize(const QTextCharFormat& format) {
    const qreal points = format.fontPointSize();
    return points > 0 ? static_cast<int>(points) : DefaultPointSize;
}

// Qt moves the baseline by a percentage of ascent + descent, so the twips are converted
// through the real font metrics; without a GUI there are none, and the em size stands in.
inline qreal FontHeightInEms(const QTextCharFormat& format) {
    if (!qGuiApp)
        return 1.0;
    QFont font = format.font();
    font.setPixelSize(1000);
    const QFontMetricsF metrics(font);
    const qreal height = metrics.ascent() + metrics.descent();
    return height > 0 ? height / 1000.0 : 1.0;
}

inline void ApplyBaseline(QTextCharFormat& format) {
    const int twips = OffsetTwips(format);
    if (twips == 0) {
        format.clearProperty(QTextFormat::TextBaselineOffset);
        return;
    }
    const qreal points = format.fontPointSize() > 0 ? format.fontPointSize() : DefaultPointSize;
    const qreal offsetPoints = static_cast<qreal>(twips) / TwipsPerPoint;
    format.setBaselineOffset(100.0 * offsetPoints / (points * FontHeightInEms(format)));
}

// Raises (positive) or lowers the text without shrinking it.
inline void SetOffsetTwips(QTextCharFormat& format, int twips) {
    if (twips == 0)
        format.clearProperty(OffsetTwipsProperty);
    else
        format.setProperty(OffsetTwipsProperty, twips);
    ApplyBaseline(format);
}

inline void SetFaceName(QTextCharFormat& format, const QString& face) {
    format.setFontFamilies(QStringList(face));
    if (format.hasProperty(OffsetTwipsProperty))
        ApplyBaseline(format);
}

inline void SetPointSize(QTextCharFormat& format, qreal points) {
    format.setFontPointSize(qBound<qreal>(MinPointSize, points, MaxPointSize));
    if (format.hasProperty(OffsetTwipsProperty))
        ApplyBaseline(format);
}

inline bool IsBold(const QTextCharFormat& format) {
    return format.fontWeight() > QFont::Medium;
}

// The text's own colour, or an invalid colour for the automatic (window-text) colour.
inline QColor TextColor(const QTextCharFormat& format) {
    if (!format.hasProperty(QTextFormat::ForegroundBrush))
        return {};
    const QBrush brush = format.foreground();
    return brush.style() == Qt::NoBrush ? QColor() : brush.color();
}

// An invalid colour sets the automatic colour.
inline void SetTextColor(QTextCharFormat& format, const QColor& color) {
    if (color.isValid())
        format.setForeground(color);
    else
        format.clearForeground();
}

// Face "ＭＳ Ｐゴシック", 10 points, Shift-JIS, automatic colour.
inline QTextCharFormat DefaultCharFormat() {
    QTextCharFormat format;
    SetFaceName(format, DefaultFaceName());
    SetPointSize(format, DefaultPointSize);
    format.setProperty(CharSetProperty, ShiftJisCharSet);
    return format;
}

} // namespace RichFormat
