#pragma once

#include "platform/MessageService.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QStringList>
#include <QWidget>

// Asks a window to close the way the window manager does; true when it agreed.
inline bool TryClose(QWidget* window) {
    QCloseEvent e;
    QCoreApplication::sendEvent(window, &e);
    return e.isAccepted();
}

// A message service that records every text shown and gives every question one answer.
inline Messages::Responder RecordingResponder(QStringList* shown, Messages::Answer answer) {
    return [shown, answer](const Messages::Request& r) {
        *shown << r.text;
        return answer;
    };
}
