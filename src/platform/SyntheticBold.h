#pragma once

#include <QFontDatabase>
#include <QPointF>
#include <QRawFont>

class QGlyphRun;
class QPainter;
class QTextCharFormat;

// Strokes the outlines of a bold run whose face has no bold of its own, where the font engine
// would not embolden it on the screen but the PDF writer does on paper; with everywhere, at any
// size and on any device, for runs whose font no engine emboldens.
void StrokeSyntheticBold(QPainter& painter, const QGlyphRun& run, const QPointF& origin,
                         const QTextCharFormat& format, bool everywhere = false);

// The weight the face itself was designed with (the OS/2 table's), not the one asked for.
int FaceWeight(const QRawFont& font);

// The face font asked for, at raw's size, for StrokeSyntheticBold to thicken: raw itself where
// its face has a bold of its own, else the same face asked for regular, which the font engine
// leaves unthickened. raw is what font gave.
QRawFont UnthickenedFace(const QRawFont& raw, QFont font,
                         QFontDatabase::WritingSystem system = QFontDatabase::Any);
