#include "lumo/lumorandom.h"

#include "lumohex_p.h"
#include "lumorandom_p.h"

#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <QDataStream>
#include <QMutex>
#include <QMutexLocker>

#include "lumo/lumolog.h"

namespace {

std::atomic<int> gSource{-1};
QMutex gPathMutex;
QByteArray gPath = QByteArrayLiteral("/dev/urandom");

// rand()'s 31-bit result scaled to the full width.
template <typename T> T fallback()
{
    const int bits = int(sizeof(T)) * 8;
    const quint64 r = quint64(std::rand());
    return T(bits <= 31 ? r >> (31 - bits) : r << (bits - 31));
}

ssize_t readSome(int fd, void* into, size_t len)
{
    ssize_t got;
    do {
        got = ::read(fd, into, len);
    } while (got < 0 && errno == EINTR);
    return got;
}

template <typename T> T draw()
{
    const int fd = gSource.load();
    if (fd < 0)
        return fallback<T>();
    T value;
    const ssize_t got = readSome(fd, &value, sizeof value);
    if (got != ssize_t(sizeof value)) {
        lumoLogOutput(1, QStringLiteral("lumorandom"), __LINE__, "MAKERAND failed with %zd\n", got);
        return fallback<T>();
    }
    return value;
}

} // namespace

// --- random source ------------------------------------------------------------

void LumoRandomSource::setPath(QByteArray const& path)
{
    QMutexLocker lock(&gPathMutex);
    gPath = path;
}

void LumoRandomSource::reset()
{
    const int fd = gSource.exchange(-1);
    if (fd >= 0)
        ::close(fd);
}

int LumoRandomSource::descriptor()
{
    return gSource.load();
}

void LumoRandomInit()
{
    if (gSource.load() >= 0)
        return;
    timeval now;
    gettimeofday(&now, nullptr);
    std::srand(unsigned(getuid()) ^ unsigned(now.tv_sec ^ now.tv_usec) ^ (unsigned(getpid()) << 16));
    QByteArray path;
    {
        QMutexLocker lock(&gPathMutex);
        path = gPath;
    }
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0) {
        lumoLogOutput(3, QStringLiteral("lumorandom"), __LINE__,
                      "Failed to open /dev/urandom, will fail to sytem rand()\n");
        return;
    }
    gSource = fd;
}

quint8 LumoRandom::rand8() { return draw<quint8>(); }
quint16 LumoRandom::rand16() { return draw<quint16>(); }
quint32 LumoRandom::rand32() { return draw<quint32>(); }
quint64 LumoRandom::rand64() { return draw<quint64>(); }

void LumoRandom::randbuf(void* buffer, unsigned int len)
{
    quint8* bytes = static_cast<quint8*>(buffer);
    unsigned int filled = 0;
    const int fd = gSource.load();
    if (fd >= 0) {
        // The source delivers large requests in parts.
        while (filled < len) {
            const ssize_t got = readSome(fd, bytes + filled, len - filled);
            if (got <= 0) {
                lumoLogOutput(1, QStringLiteral("lumorandom"), __LINE__, "randbuf failed with %zd\n", got);
                break;
            }
            filled += unsigned(got);
        }
    }
    for (; filled < len; ++filled)
        bytes[filled] = fallback<quint8>();
}

// --- UUID -------------------------------------------------------------------------

LumoUUID::LumoUUID()
{
    memset(_data, 0, sizeof _data);
}

LumoUUID::LumoUUID(QByteArray const& bytes) : LumoUUID()
{
    if (bytes.size() == int(sizeof _data))
        memcpy(_data, bytes.constData(), sizeof _data);
}

QByteArray LumoUUID::toByteArray() const
{
    return QByteArray(reinterpret_cast<char const*>(_data), int(sizeof _data));
}

LumoUUID::operator QUuid() const
{
    const uint d1 = uint(_data[0]) << 24 | uint(_data[1]) << 16 | uint(_data[2]) << 8 | _data[3];
    const ushort d2 = ushort(_data[4] << 8 | _data[5]);
    const ushort d3 = ushort(_data[6] << 8 | _data[7]);
    return QUuid(d1, d2, d3, _data[8], _data[9], _data[10], _data[11], _data[12], _data[13], _data[14],
                 _data[15]);
}

LumoUUID& LumoUUID::operator=(QUuid const& uuid)
{
    _data[0] = quint8(uuid.data1 >> 24);
    _data[1] = quint8(uuid.data1 >> 16);
    _data[2] = quint8(uuid.data1 >> 8);
    _data[3] = quint8(uuid.data1);
    _data[4] = quint8(uuid.data2 >> 8);
    _data[5] = quint8(uuid.data2);
    _data[6] = quint8(uuid.data3 >> 8);
    _data[7] = quint8(uuid.data3);
    memcpy(_data + 8, uuid.data4, 8);
    return *this;
}

LumoUUID& LumoUUID::operator=(QString const& text)
{
    memset(_data, 0, sizeof _data);
    const QByteArray chars = text.toLatin1();
    if (chars.size() < 36)
        return *this;
    quint8 parsed[16];
    int nibbles = 0;
    for (char c : chars) {
        const int v = lumoHexValue(c);
        if (v < 0)
            continue;
        if (nibbles % 2 == 0)
            parsed[nibbles / 2] = quint8(v << 4);
        else
            parsed[nibbles / 2] |= quint8(v);
        if (++nibbles == 32) {
            memcpy(_data, parsed, sizeof _data);
            break;
        }
    }
    return *this;
}

QString LumoUUID::toString(StringType type) const
{
    static char const digits[] = "0123456789abcdef";
    char text[38];
    int at = 0;
    if (type == StringBraces)
        text[at++] = '{';
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text[at++] = '-';
        text[at++] = digits[_data[i] >> 4];
        text[at++] = digits[_data[i] & 0xF];
    }
    if (type == StringBraces)
        text[at++] = '}';
    return QString::fromLatin1(text, at);
}

bool LumoUUID::isValid() const
{
    for (quint8 byte : _data)
        if (byte != 0x00 && byte != 0xFF)
            return true;
    return false;
}

QDataStream& operator<<(QDataStream& stream, LumoUUID const& uuid)
{
    for (quint8 byte : uuid._data)
        stream << qint8(byte);
    return stream;
}

QDataStream& operator>>(QDataStream& stream, LumoUUID& uuid)
{
    for (quint8& byte : uuid._data) {
        qint8 value = 0;
        stream >> value;
        byte = quint8(value);
    }
    return stream;
}
