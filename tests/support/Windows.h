#pragma once

#include <QCloseEvent>
#include <QCoreApplication>
#include <QWidget>

// Asks a window to close the way the window manager does; true when it agreed.
inline bool TryClose(QWidget* window) {
    QCloseEvent e;
    QCoreApplication::sendEvent(window, &e);
    return e.isAccepted();
}
