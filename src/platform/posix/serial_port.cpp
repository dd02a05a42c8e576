// Serial ports on POSIX through termios: raw 8N1, reads bounded by poll().
#include "platform/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace platform {
namespace {

speed_t speedFor(int baud) {
    switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;
    }
}

int fd(const SerialPort& port) { return static_cast<int>(port.handle); }

}  // namespace

bool serialOpen(SerialPort& port, const std::string& name, int baudRate) {
    serialClose(port);
    speed_t speed = speedFor(baudRate);
    if (speed == B0) return false;
    int f = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (f < 0) return false;
    termios t{};
    bool ok = ::isatty(f) && ::tcgetattr(f, &t) == 0;
    if (ok) {
        ::cfmakeraw(&t);
        t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CSIZE | CRTSCTS);
        t.c_cflag |= CS8 | CLOCAL | CREAD;
        t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = 0;
        ok = ::cfsetispeed(&t, speed) == 0 && ::cfsetospeed(&t, speed) == 0 && ::tcsetattr(f, TCSANOW, &t) == 0;
    }
    if (ok) {
        // DTR and RTS on, as the instrument expects of a terminal.
        int lines = TIOCM_DTR | TIOCM_RTS;
        ::ioctl(f, TIOCMBIS, &lines);  // a pseudo-terminal has no modem lines; that is fine
    }
    if (!ok) {
        ::close(f);
        return false;
    }
    port.handle = f;
    port.readTimeoutMs = 5000;
    return true;
}

void serialClose(SerialPort& port) {
    if (port.handle < 0) return;
    // The last command written (releasing the instrument, aborting a sweep) must still reach it:
    // let the output drain, for a second at most, and drop only what is left to read.
    for (int waited = 0; waited < 1000; waited += 5) {
        int pending = 0;
        if (::ioctl(fd(port), TIOCOUTQ, &pending) != 0 || pending == 0) break;
        ::usleep(5000);
    }
    ::tcflush(fd(port), TCIFLUSH);
    ::close(fd(port));
    port.handle = -1;
}

int serialWrite(SerialPort& port, const char* data, int length) {
    if (port.handle < 0 || length < 0) return 0;
    int done = 0;
    while (done < length) {
        ssize_t n = ::write(fd(port), data + done, static_cast<std::size_t>(length - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return 0;
        }
        done += static_cast<int>(n);
    }
    return done;
}

int serialRead(SerialPort& port, char* data, int length) {
    if (port.handle < 0 || length <= 0) return 0;
    pollfd p{fd(port), POLLIN, 0};
    int ready;
    do ready = ::poll(&p, 1, static_cast<int>(port.readTimeoutMs));
    while (ready < 0 && errno == EINTR);
    if (ready <= 0 || !(p.revents & POLLIN)) return 0;
    ssize_t n = ::read(fd(port), data, static_cast<std::size_t>(length));
    return n > 0 ? static_cast<int>(n) : 0;
}

int serialQueued(SerialPort& port) {
    int count = 0;
    if (port.handle < 0 || ::ioctl(fd(port), FIONREAD, &count) != 0) return 0;
    return count;
}

bool serialSetReadTimeout(SerialPort& port, unsigned ms) {
    if (port.handle < 0) return false;
    port.readTimeoutMs = ms;
    return true;
}

}  // namespace platform
