#pragma once

#include "model/Paper.h"

#include <QColor>
#include <QRectF>
#include <QString>

// The order labels take on a sheet: down each column first, or across each row (reading order).
enum class FillOrder { Columns, Rows };

// What a page of labels looks like. Lengths are millimetres; element rectangles are measured
// from the label cell's top-left corner.
struct TPageDescription {
    TPaper paper;
    double leftMargin = 0;
    double rightMargin = 0;
    double topMargin = 0;
    double bottomMargin = 0;
    int columns = 1;
    double columnSpacing = 0;
    FillOrder order = FillOrder::Columns;

    // The label cell, printed once per row: white background, dotted frame.
    double bandHeight = 0;
    double bandWidth = 0;
    QColor frameColor = Qt::black;

    QRectF textRect;
    // The label without the gap below it: the length of a column of vertical text.
    double labelHeight = 0;
    QRectF pictureRect;
    bool pictureStretch = false;
    bool picturePrinted = true;
    // Merged labels leave out a line whose fields all came out empty and that has no other text.
    bool dropBlankLines = true;

    // Preview caption and the print job's document name.
    QString title;
    // A name the printing system does not know (or an empty one) prints to its default printer.
    QString printerName;
};
