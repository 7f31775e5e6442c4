#pragma once

#include "print/PreviewForm.h"
#include "printcore/LabelReport.h"
#include "printcore/ReportPages.h"
#include "support/LabelSheetPage.h"

#include <QApplication>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <memory>

// Shared pieces of the print tests: the label sheet page, pictures of one colour, and pages
// rendered to images read back in millimetres.
namespace PrintFixture {

inline constexpr int kPixelsPerMm = 4;

using ::LabelSheet;

inline std::shared_ptr<const QImage> SolidPicture(const QColor& color, int width = 60,
                                                  int height = 40) {
    auto image = std::make_shared<QImage>(width, height, QImage::Format_RGB32);
    image->fill(color);
    return image;
}

inline TPrintRow PictureRow(const QColor& color) {
    return TPrintRow{QByteArray(), SolidPicture(color)};
}

// One page as the preview shows it at kPixelsPerMm.
inline QImage Render(TReportPages& pages, int index) {
    const double scale = kPixelsPerMm * 25.4 / PrinterDpi;
    QImage image((pages.PageSize() * scale).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(scale, scale);
    pages.DrawPage(painter, index);
    return image;
}

inline QColor At(const QImage& image, double xMm, double yMm) {
    return image.pixelColor(qRound(xMm * kPixelsPerMm), qRound(yMm * kPixelsPerMm));
}

// The colour in the middle of the cell in column (1...) and row (1...) of the label sheet.
inline QColor CellColour(const QImage& image, int column, int row) {
    return At(image, 15 + (column - 1) * 88 + 43, 21 + (row - 1) * 50 + 25);
}

inline bool IsDark(const QColor& c) {
    return c.lightness() < 128;
}

// Dark pixels inside a rectangle given in millimetres.
inline int DarkPixels(const QImage& image, const QRectF& mm) {
    int count = 0;
    const QRect px(qRound(mm.x() * kPixelsPerMm), qRound(mm.y() * kPixelsPerMm),
                   qRound(mm.width() * kPixelsPerMm), qRound(mm.height() * kPixelsPerMm));
    for (int y = std::max(0, px.top()); y <= std::min(image.height() - 1, px.bottom()); ++y)
        for (int x = std::max(0, px.left()); x <= std::min(image.width() - 1, px.right()); ++x)
            count += IsDark(image.pixelColor(x, y)) ? 1 : 0;
    return count;
}

// The preview window on screen, if any.
inline TPreviewForm* OpenPreviewForm() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* form = qobject_cast<TPreviewForm*>(w); form && form->isVisible())
            return form;
    }
    return nullptr;
}

} // namespace PrintFixture
