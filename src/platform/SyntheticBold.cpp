#include "platform/SyntheticBold.h"

#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRawFont>
#include <QTextCharFormat>

namespace {

// Below this size the font engine emboldens a face that has no bold itself; above it only the
// PDF writer does, so the screen has to add the weight to show what the paper shows.
constexpr int kEngineBoldLimitPixels = 64;
// The stroke the PDF writer gives synthetic bold, as a share of the font's pixel size.
constexpr double kSyntheticBoldStroke = 1.0 / 50;

bool NeedsSyntheticBold(const QTextCharFormat& format, const QRawFont& font, bool everywhere) {
    return format.fontWeight() >= QFont::Bold &&
           (everywhere || font.pixelSize() >= kEngineBoldLimitPixels) && FaceWeight(font) < 600;
}

} // namespace

int FaceWeight(const QRawFont& font) {
    const QByteArray os2 = font.fontTable("OS/2");
    if (os2.size() < 6)
        return QFont::Normal;
    return (static_cast<uchar>(os2[4]) << 8) | static_cast<uchar>(os2[5]);
}

QRawFont UnthickenedFace(const QRawFont& raw, QFont font, QFontDatabase::WritingSystem system) {
    if (FaceWeight(raw) >= QFont::DemiBold)
        return raw;
    font.setWeight(QFont::Normal);
    QRawFont regular = QRawFont::fromFont(font, system);
    // Names found through a substitution come back in lower case.
    if (!regular.isValid() || regular.familyName().compare(raw.familyName(), Qt::CaseInsensitive) ||
        regular.styleName() != raw.styleName())
        return raw;
    regular.setPixelSize(raw.pixelSize());
    return regular;
}

void StrokeSyntheticBold(QPainter& painter, const QGlyphRun& run, const QPointF& origin,
                         const QTextCharFormat& format, bool everywhere) {
    const QRawFont font = run.rawFont();
    if (!NeedsSyntheticBold(format, font, everywhere))
        return;
    QPainterPath outline;
    const auto glyphs = run.glyphIndexes();
    const auto positions = run.positions();
    for (qsizetype i = 0; i < glyphs.size(); ++i)
        outline.addPath(font.pathForGlyph(glyphs[i]).translated(origin + positions[i]));
    const QColor colour = format.foreground().style() == Qt::NoBrush ? QColor(Qt::black)
                                                                     : format.foreground().color();
    // The stroke filled as an area: a pen thinner than a device pixel strokes a glyph's curves
    // into a blot.
    QPainterPathStroker stroker;
    stroker.setWidth(font.pixelSize() * kSyntheticBoldStroke);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    painter.fillPath(stroker.createStroke(outline), colour);
}
