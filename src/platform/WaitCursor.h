#pragma once

// Shows the hourglass while alive and restores the previous cursor, also after a failure.
class WaitCursor {
  public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    // How many wait cursors are showing now (for tests).
    static int Depth();
};
