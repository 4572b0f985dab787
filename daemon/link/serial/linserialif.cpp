#include "serial/linserialif.h"

#include "serial/converterusb.h"
#include "serial/lineattributes.h"
#include "serial/openretry.h"
#include "serial/outputdrain.h"
#include "serial/portreservations.h"
#include "serial/simulatedports.h"

#include <QDebug>
#include <QElapsedTimer>

#include <libudev.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// A write gives up when the line takes no byte for this long...
constexpr int kWriteStallMs = 2000;

// ...or when it has taken a fixed allowance plus about three times the line
// time of the data at 38400 baud.
qint64 WriteBudgetMs(std::int32_t length)
{
    return 2000 + qint64(length);
}

}

LinSerialIF::LinSerialIF()
    : _fd(-1), _savedAttributes(), _haveSavedAttributes(false)
{
}

LinSerialIF::~LinSerialIF()
{
    Close();
}

void LinSerialIF::EnumeratePorts()
{
    _portList.clear();
    if (SimulatedPorts::IsConfigured()) {
        _portList = SimulatedPorts::Existing(SimulatedPorts::Configured());
        return;
    }
    EnumerateUdevPorts();
}

void LinSerialIF::EnumerateUdevPorts()
{
    struct udev* udev = udev_new();
    if (!udev) {
        qCritical("Can't create udev\n");
        std::exit(1);
    }
    struct udev_enumerate* enumerate = udev_enumerate_new(udev);
    if (enumerate) {
        udev_enumerate_add_match_subsystem(enumerate, "tty");
        udev_enumerate_scan_devices(enumerate);
        struct udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
            const char* sysPath = udev_list_entry_get_name(entry);
            struct udev_device* device = sysPath ? udev_device_new_from_syspath(udev, sysPath) : nullptr;
            if (!device)
                continue;
            const char* vendor = udev_device_get_property_value(device, "ID_VENDOR_ID");
            const char* node = udev_device_get_devnode(device);
            if (vendor && node && std::strcmp(vendor, kConverterVendorID) == 0)
                _portList.append(QString::fromUtf8(node));
            udev_device_unref(device);
        }
        udev_enumerate_unref(enumerate);
    }
    udev_unref(udev);
}

QString LinSerialIF::GetPortName(int index) const
{
    return _portList.value(index);
}

int LinSerialIF::GetPortCount()
{
    return _portList.size();
}

bool LinSerialIF::IsOpen() const
{
    return _fd >= 0;
}

bool LinSerialIF::Open(int index)
{
    if (index < 0 || index >= _portList.size()) {
        qDebug("Opened serial port %d only %d ports available", index, int(_portList.size()));
        return false;
    }
    if (IsOpen())
        Close();

    const QByteArray path = _portList.at(index).toUtf8();
    const QString key = PortReservations::KeyFor(_portList.at(index));
    // A port this process holds already: refused without a word, as every
    // scan meets it again.
    if (!PortReservations::Acquire(key))
        return false;
    _reservedKey = key;

    int error = 0;
    for (int attempt = 1;; ++attempt) {
        if (OpenOnce(path, attempt > 1, error)) {
            if (attempt > 1)
                qDebug("Opened %s at attempt %d.", path.constData(), attempt);
            return true;
        }
        const int pause = OpenRetry::PauseBefore(attempt + 1, error);
        if (pause < 0) {
            if (attempt > 1)
                qDebug("Giving up on %s after %d attempts - %s(%d).", path.constData(), attempt,
                       std::strerror(error), error);
            break;
        }
        if (attempt == 1)
            qDebug("Opening %s failed - %s(%d); trying again for up to %d ms.", path.constData(),
                   std::strerror(error), error, OpenRetry::TotalPauseMs());
        ::usleep(useconds_t(pause) * 1000);
    }
    PortReservations::Release(_reservedKey);
    _reservedKey.clear();
    return false;
}

bool LinSerialIF::OpenOnce(const QByteArray& path, bool quiet, int& error)
{
    _fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (_fd == -1) {
        error = errno;
        return false;
    }
    if (Configure(path, quiet, error))
        return true;
    CloseDescriptor();
    return false;
}

bool LinSerialIF::Configure(const QByteArray& path, bool quiet, int& error)
{
    const char* p = path.constData();
    auto fail = [&](const char* format) {
        error = errno;
        if (!quiet)
            qDebug(format, p, std::strerror(error), error);
        return false;
    };
    if (::ioctl(_fd, TIOCEXCL) == -1)
        return fail("Error setting TIOCEXCL on %s - %s(%d).");
    if (::fcntl(_fd, F_SETFL, 0) == -1)
        return fail("Error clearing O_NONBLOCK %s - %s(%d).");
    if (::tcgetattr(_fd, &_savedAttributes) == -1)
        return fail("Error getting tty attributes %s - %s(%d).");
    _haveSavedAttributes = true;

    // Of what the port held before, only stop bits and flow control stay.
    const struct termios neutral = NeutralLineAttributes(_savedAttributes);
    const struct termios line = ConverterLineAttributes(_savedAttributes);
    if (::tcsetattr(_fd, TCSANOW, &neutral) == -1 || ::tcsetattr(_fd, TCSANOW, &line) == -1)
        return fail("Error setting tty attributes %s - %s(%d).");

    int handshake = 0;
    if (::ioctl(_fd, TIOCMGET, &handshake) == -1 && !quiet) {
        const int err = errno;
        qDebug("Error getting handshake lines %s - %s(%d).", p, std::strerror(err), err);
    }
    return true;
}

void LinSerialIF::Close()
{
    if (!IsOpen())
        return;
    CloseDescriptor();
    PortReservations::Release(_reservedKey);
    _reservedKey.clear();
}

void LinSerialIF::CloseDescriptor()
{
    // Drain and restore only what this open configured.
    if (_haveSavedAttributes) {
        if (!OutputDrain::Wait(_fd)) {
            const int err = errno;
            qDebug("Error waiting for drain - %s(%d).", std::strerror(err), err);
            // What a held line did not take is dropped, so that closing does
            // not wait for it either.
            ::tcflush(_fd, TCOFLUSH);
        }
        if (::tcsetattr(_fd, TCSANOW, &_savedAttributes) == -1) {
            const int err = errno;
            qDebug("Error resetting tty attributes - %s(%d).", std::strerror(err), err);
        }
    }
    ::close(_fd);
    _fd = -1;
    _haveSavedAttributes = false;
}

int LinSerialIF::Read(unsigned char* buffer, std::uint32_t length)
{
    if (!IsOpen() || length == 0)
        return 0;
    if (!buffer)
        return -1;
    const std::size_t wanted = length > std::uint32_t(INT_MAX) ? std::size_t(INT_MAX) : length;
    std::size_t received = 0;
    while (received < wanted) {
        struct pollfd ready = {_fd, POLLIN, 0};
        const int r = ::poll(&ready, 1, kReadIdleMs);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (r == 0)
            break;
        const ssize_t n = ::read(_fd, buffer + received, wanted - received);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        received += std::size_t(n);
    }
    return int(received);
}

bool LinSerialIF::Write(const unsigned char* buffer, std::int32_t length)
{
    if (!IsOpen())
        return false;
    if (length < 0 || (length > 0 && !buffer)) {
        qDebug("Could not send all data to serial device %d %d", -1, length);
        return false;
    }
    // Non-blocking while writing, so a stalled line cannot hold the caller
    // beyond the budget.
    const int flags = ::fcntl(_fd, F_GETFL);
    const bool nonBlocking = flags != -1 && ::fcntl(_fd, F_SETFL, flags | O_NONBLOCK) != -1;

    QElapsedTimer clock;
    clock.start();
    const qint64 budget = WriteBudgetMs(length);
    std::int32_t sent = 0;
    bool failed = false;
    while (sent < length) {
        const ssize_t n = ::write(_fd, buffer + sent, std::size_t(length - sent));
        if (n > 0) {
            sent += std::int32_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            failed = true;
            break;
        }
        const qint64 left = qMin<qint64>(budget - clock.elapsed(), kWriteStallMs);
        if (left <= 0)
            break;
        struct pollfd ready = {_fd, POLLOUT, 0};
        const int r = ::poll(&ready, 1, int(left));
        if (r == 0)
            break;
        if (r < 0 && errno != EINTR) {
            failed = true;
            break;
        }
    }
    if (nonBlocking)
        ::fcntl(_fd, F_SETFL, flags);

    if (sent == length)
        return true;
    qDebug("Could not send all data to serial device %d %d", failed ? -1 : int(sent), int(length));
    return false;
}

int LinSerialIF::Flush()
{
    return ::tcflush(_fd, TCIFLUSH);
}
