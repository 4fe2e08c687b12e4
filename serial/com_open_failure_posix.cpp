// What the system's error numbers at opening a terminal mean for the user.
#include "com_open_failure_posix.h"

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>

namespace {

std::string OwningGroup(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return "";
    if (const group* entry = ::getgrgid(info.st_gid); entry && entry->gr_name) return entry->gr_name;
    return "";
}

ComOpenProblem ProblemOf(int error) {
    switch (error) {
    case 0: return ComOpenProblem::None;
    case ENOENT:
    case ENODEV:
    case ENXIO: return ComOpenProblem::NoSuchPort;
    case EBUSY: return ComOpenProblem::Held;
    case EACCES:
    case EPERM: return ComOpenProblem::NoPermission;
    case ENOTTY: return ComOpenProblem::NotSerial;
    case EINVAL: return ComOpenProblem::LineSettingsRefused;
    case EIO: return ComOpenProblem::NoHardware;
    case EMFILE: return ComOpenProblem::TooManyPorts;
    default: return ComOpenProblem::Other;
    }
}

}  // namespace

void NoteOpenError(ComOpenFailure* failure, int error, const std::string& name) {
    failure->problem = ProblemOf(error);
    failure->detail = failure->problem == ComOpenProblem::Other ? std::strerror(error) : "";
    failure->accessGroup = failure->problem == ComOpenProblem::NoPermission ? OwningGroup(name) : "";
}
