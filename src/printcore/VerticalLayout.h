#pragma once

#include <QColor>
#include <QGlyphRun>
#include <QRectF>
#include <QTextCharFormat>
#include <QTransform>
#include <vector>

class QPainter;
class TBarcodeObject;
class QTextDocument;

// One run of glyphs of a vertically set text and where it sits.
struct TVerticalRun {
    QGlyphRun glyphs;     // positioned in the run's own frame
    QTransform transform; // from the run's frame into the text area
    QTextCharFormat format;
    QSizeF object; // a barcode's size, drawn instead of glyphs when not empty
    int from = 0;  // the document positions it shows
    int to = 0;
    QRectF box; // the squares it fills in the text area
};

// A label text set top to bottom in columns, right to left from the right edge of its area:
// the font's vertical forms for Japanese, Latin and half-width runs turned 90 degrees
// clockwise, numbers of one or two digits upright side by side in one square, barcodes turned
// like Latin words. A paragraph's
// alignment places each of its columns at the top, middle or bottom of the area. Lengths are
// the dots of a device of dpi dots per inch.
class TVerticalLayout {
  public:
    TVerticalLayout(const QTextDocument& doc, const QSizeF& area, double dpi);

    const std::vector<TVerticalRun>& Runs() const { return runs_; }
    // Text of the automatic colour takes defaultColor.
    void Draw(QPainter& painter, const QColor& defaultColor) const;
    // The squares of the document positions from..to, merged per column.
    std::vector<QRectF> Boxes(int from, int to) const;

  private:
    TBarcodeObject* barcodes_; // the document's, drawing its barcodes
    std::vector<TVerticalRun> runs_;
};
