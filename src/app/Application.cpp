#include "app/Application.h"

#include "app/Hints.h"
#include "platform/Error.h"
#include "platform/Help.h"
#include "platform/MessageService.h"

#include <QApplication>
#include <QFont>

void InitApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Tavrel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tavrel"));
    Help::SetHelpFile(QStringLiteral("Tavrel.hlp"));
    // The designs name Windows faces; these are the metric-compatible faces here.
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ 明朝"), QStringLiteral("IPAMincho"));
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSize(9);
    app.setFont(font);
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
