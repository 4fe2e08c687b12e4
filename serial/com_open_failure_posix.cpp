// The words for a failed opening, shared by the window and zelctl.
#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>

#include "com_port.h"

namespace {

// "crw-rw----"
std::string ModeText(mode_t mode) {
    std::string text = S_ISCHR(mode) ? "c" : S_ISDIR(mode) ? "d" : S_ISLNK(mode) ? "l" : "-";
    const char letters[] = "rwx";
    for (int bit = 8; bit >= 0; --bit) text += (mode & (mode_t(1) << bit)) ? letters[(8 - bit) % 3] : '-';
    return text;
}

// Joining the owning group helps only when that group may read and write the node, and
// no one is told to join root.
std::string PermissionText(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        return "Permission denied: join the group that owns the port (typically dialout), for example with: "
               "sudo usermod -aG dialout $USER, then log in again";
    }
    const group* entry = ::getgrgid(info.st_gid);
    const std::string group = entry && entry->gr_name ? entry->gr_name : std::to_string(info.st_gid);
    const bool groupMayUse = (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (groupMayUse && info.st_gid != 0 && group != "root") {
        return "Permission denied: join the group that owns the port (" + group +
               "), for example with: sudo usermod -aG " + group + " $USER, then log in again";
    }
    return "Permission denied: " + path + " is " + ModeText(info.st_mode) + " with group " + group +
           ", which gives no group of users access; an administrator can change that (a udev rule)";
}

std::string HeldText(const ComPort& port) {
    if (port.leftLocked) {
        return "The port was left locked by a program that ended; restarting the program that "
               "serves the pseudo-terminal clears it";
    }
    if (port.holder.pid > 0) {
        const std::string program = port.holder.program.empty() ? "another program" : port.holder.program;
        return "The port is held by " + program + " (pid " + std::to_string(port.holder.pid) +
               "): close it there first";
    }
    return "The port is held by another program (the window, zelctl, a terminal program): "
           "close it there first";
}

}  // namespace

std::string ComOpenFailureHint(const ComPort& port) {
    switch (port.lastErrno) {
    case 0: return "";
    case ENOENT:
    case ENODEV:
    case ENXIO: return "No such port";
    case EBUSY: return HeldText(port);
    case EACCES:
    case EPERM: return PermissionText(port.name);
    case ENOTTY: return "Not a serial port";
    case EINVAL: return "The port does not take the line settings 115200 8N1";
    case EIO: return "No serial hardware answers at this port";
    case EMFILE: return "Too many ports are open in this program";
    default: return std::strerror(port.lastErrno);
    }
}
