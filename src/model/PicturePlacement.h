#pragma once

#include <QRect>

class Query;

// Where a design's picture sits on its label: the picture window's outer rectangle, in logical
// display pixels (96 per inch) from the label's top-left corner, and how it is shown.
struct PicturePlacement {
    int x = 0;              // G_X
    int y = 0;              // G_Y
    int width = 0;          // G_Width
    int height = 0;         // G_Height
    bool shown = false;     // G_Show: only 1 means shown
    bool stretched = false; // G_Stretch: only 1 means stretched

    // The current row of a design query; null fields read as 0.
    static PicturePlacement FromRecord(Query& designs);
    // Writes the six fields in their stored order: stretch, shown, left, top, height, width.
    void IntoRecord(Query& designs) const;

    QRect Rect() const { return QRect(x, y, width, height); }
    bool operator==(const PicturePlacement&) const = default;
};
