#include "app/Application.h"

#include "app/Hints.h"
#include "dialogs/HelpViewU.h"
#include "labels/FontList.h"
#include "platform/Error.h"
#include "platform/Help.h"
#include "platform/MessageService.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

void InitApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Tavrel"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tavrel/tavrel.svg")));
    Help::SetHelpFile(QStringLiteral("Tavrel.hlp"));
    Help::SetViewer(ShowHelpRequest);
    // The standard dialogs and buttons speak the program's language, whatever the locale.
    static QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_ja"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    InstallWindowsFaceSubstitutes();
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
