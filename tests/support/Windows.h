#pragma once

#include "platform/MessageService.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

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

// Acts on the next modal window of kind T once it is up; for driving windows shown with exec().
template <class T> void WhenModal(std::function<void(T*)> act) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, act] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (window && window->isVisible()) {
            timer->deleteLater();
            timer->stop();
            act(window);
        } else if (++*tries > 1000) {
            timer->deleteLater();
            timer->stop();
            ADD_FAILURE() << "no modal " << T::staticMetaObject.className() << " appeared";
            if (QWidget* other = QApplication::activeModalWidget())
                other->close();
        }
    });
    timer->start();
}
