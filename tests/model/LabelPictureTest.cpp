#include "model/LabelPicture.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

// A 4 × 2 picture: left half red, right half blue.
QImage TwoColours() {
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            image.setPixelColor(x, y, Qt::red);
    return image;
}

QImage Canvas(int w, int h) {
    QImage canvas(w, h, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    return canvas;
}

TEST(DrawLabelPicture, NaturalSizeIsCentredOnWholePixels) {
    QImage canvas = Canvas(9, 6);
    {
        QPainter p(&canvas);
        DrawLabelPicture(p, TwoColours(), QRectF(0, 0, 9, 6), false);
    }
    // Offsets (9 − 4) / 2 = 2 and (6 − 2) / 2 = 2.
    EXPECT_EQ(canvas.pixelColor(1, 2), QColor(Qt::white));
    EXPECT_EQ(canvas.pixelColor(2, 2), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(3, 3), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(4, 2), QColor(Qt::blue));
    EXPECT_EQ(canvas.pixelColor(5, 3), QColor(Qt::blue));
    EXPECT_EQ(canvas.pixelColor(6, 2), QColor(Qt::white));
    EXPECT_EQ(canvas.pixelColor(2, 4), QColor(Qt::white));
}

TEST(DrawLabelPicture, LargerPictureIsCutAtTheTarget) {
    QImage canvas = Canvas(8, 4);
    {
        QPainter p(&canvas);
        // Target one pixel wide at x 3: the picture's centre columns, red then blue, are cut to
        // the one at offset trunc((1 − 4) / 2) = −1, that is picture column 1 (red).
        DrawLabelPicture(p, TwoColours(), QRectF(3, 1, 1, 2), false);
    }
    EXPECT_EQ(canvas.pixelColor(3, 1), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(3, 2), QColor(Qt::red));
    for (int x : {0, 1, 2, 4, 5, 6, 7})
        EXPECT_EQ(canvas.pixelColor(x, 1), QColor(Qt::white)) << x;
    EXPECT_EQ(canvas.pixelColor(3, 0), QColor(Qt::white));
    EXPECT_EQ(canvas.pixelColor(3, 3), QColor(Qt::white));
}

TEST(DrawLabelPicture, StretchedFillsTheTargetWithoutKeepingTheAspect) {
    QImage canvas = Canvas(12, 12);
    {
        QPainter p(&canvas);
        DrawLabelPicture(p, TwoColours(), QRectF(2, 2, 8, 8), true);
    }
    EXPECT_EQ(canvas.pixelColor(2, 2), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(5, 9), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(6, 2), QColor(Qt::blue));
    EXPECT_EQ(canvas.pixelColor(9, 9), QColor(Qt::blue));
    EXPECT_EQ(canvas.pixelColor(1, 5), QColor(Qt::white));
    EXPECT_EQ(canvas.pixelColor(10, 5), QColor(Qt::white));
    EXPECT_EQ(canvas.pixelColor(5, 10), QColor(Qt::white));
}

TEST(DrawLabelPicture, NaturalSizeIsConvertedIntoThePaintersUnits) {
    // A painter in millimetres at 10 device pixels per millimetre: a 96-pixel-wide picture is
    // one inch, 25.4 mm, whatever the device's resolution.
    QImage picture(96, 48, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QImage canvas = Canvas(400, 200);
    {
        QPainter p(&canvas);
        p.scale(10, 10);
        DrawLabelPicture(p, picture, QRectF(0, 0, 40, 20), false, kMillimetresPerPixel);
    }
    // Centred: trunc((40 / 0.2646 − 96) / 2) = 27 pixels, 7.14 mm, 71 device pixels.
    EXPECT_EQ(canvas.pixelColor(70, 100), QColor(Qt::white));
    EXPECT_EQ(canvas.pixelColor(73, 100), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(324, 100), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(328, 100), QColor(Qt::white));
    // 48 pixels are 12.7 mm; trunc((20 / 0.2646 − 48) / 2) = 13 pixels down: rows 34 to 161.
    EXPECT_EQ(canvas.pixelColor(200, 33), QColor(Qt::white));
    EXPECT_EQ(canvas.pixelColor(200, 40), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(200, 160), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(200, 167), QColor(Qt::white));
}

TEST(DrawLabelPicture, NothingToDrawLeavesThePainterAlone) {
    QImage canvas = Canvas(4, 4);
    {
        QPainter p(&canvas);
        DrawLabelPicture(p, QImage(), QRectF(0, 0, 4, 4), true);
        DrawLabelPicture(p, TwoColours(), QRectF(0, 0, 0, 4), true);
        DrawLabelPicture(p, TwoColours(), QRectF(0, 0, 4, 4), false, 0);
        // The clip of a natural-size drawing does not outlive it.
        DrawLabelPicture(p, TwoColours(), QRectF(0, 0, 1, 1), false);
        EXPECT_FALSE(p.hasClipping());
    }
    EXPECT_EQ(canvas.pixelColor(3, 3), QColor(Qt::white));
}

} // namespace
