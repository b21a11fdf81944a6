#pragma once

namespace zbpg {

// The hourglass over the whole application for as long as the guard lives, however the work
// it covers ends.
class WaitCursor final {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// A draw run in progress: the hourglass, shown at once (pending events are handled once) and put
// back at the end. The settings window titles itself during a trial run; the application gets
// no title of its own, which Qt would add to every window's title.
class BusyRun final {
public:
    BusyRun();
    ~BusyRun();
    BusyRun(const BusyRun&) = delete;
    BusyRun& operator=(const BusyRun&) = delete;

private:
    WaitCursor m_cursor;
};

} // namespace zbpg
