#include "ui/DesktopServices.h"

#include "platform/WaitCursor.h"
#include "ui/Hints.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QCursor>

void InstallDesktopServices(QApplication& app) {
    InstallMessageBoxes();
    Hints::Install(&app);
    WaitCursor::SetShow([](bool shown) {
        if (shown)
            QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        else
            QApplication::restoreOverrideCursor();
    });
}
