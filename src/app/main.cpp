#include "app/Application.h"
#include "app/TavrelU.h"
#include "print/NkPrinters.h"

#include <QApplication>

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    InitApplication(app);
    NkPrinter(); // the printer set is known before the first window
    TTavrelForm form;
    form.show();
    return app.exec();
}
