#pragma once

#include "platform/Error.h"

#include <QString>
#include <functional>

// The fixed message a piece of work raised, or nothing when it did not fail.
inline QString ErrorOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const EError& e) {
        return e.message();
    }
    return {};
}
