#include "app/Application.h"

#include "labels/FontList.h"
#include "platform/Error.h"
#include "platform/Help.h"
#include "platform/Hints.h"
#include "platform/MessageService.h"
#include "print/NkPrinters.h"

#include <QApplication>
#include <QFont>

void InitApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Tavrel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tavrel"));
    Help::SetHelpFile(QStringLiteral("Tavrel.hlp"));
    InstallWindowsFaceSubstitutes();
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSize(9);
    app.setFont(font);
    NkPrinter(); // the printer set is known before the first window
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        Messages::ShowError(ExceptionText(e));
    } catch (...) {
        Messages::ShowError(QStringLiteral("Unknown error"));
    }
    return false;
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    Hints::Install(this);
}
