#pragma once

#include <functional>

// Marks long work while alive: the windows show the hourglass and restore the previous cursor
// afterwards, also after a failure. Without windows nothing is shown.
class WaitCursor {
  public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    // How many wait cursors are showing now (for tests).
    static int Depth();
    // What shows the hourglass (true) and takes it away again (false); the windows set it.
    static void SetShow(std::function<void(bool shown)> show);
};
