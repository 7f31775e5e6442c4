#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class QPainter;

// A Windows metafile (enhanced or old-style), turned into SVG by libemf2svg or libwmf and
// drawn with QtSvg at the metafile's own size in pixels.
class Metafile {
  public:
    static QString InvalidText(); // "Metafile is not valid"

    // Raise InvalidText() for a file whose records are cut off or do not fit together, and
    // "Picture is too large" for one whose picture would exceed the bound.
    static Metafile ReadEmf(const QByteArray& file);
    static Metafile ReadWmf(const QByteArray& file);

    QSize Size() const { return size_; }
    const QByteArray& Svg() const { return svg_; }
    void Draw(QPainter& painter) const;

  private:
    Metafile(QByteArray svg, QSize size);
    QByteArray svg_;
    QSize size_;
};

// The graphic drawn at (0, 0) on a white bitmap of its own size.
QImage GraphicToBitmap(const Metafile& graphic);
