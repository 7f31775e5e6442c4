#pragma once

#include <QApplication>
#include <functional>

class QTranslator;
class TTavrelForm;

// The application object: an exception that reaches it is shown in the error box and the
// program goes on.
class TApplication : public QApplication {
  public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// What the entry point sets up before the main window: title, help file, fonts.
void InitApplication(QApplication& app);

// Qt's own Japanese texts for standard buttons and dialogs; null when they are not installed.
QTranslator* InstallQtTranslations(QCoreApplication& app);

// The program from set-up to the end of its message loop; started runs once the main window
// is shown (the program passes nothing).
int RunTavrel(TApplication& app, const std::function<void(TTavrelForm&)>& started = {});
