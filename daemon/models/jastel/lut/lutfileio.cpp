#include "lutfileio.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

namespace lutfileio {

bool ReadFile(const QString& path, qint64 limit, QByteArray& data, qint64& fileSize)
{
    data.clear();
    fileSize = 0;
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty())
        return false;
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    fileSize = st.st_size;
    const qint64 wanted = qMin<qint64>(fileSize, limit);
    data.resize(int(wanted));
    qint64 got = 0;
    while (got < wanted) {
        const ssize_t n = ::read(fd, data.data() + got, size_t(wanted - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    ::close(fd);
    data.resize(int(got));
    return true;
}

bool WriteFile(const QString& path, const QByteArray& data, QIODevice::OpenMode mode)
{
    QFile file(path);
    if (!file.open(mode))
        return false;
    const bool written = file.write(data) == data.size() && file.flush();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

} // namespace lutfileio
