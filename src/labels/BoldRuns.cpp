#include "labels/BoldRuns.h"

#include "labels/FieldUnits.h"
#include "platform/RichFormat.h"
#include "platform/SyntheticBold.h"

#include <QAbstractTextDocumentLayout>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <cmath>

namespace {

bool IsBoldRun(const QTextCharFormat& format) {
    return format.fontWeight() >= QFont::Bold && format.objectType() == QTextFormat::NoObject;
}

// A paragraph holding text still being composed is left to the text edit: the composition
// shifts its characters away from the document's positions, and its underline must show.
bool Composing(const QTextBlock& block) {
    return block.layout() && !block.layout()->preeditAreaText().isEmpty();
}

template <typename Visit> void ForEachBoldFragment(const QTextDocument& doc, Visit visit) {
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !Composing(block) && !it.atEnd(); ++it)
            if (IsBoldRun(it.fragment().charFormat()))
                visit(block, it.fragment());
}

// The run's own face, unthickened where it has no bold of its own.
QRawFont Outlines(const QRawFont& raw, const QTextCharFormat& format) {
    QFont font(raw.familyName());
    font.setStyleStrategy(QFont::NoFontMerging);
    font.setItalic(format.fontItalic());
    return UnthickenedFace(raw, font);
}

// Underline and strike-out where the text edit draws them. Not the glyph run's own: the painter
// places those wrongly in a child widget.
void DrawLines(QPainter& painter, const QGlyphRun& run, const QPointF& origin,
               const QTextCharFormat& format) {
    const QRawFont font = run.rawFont();
    const QPointF start = origin + run.positions().first();
    const QPointF last = origin + run.positions().last();
    const qreal width = last.x() +
                        font.advancesForGlyphIndexes({run.glyphIndexes().last()}).value(0).x() -
                        start.x();
    const qreal thickness = font.lineThickness();
    const QColor colour = format.foreground().color();
    if (format.fontUnderline())
        painter.fillRect(
            QRectF(start.x(), start.y() + std::ceil(font.underlinePosition()), width, thickness),
            colour);
    if (format.fontStrikeOut())
        painter.fillRect(
            QRectF(start.x(), start.y() - font.ascent() / 3 - thickness / 2, width, thickness),
            colour);
}

// How far the text edit raises or lowers a run from where its glyphs are laid out.
qreal BaselineShift(const QTextCharFormat& format, const QRawFont& font) {
    const qreal height = font.ascent() + font.descent();
    qreal shift = -height * format.baselineOffset() / 100;
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        shift -= height * format.superScriptBaseline() / 100;
    else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        shift += height * format.subScriptBaseline() / 100;
    return shift;
}

void DrawRuns(QPainter& painter, const QTextLayout& layout, int from, int length,
              const QTextCharFormat& format) {
    painter.setPen(format.foreground().color());
    for (QGlyphRun run : layout.glyphRuns(from, length)) {
        if (run.glyphIndexes().isEmpty())
            continue;
        const QPointF origin = layout.position() + QPointF(0, BaselineShift(format, run.rawFont()));
        run.setRawFont(Outlines(run.rawFont(), format));
        run.setUnderline(false);
        run.setStrikeOut(false);
        run.setOverline(false);
        // Lines as crisp as the text edit's own; the stroke smooth like the glyphs it thickens.
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.drawGlyphRun(origin, run);
        DrawLines(painter, run, origin, format);
        painter.setRenderHint(QPainter::Antialiasing);
        StrokeSyntheticBold(painter, run, origin, format, true);
    }
}

} // namespace

namespace BoldRuns {

QList<QTextEdit::ExtraSelection> Covers(const QTextDocument& doc, const QColor& paper) {
    QList<QTextEdit::ExtraSelection> covers;
    ForEachBoldFragment(doc, [&](const QTextBlock&, const QTextFragment& fragment) {
        const QTextCharFormat format = fragment.charFormat();
        QTextEdit::ExtraSelection cover;
        cover.cursor = QTextCursor(const_cast<QTextDocument*>(&doc));
        cover.cursor.setPosition(fragment.position());
        cover.cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
        cover.format.setForeground(QColor(Qt::transparent));
        // With a background of its own a cover is drawn even where it touches another one.
        if (format.background().style() != Qt::NoBrush)
            cover.format.setBackground(format.background());
        else
            cover.format.setBackground(RichFormat::IsField(format) ? FieldUnits::Shade() : paper);
        covers.append(cover);
    });
    return covers;
}

void Draw(QPainter& painter, const QTextDocument& doc, const QColor& automatic, int selectionStart,
          int selectionEnd) {
    // The painter keeps to the area being drawn; label texts are short.
    ForEachBoldFragment(doc, [&](const QTextBlock& block, const QTextFragment& fragment) {
        const QTextLayout* layout = block.layout();
        if (!layout)
            return;
        QTextCharFormat format = fragment.charFormat();
        const QColor own = RichFormat::TextColor(format);
        format.setForeground(own.isValid() ? own : automatic);
        const int start = fragment.position();
        const int end = start + fragment.length();
        // What lies before the selection and what lies after it.
        const std::pair<int, int> pieces[] = {{start, std::min(end, selectionStart)},
                                              {std::max(start, selectionEnd), end}};
        for (const auto& [from, to] : pieces)
            if (from < to)
                DrawRuns(painter, *layout, from - block.position(), to - from, format);
    });
}

} // namespace BoldRuns
