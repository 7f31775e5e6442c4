#include "printcore/CellPainter.h"

#include "model/BarcodeObject.h"
#include "model/KanjiNumerals.h"
#include "model/LabelPicture.h"
#include "model/MergeDesign.h"
#include "model/MergeList.h"
#include "platform/RichFormat.h"
#include "platform/RtfReader.h"
#include "platform/SyntheticBold.h"
#include "platform/TextFlow.h"
#include "printcore/VerticalLayout.h"

#include <QAbstractTextDocumentLayout>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextLayout>
#include <cmath>

namespace {

constexpr double kElementPointSize = 9;
constexpr double kFrameWidthTenthMm = 1;
constexpr double kInchesPerMeter = 1 / 0.0254;

QRectF MmRectToDots(const QRectF& mm) {
    return TCellPainter::DotsRect(
        QRectF(mm.x() * 10, mm.y() * 10, mm.width() * 10, mm.height() * 10));
}

// Rectangles of the characters from..to of doc, one per line they cover.
void AppendSelectionRects(const QTextDocument& doc, int from, int to, std::vector<QRectF>& out) {
    for (QTextBlock block = doc.findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        const QTextLayout* layout = block.layout();
        const int start = std::max(from, block.position()) - block.position();
        const int end = std::min(to, block.position() + block.length()) - block.position();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const int lineStart = std::max(start, line.textStart());
            const int lineEnd = std::min(end, line.textStart() + line.textLength());
            if (lineStart >= lineEnd)
                continue;
            const qreal x1 = line.cursorToX(lineStart);
            const qreal x2 = line.cursorToX(lineEnd);
            out.push_back(QRectF(std::min(x1, x2), line.y(), std::abs(x2 - x1), line.height())
                              .translated(layout->position()));
        }
    }
}

void StrokeSyntheticBold(QPainter& painter, const QTextDocument& doc) {
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QPointF origin = block.layout()->position();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            for (const QGlyphRun& run : fragment.glyphRuns())
                StrokeSyntheticBold(painter, run, origin, fragment.charFormat());
        }
    }
}

} // namespace

TCellPainter::TCellPainter(const TPageDescription& page, double displayPpi)
    : page_(page), displayPpi_(displayPpi > 0 ? displayPpi : 96),
      textRect_(MmRectToDots(page.textRect)), pictureRect_(MmRectToDots(page.pictureRect)),
      verticalRect_(0, textRect_.top(), textRect_.width(),
                    page.labelHeight > 0
                        ? std::max(0.0, Dots(page.labelHeight * 10) - textRect_.top())
                        : textRect_.height()),
      layoutDevice_(1, 1, QImage::Format_RGB32), fonts_(TTextLayoutKey::FontSubstitutions()) {
    const int dotsPerMeter = static_cast<int>(std::lround(PrinterDpi * kInchesPerMeter));
    layoutDevice_.setDotsPerMeterX(dotsPerMeter);
    layoutDevice_.setDotsPerMeterY(dotsPerMeter);
}

TCellPainter::~TCellPainter() = default;

QRectF TCellPainter::DotsRect(const QRectF& tenthMm) {
    return QRectF(Dots(tenthMm.x()), Dots(tenthMm.y()), Dots(tenthMm.width()),
                  Dots(tenthMm.height()));
}

void TCellPainter::DrawCell(QPainter& painter, const QRectF& cell, const TPrintRow& row) {
    painter.fillRect(cell, Qt::white);
    DrawText(painter, cell, row);
    DrawPicture(painter, cell, row);
    DrawFrame(painter, cell);
}

TLaidOutText& TCellPainter::TextDocument(const TPrintRow& row) {
    TTextLayoutKey key{row.cardText, textRect_.size(), 0, fonts_};
    std::shared_ptr<TLaidOutText> design = texts_.Get(key, [this, &row] {
        auto doc = std::make_unique<QTextDocument>();
        Prepare(*doc);
        if (!RtfRead(row.cardText, doc.get()))
            PlainTextRead(row.cardText, doc.get());
        if (TextFlow::KanjiNumerals(*doc))
            KanjiNumerals::Apply(*doc);
        return doc;
    });
    if (!row.merge) {
        shown_ = std::move(design);
        return *shown_;
    }
    const MergeList& list = *row.merge;
    key.text = TTextLayoutKey::MergedText(row.cardText, list.columns,
                                          list.rows.at(static_cast<size_t>(row.mergeRow)));
    shown_ = texts_.Get(key, [this, &design, &row] {
        // Prepared while empty, so the text is laid out once, at printer resolution.
        auto doc = std::make_unique<QTextDocument>();
        Prepare(*doc);
        doc->rootFrame()->setFrameFormat(design->doc->rootFrame()->frameFormat()); // text flow
        QTextCursor(doc.get()).insertFragment(QTextDocumentFragment(design->doc.get()));
        MergeDesign::Substitute(*doc, *row.merge, row.mergeRow, page_.dropBlankLines);
        if (TextFlow::KanjiNumerals(*doc))
            KanjiNumerals::Apply(*doc);
        return doc;
    });
    return *shown_;
}

void TCellPainter::Prepare(QTextDocument& doc) {
    doc.documentLayout()->setPaintDevice(&layoutDevice_);
    TBarcodeObject::Register(doc);
    doc.setUseDesignMetrics(true);
    doc.setDocumentMargin(0);
    QFont font(RichFormat::DefaultFaceName());
    font.setPointSizeF(kElementPointSize);
    doc.setDefaultFont(font);
    doc.setTextWidth(textRect_.width());
}

const TVerticalLayout& TCellPainter::Vertical(TLaidOutText& text) {
    if (!text.vertical)
        text.vertical =
            std::make_unique<TVerticalLayout>(*text.doc, verticalRect_.size(), PrinterDpi);
    return *text.vertical;
}

void TCellPainter::DrawText(QPainter& painter, const QRectF& cell, const TPrintRow& row) {
    if (row.cardText.isEmpty() || textRect_.width() <= 0 || textRect_.height() <= 0)
        return;
    TLaidOutText& text = TextDocument(row);
    QTextDocument* doc = text.doc.get();
    if (TextFlow::IsVertical(*doc)) {
        painter.save();
        painter.translate(cell.topLeft() + verticalRect_.topLeft());
        painter.setClipRect(QRectF(QPointF(), verticalRect_.size()), Qt::IntersectClip);
        Vertical(text).Draw(painter, Qt::black);
        painter.restore();
        return;
    }
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    context.clip = QRectF(QPointF(), textRect_.size());
    painter.save();
    painter.translate(cell.topLeft() + textRect_.topLeft());
    painter.setClipRect(context.clip, Qt::IntersectClip);
    doc->documentLayout()->draw(&painter, context);
    if (painter.paintEngine()->type() != QPaintEngine::Pdf)
        StrokeSyntheticBold(painter, *doc);
    painter.restore();
}

void TCellPainter::DrawPicture(QPainter& painter, const QRectF& cell, const TPrintRow& row) const {
    if (!page_.picturePrinted)
        return;
    const QRectF target = pictureRect_.translated(cell.topLeft());
    const bool hasPicture = row.picture && !row.picture->isNull();
    if (page_.pictureStretch && !hasPicture)
        painter.fillRect(target, Qt::white);
    else if (hasPicture)
        DrawLabelPicture(painter, *row.picture, target, page_.pictureStretch,
                         PrinterDpi / displayPpi_);
}

void TCellPainter::DrawFrame(QPainter& painter, const QRectF& cell) const {
    // At least one device pixel wide, so the dots stay visible in a small preview.
    const double scale = std::sqrt(std::abs(painter.worldTransform().determinant()));
    QPen pen(page_.frameColor, std::max(1.0, Dots(kFrameWidthTenthMm) * scale), Qt::DotLine);
    pen.setCosmetic(true);
    painter.save();
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(cell);
    painter.restore();
}

std::vector<QRectF> TCellPainter::FindText(const QRectF& cell, const TPrintRow& row,
                                           const QString& text) {
    std::vector<QRectF> hits;
    if (text.isEmpty() || row.cardText.isEmpty())
        return hits;
    TLaidOutText& laidOut = TextDocument(row);
    const QTextDocument* doc = laidOut.doc.get();
    const bool vertical = TextFlow::IsVertical(*doc);
    const QRectF area = vertical ? verticalRect_ : textRect_;
    const QRectF visible(QPointF(), area.size());
    std::vector<QRectF> inText;
    for (QTextCursor found = doc->find(text); !found.isNull(); found = doc->find(text, found)) {
        if (!vertical) {
            AppendSelectionRects(*doc, found.selectionStart(), found.selectionEnd(), inText);
            continue;
        }
        const auto boxes = Vertical(laidOut).Boxes(found.selectionStart(), found.selectionEnd());
        inText.insert(inText.end(), boxes.begin(), boxes.end());
    }
    for (const QRectF& r : inText) {
        const QRectF shown = r.intersected(visible);
        if (!shown.isEmpty())
            hits.push_back(shown.translated(cell.topLeft() + area.topLeft()));
    }
    return hits;
}
