#pragma once

#include <QPointF>

class QGlyphRun;
class QPainter;
class QTextCharFormat;

// Strokes the outlines of a bold run whose face has no bold of its own, where the font engine
// would not embolden it on the screen but the PDF writer does on paper.
void StrokeSyntheticBold(QPainter& painter, const QGlyphRun& run, const QPointF& origin,
                         const QTextCharFormat& format);
