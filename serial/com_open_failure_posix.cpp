// What the system's error numbers at opening a terminal mean for the user.
#include "com_open_failure_posix.h"

#include <grp.h>
#include <sys/stat.h>
#include <cerrno>
#include <cstring>

namespace {

// "crw-rw----"
std::string ModeText(mode_t mode) {
    std::string text = S_ISCHR(mode) ? "c" : S_ISDIR(mode) ? "d" : S_ISLNK(mode) ? "l" : "-";
    const char letters[] = "rwx";
    for (int bit = 8; bit >= 0; --bit)
        text += (mode & (mode_t(1) << bit)) ? letters[(8 - bit) % 3] : '-';
    return text;
}

// Joining the owning group helps only when that group may read and write the node, and
// no one is told to join root.
void NotePermissions(ComOpenFailure* failure, const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return;
    const group* entry = ::getgrgid(info.st_gid);
    const std::string name = entry && entry->gr_name ? entry->gr_name : std::to_string(info.st_gid);
    const bool groupMayUse = (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (groupMayUse && info.st_gid != 0 && name != "root") {
        failure->accessGroup = name;
        return;
    }
    failure->accessMode = ModeText(info.st_mode);
    failure->ownerGroup = name;
    failure->path = path;
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
    failure->accessGroup.clear();
    failure->accessMode.clear();
    failure->ownerGroup.clear();
    failure->path.clear();
    if (failure->problem == ComOpenProblem::NoPermission) NotePermissions(failure, name);
}
