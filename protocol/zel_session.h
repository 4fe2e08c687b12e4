// A session: everything the engine keeps for one port (its transport hooks, the record of
// the transaction under way, the frame, transfer and part buffers, the upgrade's hooks).
//
// A front end creates one session per port and binds it to the thread that drives the
// port with a ZelSessionScope; every engine function called on that thread then works on
// it. A thread with no session bound works on the default session, so a program with one
// port need not know sessions exist. A session is used by one thread at a time.
#pragma once

#include <memory>

struct ZelSessionState;

class ZelSession {
public:
    ZelSession();
    ~ZelSession();
    ZelSession(const ZelSession&) = delete;
    ZelSession& operator=(const ZelSession&) = delete;

    ZelSessionState& State() { return *state_; }

private:
    std::unique_ptr<ZelSessionState> state_;
};

// The session of a thread that has none bound.
ZelSession& ZelDefaultSession();
// The session bound to the calling thread, or the default session.
ZelSession& ZelCurrentSession();

// Binds a session to the calling thread for the scope's life; the session bound before
// (or none) is bound again at its end. Scopes nest.
class ZelSessionScope {
public:
    explicit ZelSessionScope(ZelSession& session);
    ~ZelSessionScope();
    ZelSessionScope(const ZelSessionScope&) = delete;
    ZelSessionScope& operator=(const ZelSessionScope&) = delete;

private:
    ZelSession* previous_;
};
