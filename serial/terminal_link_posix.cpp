// Opening, configuring and closing a serial terminal.
#include "terminal_link_posix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "com_open_failure_posix.h"
#include "com_port.h"
#include "held_ports.h"
#include "local_serial_link.h"
#include "port_holder.h"
#include "port_lock.h"
#include "serial_node_check.h"

namespace {

// The node a name leads to (a /dev/serial/by-id link leads to its ttyUSBn):
// the lock file is named after it, whatever name was typed. "" with errno set
// when there is none.
std::string ResolvedNode(const std::string& name) {
    char real[PATH_MAX];
    return ::realpath(name.c_str(), real) ? std::string(real) : std::string();
}

// Why a port is held: the program with the lock on it, else one with it open.
// Nobody found on a pseudo-terminal means the exclusive mode outlived its setter.
int Refuse(ComOpenFailure* failure, int fd, const char* node, bool exclusiveOnly) {
    struct stat file {};
    ComPortHolder holder;
    bool sure = true;
    if (::stat(node, &file) == 0) {
        holder.pid = FlockHolderPid(file.st_dev, file.st_ino);
        if (holder.pid == 0 && S_ISCHR(file.st_mode)) {
            const OtherUser user = FindOtherUser(file.st_rdev);
            holder.pid = user.pid;
            sure = user.sure;
        }
    }
    holder.program = ProgramOfProcess(holder.pid);
    failure->holder = holder;
    failure->leftLocked = exclusiveOnly && holder.pid == 0 && sure && S_ISCHR(file.st_mode) &&
                          IsPseudoTerminalSlave(file.st_rdev);
    if (fd >= 0) ::close(fd);
    return -1;
}

// Whether a port whose exclusive mode is set is still in use: by a program with
// it open (not the one serving a pseudo-terminal's master side) or locked.
bool ExclusiveModeInUse(int fd) {
    struct stat file {};
    if (::fstat(fd, &file) != 0 || !S_ISCHR(file.st_mode)) return true;
    if (FlockHolderPid(file.st_dev, file.st_ino) != 0) return true;
    const OtherUser user = FindOtherUser(file.st_rdev);
    return user.pid != 0 || !user.sure;
}

// Opens the port so that no other program can use it at the same time.
// TIOCEXCL makes the kernel refuse further opens of the terminal (root
// excepted); flock() is what other serial programs check, and it also holds
// against root. Either one taken by someone else means "held", except an
// exclusive mode that nobody stands behind any more: a program killed on a
// pseudo-terminal leaves it set. Root opens through it and takes it over.
int OpenExclusive(ComOpenFailure* failure, const std::string& node, int* error) {
    // O_NONBLOCK: a real UART must not block the open waiting for carrier.
    int fd = ::open(node.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = errno;
        if (errno == EBUSY) Refuse(failure, -1, node.c_str(), true);
        return -1;
    }
#ifdef TIOCGEXCL
    int heldExclusive = 0;
    if (::ioctl(fd, TIOCGEXCL, &heldExclusive) == 0 && heldExclusive && ExclusiveModeInUse(fd)) {
        *error = EBUSY;
        return Refuse(failure, fd, node.c_str(), false);
    }
#endif
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        *error = (errno == EWOULDBLOCK) ? EBUSY : errno;
        if (*error == EBUSY) return Refuse(failure, fd, node.c_str(), false);
        ::close(fd);
        return -1;
    }
    // Fails on things that are not terminals; the settings step reports those.
    ::ioctl(fd, TIOCEXCL);
    return fd;
}

// Line settings: 115200 8N1, receiver on, modem-status lines ignored, raw
// bytes both ways (no echo, no signals, no XON/XOFF, no CR/LF translation).
// CTS output flow control stays off: Linux ties it to the RTS handshake in
// the single CRTSCTS flag, and a device or cable that leaves CTS low would
// otherwise stop every request. RTS is raised separately after this.
void ApplyLineSettings(termios* tio) {
    cfmakeraw(tio);
    tio->c_iflag &= ~(IXON | IXOFF | IXANY);
    tio->c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio->c_cflag |= CS8 | CLOCAL | CREAD;
    // With the descriptor non-blocking, VMIN 1 makes an empty read fail with
    // EAGAIN, so that a read of 0 bytes can only mean the line has gone.
    tio->c_cc[VMIN] = 1;
    tio->c_cc[VTIME] = 0;
    cfsetispeed(tio, B115200);
    cfsetospeed(tio, B115200);
}

// tcsetattr() succeeds when any part of the request was taken, so read back.
bool LineSettingsTaken(int fd) {
    termios now{};
    if (::tcgetattr(fd, &now) != 0) return false;
    return cfgetospeed(&now) == B115200 && cfgetispeed(&now) == B115200 && (now.c_cflag & CSIZE) == CS8 &&
           !(now.c_cflag & (PARENB | CSTOPB | CRTSCTS)) && !(now.c_lflag & (ICANON | ECHO | ISIG));
}

}  // namespace

TerminalLink::~TerminalLink() {
    Close();
}

int TerminalLink::Open(const std::string& name, ComOpenFailure* failure) {
    Close();
    *failure = ComOpenFailure();
    lockFile_.clear();
    lockNote_.clear();
    const auto fail = [&](int code, int error) {
        NoteOpenError(failure, error, name);
        return code;
    };
    if (!MayOpenAsSerialPort(name)) return fail(COM_OPEN_NOT_SERIAL, ENOTTY);

    // The lock file comes first, so that a port another program has is not
    // even opened (an opening may already change its modem lines).
    const std::string node = ResolvedNode(name);
    if (node.empty()) return fail(COM_OPEN_FAILED, errno);
    const PortLock lock = TakePortLock(node);
    if (lock.state == PortLockState::Held) {
        failure->holder.pid = lock.holderPid;
        failure->holder.program = ProgramOfProcess(lock.holderPid);
        return fail(COM_OPEN_FAILED, EBUSY);
    }
    const std::string lockFile = lock.state == PortLockState::Taken ? lock.path : std::string();
    // Held from here on, so that a signal ending the program removes the lock file.
    const int slot = HoldPort(-1, lockFile);
    if (slot < 0) {
        if (!lockFile.empty()) RemoveLockFileIfOurs(lockFile.c_str());
        return fail(COM_OPEN_FAILED, EMFILE);
    }

    int error = 0;
    const int fd = OpenExclusive(failure, node, &error);
    if (fd < 0) {
        ReleaseHeldPort(slot);
        return fail(COM_OPEN_FAILED, error);
    }
    SetHeldPortDescriptor(slot, fd);
    heldSlot_ = slot;
    fd_ = fd;
    lockFile_ = lockFile;
    lockNote_ = lock.note;

    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) return fail(COM_GET_SETTINGS_FAILED, errno);
    // Put back at closing: a pseudo-terminal or a console is not left raw.
    KeepSettingsToRestore(heldSlot_, tio);
    ApplyLineSettings(&tio);
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) return fail(COM_SET_SETTINGS_FAILED, errno);
    if (!LineSettingsTaken(fd_)) return fail(COM_SET_SETTINGS_FAILED, EINVAL);

    // RTS up for the whole session: the receive buffers here are far larger
    // than any reply, so a handshake would never lower it. Pseudo-terminals
    // have no modem lines; that is not a failure.
    int rts = TIOCM_RTS;
    ::ioctl(fd_, TIOCMBIS, &rts);

    // The read timing lives in the descriptor's status flags: non-blocking
    // reads return at once with what has arrived, and Read waits in poll()
    // between them.
    int flags = ::fcntl(fd_, F_GETFL);
    if (flags < 0) return fail(COM_GET_TIMING_FAILED, errno);
    if (::fcntl(fd_, F_SETFL, flags | O_NONBLOCK) != 0) return fail(COM_SET_TIMING_FAILED, errno);

    // Whatever arrived before the port was ours is no answer to us.
    ::tcflush(fd_, TCIFLUSH);
    return COM_OPEN_OK;
}

void TerminalLink::Close() {
    if (fd_ < 0) return;
    ReleaseHeldPort(heldSlot_);
    heldSlot_ = -1;
    fd_ = -1;
    lockFile_.clear();
}

std::unique_ptr<SerialLink> MakeLocalSerialLink() {
    return std::make_unique<TerminalLink>();
}

int TerminalDescriptor(const ComPort& port) {
    const auto* terminal = dynamic_cast<const TerminalLink*>(port.link.get());
    return terminal ? terminal->Descriptor() : -1;
}

void ComReleaseAllPortsNow() {
    ReleaseAllHeldPorts();
}
