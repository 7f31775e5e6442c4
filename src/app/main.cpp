#include "app/Application.h"
#include "app/TavrelU.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InitApplication(app);
    TTavrelForm form;
    form.show();
    return app.exec();
}
