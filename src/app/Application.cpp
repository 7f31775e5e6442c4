#include "app/Application.h"

#include "app/Hints.h"
#include "app/TavrelU.h"
#include "labels/FontList.h"
#include "platform/Error.h"
#include "platform/Help.h"
#include "platform/MessageService.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void InitApplication(QApplication& app) {
    // The application title only: a display name would be appended to every window's title.
    QApplication::setApplicationName(QStringLiteral("Tavrel"));
    InstallQtTranslations(app);
    Help::SetHelpFile(QStringLiteral("Tavrel.hlp"));
    InstallWindowsFaceSubstitutes();
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSize(9);
    app.setFont(font);
}

QTranslator* InstallQtTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    // The program speaks Japanese whatever the desktop's language.
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

int RunTavrel(TApplication& app, const std::function<void(TTavrelForm&)>& started) {
    InitApplication(app);
    TTavrelForm form;
    form.show();
    if (started)
        started(form);
    return app.exec();
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
