#pragma once

#include "platform/MessageService.h"

#include <QWidget>
#include <type_traits>

// Slots for connect() that run a handler through Messages::RunGuarded: Qt does not expect an
// exception to leave a slot, so a failure is shown in the error box there and the program goes
// on. A handler of a window shows its box over that window.

template <class Object, class Result, class... Args>
auto Guarded(Object* object, Result (Object::*handler)(Args...)) {
    return [object, handler](Args... args) {
        QWidget* parent = nullptr;
        if constexpr (std::is_base_of_v<QWidget, Object>)
            parent = object;
        Messages::RunGuarded([&] { (object->*handler)(args...); }, parent);
    };
}

// Any work without arguments, its box shown over parent.
template <class Work> auto Guarded(Work work, QWidget* parent = nullptr) {
    return [work = std::move(work), parent] { Messages::RunGuarded(work, parent); };
}
