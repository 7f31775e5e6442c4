#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;

// A Windows metafile (enhanced or old-style), its records drawn with QPainter at the
// metafile's own size in pixels.
class Metafile {
  public:
    static QString InvalidText(); // "Metafile is not valid"

    // Raise InvalidText() for a file whose records are cut off or do not fit together, and
    // "Picture is too large" for one whose picture would exceed the bound.
    static Metafile ReadEmf(const QByteArray& file);
    static Metafile ReadWmf(const QByteArray& file);

    QSize Size() const { return size_; }
    // Raises InvalidText() for a record whose fields do not fit inside it.
    void Draw(QPainter& painter) const;

  private:
    Metafile(QByteArray records, QSize size) : records_(std::move(records)), size_(size) {}
    QByteArray records_;
    QSize size_;
    bool enhanced_ = true;
    qint64 start_ = 0; // an old-style metafile's header, after any placeable header
    QRectF frame_;     // the logical rectangle an old-style metafile shows
};

// The graphic drawn at (0, 0) on a white bitmap of its own size.
QImage GraphicToBitmap(const Metafile& graphic);
