#pragma once

#include "printcore/LabelReport.h"

#include <QHash>
#include <QImage>
#include <QRectF>
#include <memory>
#include <tuple>
#include <vector>

class QPainter;
class QTextDocument;
class TVerticalLayout;

// Printer units: every page is laid out and drawn in dots of this resolution, whatever device
// shows it, so the preview and the printout break the label text in the same places.
inline constexpr int PrinterDpi = 1200;

// Draws label cells, in printer dots, into any painter: white background, text, picture, frame.
// The rich text of a row is read and laid out once and drawn for every cell that shows it.
class TCellPainter {
  public:
    TCellPainter(const TPageDescription& page, double displayPpi);
    ~TCellPainter();
    TCellPainter(const TCellPainter&) = delete;
    TCellPainter& operator=(const TCellPainter&) = delete;

    static double Dots(double tenthMm) { return tenthMm * PrinterDpi / 254.0; }
    static QRectF DotsRect(const QRectF& tenthMm);

    void DrawCell(QPainter& painter, const QRectF& cell, const TPrintRow& row);
    // Where the text occurs (letter case ignored) in the row's label text, for a cell at cell.
    std::vector<QRectF> FindText(const QRectF& cell, const TPrintRow& row, const QString& text);

  private:
    void DrawText(QPainter& painter, const QRectF& cell, const TPrintRow& row);
    void DrawPicture(QPainter& painter, const QRectF& cell, const TPrintRow& row) const;
    void DrawFrame(QPainter& painter, const QRectF& cell) const;
    QTextDocument* TextDocument(const QByteArray& cardText);
    QTextDocument* TextDocument(const TPrintRow& row);
    void Prepare(QTextDocument& doc);
    const TVerticalLayout& Vertical(const QTextDocument* doc);

    TPageDescription page_;
    double displayPpi_;
    QRectF textRect_;
    QRectF pictureRect_;
    // Vertical text fills columns from the label's right edge less the left correction.
    QRectF verticalRect_;
    // Fonts are measured at printer resolution through this device.
    QImage layoutDevice_;
    QHash<QByteArray, std::shared_ptr<QTextDocument>> texts_;
    // The last merged label: each differs, so only the one being drawn or searched is kept.
    std::unique_ptr<QTextDocument> merged_;
    std::tuple<const QTextDocument*, const MergeList*, int> mergedFrom_{nullptr, nullptr, -1};
    QHash<const QTextDocument*, std::shared_ptr<TVerticalLayout>> verticals_;
    std::unique_ptr<TVerticalLayout> mergedVertical_;
};
