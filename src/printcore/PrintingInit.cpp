#include "printcore/PrintingInit.h"

#include "platform/WindowsFaces.h"
#include "printcore/NkPrinters.h"

#include <QFont>
#include <QGuiApplication>

void InitPrinting(QGuiApplication& app) {
    // The application title only: a display name would be appended to every window's title.
    QGuiApplication::setApplicationName(QStringLiteral("Tavrel"));
    InstallWindowsFaceSubstitutes();
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSize(9);
    app.setFont(font);
    NkPrinter(); // the printer set is known before the first window
}
