#include "platform/WaitCursor.h"

namespace {

int depth = 0;

std::function<void(bool)>& Show() {
    static std::function<void(bool)> show;
    return show;
}

} // namespace

WaitCursor::WaitCursor() {
    ++depth;
    if (Show())
        Show()(true);
}

WaitCursor::~WaitCursor() {
    --depth;
    if (Show())
        Show()(false);
}

int WaitCursor::Depth() {
    return depth;
}

void WaitCursor::SetShow(std::function<void(bool shown)> show) {
    Show() = std::move(show);
}
