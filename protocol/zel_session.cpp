#include "zel_session.h"

#include "zel_engine_internal.h"

namespace {

thread_local ZelSession* boundSession = nullptr;

}  // namespace

ZelSession::ZelSession() : state_(new ZelSessionState()) {}

ZelSession::~ZelSession() = default;

ZelSession& ZelDefaultSession() {
    // Never destroyed: a port object of static life may still unhook at exit.
    static ZelSession* const session = new ZelSession();
    return *session;
}

ZelSession& ZelCurrentSession() {
    return boundSession ? *boundSession : ZelDefaultSession();
}

ZelSessionScope::ZelSessionScope(ZelSession& session) : previous_(boundSession) {
    boundSession = &session;
}

ZelSessionScope::~ZelSessionScope() {
    boundSession = previous_;
}

ZelSessionState& ZelCurrentState() {
    return ZelCurrentSession().State();
}

ZelTransferBytes& ZelCurrentTransferBuffer() {
    return ZelCurrentState().transferBuffer;
}

ZelPartBytes& ZelCurrentPartBuffer() {
    return ZelCurrentState().partBuffer;
}
