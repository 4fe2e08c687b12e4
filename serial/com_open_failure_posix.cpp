// The words for a failed opening, shared by the window and zelctl.
#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>

#include "com_port.h"

namespace {

std::string OwningGroup(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return "";
    if (const group* entry = ::getgrgid(info.st_gid); entry && entry->gr_name) return entry->gr_name;
    return "";
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
    case EPERM: {
        const std::string owner = OwningGroup(port.name);
        const std::string group = owner.empty() ? "dialout" : owner;
        return "Permission denied: join the group that owns the port (" +
               (owner.empty() ? "typically dialout" : group) + "), for example with: sudo usermod -aG " + group +
               " $USER, then log in again";
    }
    case ENOTTY: return "Not a serial port";
    case EINVAL: return "The port does not take the line settings 115200 8N1";
    case EIO: return "No serial hardware answers at this port";
    case EMFILE: return "Too many ports are open in this program";
    default: return std::strerror(port.lastErrno);
    }
}
