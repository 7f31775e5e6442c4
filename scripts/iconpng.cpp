// Renders the program's SVG icon into the PNG sizes of the hicolor icon theme, for desktops
// that do not draw SVG icons themselves.
//   tavrel-iconpng ICON.svg FOLDER SIZE...   writes FOLDER/SIZExSIZE/apps/tavrel.png
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace {

bool Render(QSvgRenderer& svg, int size, const QString& folder) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
    }
    const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
    return QDir().mkpath(dir) && image.save(dir + QStringLiteral("/tavrel.png"), "PNG");
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: tavrel-iconpng ICON.svg FOLDER SIZE...\n");
        return 2;
    }
    QSvgRenderer svg(args[0]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "tavrel-iconpng: cannot read %s\n", qPrintable(args[0]));
        return 1;
    }
    for (const QString& text : args.mid(2)) {
        bool ok = false;
        const int size = text.toInt(&ok);
        if (!ok || size < 1 || size > 1024 || !Render(svg, size, args[1])) {
            std::fprintf(stderr, "tavrel-iconpng: cannot write size %s\n", qPrintable(text));
            return 1;
        }
    }
    return 0;
}
