#include "app/Application.h"
#include "app/TavrelU.h"

#include <QApplication>

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    InitApplication(app);
    TTavrelForm form;
    form.show();
    return app.exec();
}
