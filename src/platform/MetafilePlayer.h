#pragma once

#include <QByteArray>
#include <QRectF>
#include <QSize>

class QPainter;

// Plays a metafile's records onto a painter, the picture filling (0, 0, size). The records
// are already known to lie inside the bytes; a record whose fields do not fit it raises
// "Metafile is not valid".
namespace MetafilePlayer {

void PlayEmf(const QByteArray& file, QPainter& painter, QSize size);
// `start` is where the records' header begins (after a placeable header); `frame` is the
// logical rectangle shown as the picture.
void PlayWmf(const QByteArray& file, qint64 start, const QRectF& frame, QPainter& painter,
             QSize size);

} // namespace MetafilePlayer
