#include "app/Application.h"

#include "app/TavrelU.h"
#include "data/EngineConfig.h"
#include "dialogs/HelpViewU.h"
#include "platform/EndSignals.h"
#include "platform/Help.h"
#include "platform/MessageService.h"
#include "printcore/PrintingInit.h"
#include "ui/DesktopServices.h"

#include <QApplication>
#include <QDialog>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

void InitApplication(QApplication& app) {
    EngineConfig::Use(); // before the first database call
    InitPrinting(app);
    InstallQtTranslations(app);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tavrel/tavrel.svg")));
    Help::SetHelpFile(QStringLiteral("Tavrel.hlp"));
    Help::SetViewer(ShowHelpRequest);
}

namespace {

// Qt's Japanese catalogue, with the words of its file dialogs that the catalogue lacks.
class TQtJapanese : public QTranslator {
  public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* source, const char* disambiguation,
                      int n) const override {
        const QString found = QTranslator::translate(context, source, disambiguation, n);
        if (!found.isEmpty() || qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return found;
        static const std::pair<const char*, const char16_t*> kMissing[] = {
            {"Folder", u"フォルダ"},         {"File Folder", u"フォルダ"}, {"Drive", u"ドライブ"},
            {"Shortcut", u"ショートカット"}, {"Unknown", u"不明"},         {"File", u"ファイル"},
            {"%1 File", u"%1 ファイル"},
        };
        for (const auto& [english, japanese] : kMissing)
            if (qstrcmp(source, english) == 0)
                return QString::fromUtf16(japanese);
        return found;
    }
};

} // namespace

QTranslator* InstallQtTranslations(QCoreApplication& app) {
    // The program speaks Japanese whatever the desktop's language, dates in its dialogs too.
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QLocale::setDefault(japanese);
    auto* translator = new TQtJapanese(&app);
    if (!translator->load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

namespace {

// Closes the windows from the top one down, each as its own close would but without asking;
// the main window goes last and its close ends the message loop.
void CloseTopWindow(TTavrelForm& form) {
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* window = modal ? modal : &form;
    window->close();
    if (window->isVisible()) { // a close check failed: the program ends all the same
        if (auto* dialog = qobject_cast<QDialog*>(window))
            dialog->done(QDialog::Rejected);
        else
            window->hide();
    }
    if (modal)
        QTimer::singleShot(0, &form, [&form] { CloseTopWindow(form); });
    else
        QCoreApplication::quit();
}

// A signal to end (log-out, Ctrl+C, hang-up): posted records are written, an edit in
// progress is cancelled and every database is detached, with no question asked.
void EndSession(TTavrelForm& form) {
    if (Messages::Unattended())
        return; // already ending
    Messages::SetUnattended(true);
    CloseTopWindow(form);
}

} // namespace

int RunTavrel(TApplication& app, const std::function<void(TTavrelForm&)>& started) {
    InitApplication(app);
    TEndSignals endSignals;
    endSignals.Install();
    TTavrelForm form;
    endSignals.Install(); // the database engine took the signals at its first attach
    QObject::connect(&endSignals, &TEndSignals::Received, &form, [&form] { EndSession(form); });
    form.show();
    if (started)
        started(form);
    return app.exec();
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    Messages::RunGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    InstallDesktopServices(*this);
}
