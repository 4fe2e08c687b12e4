// What the system's error codes at opening a COM port mean for the user.
#include "com_open_failure_win32.h"

namespace {

ComOpenProblem ProblemOf(DWORD error) {
    switch (error) {
        case ERROR_SUCCESS: return ComOpenProblem::None;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_UNIT: return ComOpenProblem::NoSuchPort;
        // Windows gives a COM port to one opener only, and tells the next one
        // "access denied"; no permission of the user's keeps a port closed.
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY: return ComOpenProblem::Held;
        case ERROR_INVALID_FUNCTION:
        case ERROR_NOT_SUPPORTED: return ComOpenProblem::NotSerial;
        case ERROR_INVALID_PARAMETER: return ComOpenProblem::LineSettingsRefused;
        case ERROR_GEN_FAILURE:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_NOT_READY: return ComOpenProblem::NoHardware;
        case ERROR_TOO_MANY_OPEN_FILES: return ComOpenProblem::TooManyPorts;
        default: return ComOpenProblem::Other;
    }
}

}  // namespace

void NoteWindowsOpenError(ComOpenFailure* failure, DWORD error, const std::string& name) {
    failure->problem = ProblemOf(error);
    failure->detail = failure->problem == ComOpenProblem::Other
                          ? "Cannot open " + name + ": " + WindowsErrorText(error)
                          : "";
}
