#pragma once
// The hourglass while a long job runs on the user-interface thread.

namespace fc {

// Shows the wait cursor for its scope, however the scope is left (also by
// an exception); nested guards stack. Does nothing without a GUI
// application, so that code run from tools and core tests may hold one.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool on_;
};

} // namespace fc
