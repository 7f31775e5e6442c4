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

namespace {

bool IsBoldRun(const QTextCharFormat& format) {
    return format.fontWeight() >= QFont::Bold && format.objectType() == QTextFormat::NoObject;
}

template <typename Visit> void ForEachBoldFragment(const QTextDocument& doc, Visit visit) {
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (IsBoldRun(it.fragment().charFormat()))
                visit(block, it.fragment());
}

// The same face unthickened at the same size; the face itself where it has a bold of its own.
QRawFont Outlines(const QRawFont& raw, const QTextCharFormat& format) {
    if (FaceWeight(raw) >= QFont::DemiBold)
        return raw;
    QFont font(raw.familyName());
    font.setStyleStrategy(QFont::NoFontMerging);
    font.setItalic(format.fontItalic());
    QRawFont regular = QRawFont::fromFont(font);
    if (!regular.isValid() || regular.styleName() != raw.styleName())
        return raw;
    regular.setPixelSize(raw.pixelSize());
    return regular;
}

void DrawRuns(QPainter& painter, const QTextLayout& layout, int from, int length,
              QTextCharFormat format) {
    const QPointF origin = layout.position();
    painter.setPen(format.foreground().color());
    for (QGlyphRun run : layout.glyphRuns(from, length)) {
        // A run's underline and strike-out start where it is drawn from: its first glyph.
        QList<QPointF> positions = run.positions();
        if (positions.isEmpty())
            continue;
        const QPointF first = positions.first();
        for (QPointF& position : positions)
            position -= first;
        run.setPositions(positions);
        run.setRawFont(Outlines(run.rawFont(), format));
        painter.drawGlyphRun(origin + first, run);
        StrokeSyntheticBold(painter, run, origin + first, format, true);
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

void Draw(QPainter& painter, const QTextDocument& doc, const QRectF& clip, const QColor& automatic,
          int selectionStart, int selectionEnd) {
    ForEachBoldFragment(doc, [&](const QTextBlock& block, const QTextFragment& fragment) {
        const QTextLayout* layout = block.layout();
        if (!layout || !layout->boundingRect().translated(layout->position()).intersects(clip))
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
