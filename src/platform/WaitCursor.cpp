#include "platform/WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace {
int depth = 0;
}

WaitCursor::WaitCursor() {
    ++depth;
    if (QGuiApplication::instance())
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

WaitCursor::~WaitCursor() {
    --depth;
    if (QGuiApplication::instance())
        QGuiApplication::restoreOverrideCursor();
}

int WaitCursor::Depth() {
    return depth;
}
