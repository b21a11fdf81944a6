#pragma once

namespace zbpg::platform {

// The kernel's notices of the changes a watching process waits for, each behind a file
// descriptor that the caller's event loop waits on: nothing here polls or wakes on a timer. A
// source that cannot be opened has no descriptor (-1), and its changes go unnoticed.

// The IPv4 addresses, routes and links of this network namespace, told through a route
// netlink socket: readable when the kernel has told of a change.
class AddressChanges final {
public:
    AddressChanges();
    ~AddressChanges();
    AddressChanges(const AddressChanges&) = delete;
    AddressChanges& operator=(const AddressChanges&) = delete;

    int descriptor() const { return m_socket; }
    // Reads every notice waiting, so that the descriptor is quiet again; true when there was
    // one. Notices the socket had no room for count as one: something changed.
    bool takeNotices();

private:
    int m_socket = -1;
};

// The host name: the kernel's host-name file signals an exceptional condition (POLLPRI) to
// whoever waits on it once after every change of a host name, and waiting itself takes the
// notice. It is always readable, so only the exceptional condition is to be waited for.
class HostNameChanges final {
public:
    HostNameChanges();
    ~HostNameChanges();
    HostNameChanges(const HostNameChanges&) = delete;
    HostNameChanges& operator=(const HostNameChanges&) = delete;

    int descriptor() const { return m_file; }

private:
    int m_file = -1;
};

// SIGTERM, SIGINT and SIGHUP, the ways a session asks its processes to end, as a descriptor
// that becomes readable when one has arrived, so that the event loop ends the process in its
// own time. One at a time; the signals' default actions come back when it ends.
class TerminationRequests final {
public:
    TerminationRequests();
    ~TerminationRequests();
    TerminationRequests(const TerminationRequests&) = delete;
    TerminationRequests& operator=(const TerminationRequests&) = delete;

    int descriptor() const;
    // Reads what has arrived; true when a signal was there.
    bool takeRequest();
};

// Gives the memory a waiting process will not need until its next piece of work back to the
// system: the free pages of the heap, and its mappings of the pages of files it maps read-only
// (its libraries' code, its fonts), which come back from the page cache when next touched.
// Pages a mapping holds of its own (a library's relocated tables) stay.
void releaseIdleMemory();

} // namespace zbpg::platform
