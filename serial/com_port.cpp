// Opening, configuring and closing the COM port.
#include "com_port.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "serial_node_check.h"

namespace {

// Opens the port so that no other program can use it at the same time.
// TIOCEXCL makes the kernel refuse further opens of the terminal (root
// excepted); flock() is what other serial programs check, and it also holds
// against root. Either one taken by someone else means "held".
int OpenExclusive(const std::string& name, int* error) {
    // O_NONBLOCK: a real UART must not block the open waiting for carrier.
    int fd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = errno;
        return -1;
    }
#ifdef TIOCGEXCL
    // Root passes TIOCEXCL; ask whether another program has set it.
    int heldExclusive = 0;
    if (::ioctl(fd, TIOCGEXCL, &heldExclusive) == 0 && heldExclusive) {
        *error = EBUSY;
        ::close(fd);
        return -1;
    }
#endif
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        *error = (errno == EWOULDBLOCK) ? EBUSY : errno;
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
    return cfgetospeed(&now) == B115200 && cfgetispeed(&now) == B115200 &&
           (now.c_cflag & CSIZE) == CS8 && !(now.c_cflag & (PARENB | CSTOPB | CRTSCTS)) &&
           !(now.c_lflag & (ICANON | ECHO | ISIG));
}

int Fail(ComPort* port, int code, int error) {
    port->lastErrno = error;
    return code;
}

}  // namespace

int OpenComPort(ComPort* port, const std::string& name) {
    if (!port) return COM_OPEN_FAILED;
    CloseComPort(port);
    if (!MayOpenAsSerialPort(name)) return Fail(port, COM_OPEN_NOT_SERIAL, ENOTTY);

    int error = 0;
    port->fd = OpenExclusive(name, &error);
    if (port->fd < 0) return Fail(port, COM_OPEN_FAILED, error);

    termios tio{};
    if (::tcgetattr(port->fd, &tio) != 0) return Fail(port, COM_GET_SETTINGS_FAILED, errno);
    ApplyLineSettings(&tio);
    if (::tcsetattr(port->fd, TCSANOW, &tio) != 0) return Fail(port, COM_SET_SETTINGS_FAILED, errno);
    if (!LineSettingsTaken(port->fd)) return Fail(port, COM_SET_SETTINGS_FAILED, EINVAL);

    // RTS up for the whole session: the receive buffers here are far larger
    // than any reply, so a handshake would never lower it. Pseudo-terminals
    // have no modem lines; that is not a failure.
    int rts = TIOCM_RTS;
    ::ioctl(port->fd, TIOCMBIS, &rts);

    // The read timing lives in the descriptor's status flags: non-blocking
    // reads return at once with what has arrived, and ComReceive waits in
    // poll() between them.
    int flags = ::fcntl(port->fd, F_GETFL);
    if (flags < 0) return Fail(port, COM_GET_TIMING_FAILED, errno);
    if (::fcntl(port->fd, F_SETFL, flags | O_NONBLOCK) != 0) {
        return Fail(port, COM_SET_TIMING_FAILED, errno);
    }

    // Whatever arrived before the port was ours is no answer to us.
    ::tcflush(port->fd, TCIFLUSH);

    port->lastErrno = 0;
    ZelSetTransport(ComTransmit, ComReceive, ComSleep, ComPumpMessages, port);
    return COM_OPEN_OK;
}

void CloseComPort(ComPort* port) {
    if (!port || port->fd < 0) return;
    // The exclusive flag belongs to the terminal, not to this descriptor, and
    // a pseudo-terminal outlives our close: give it back explicitly.
    ::ioctl(port->fd, TIOCNXCL);
    ::close(port->fd);
    port->fd = -1;
}

const char* ComOpenStatusText(int code) {
    switch (code) {
    case COM_OPEN_FAILED: return "Can't open COM port";
    case COM_GET_SETTINGS_FAILED: return "Error: Can't retrieve COM-port settings!";
    case COM_SET_SETTINGS_FAILED: return "Error: Can't write COM-port settings!";
    case COM_GET_TIMING_FAILED: return "Error: Can't retrieve COM-port timing!";
    case COM_SET_TIMING_FAILED: return "Error: Can't write COM-port timing!";
    default: return "";
    }
}
