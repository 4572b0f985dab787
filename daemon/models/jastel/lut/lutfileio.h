// Bounded file access for the LUT import and export.
#ifndef PORTVANE_LUT_LUTFILEIO_H
#define PORTVANE_LUT_LUTFILEIO_H

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace lutfileio {

// Far above any table (4913 rows of 512 bytes and a header), so only a
// file that is not a LUT is refused for its size.
constexpr qint64 kMaxTextFileSize = qint64(32) << 20;

// Reads at most limit bytes from the start of a regular file into data and
// gives the file's size. False when the path cannot be opened or is not a
// regular file (a FIFO or a device would block or never end).
bool ReadFile(const QString& path, qint64 limit, QByteArray& data, qint64& fileSize);

// Opens path with mode, writes data whole and flushes it; false on any error.
bool WriteFile(const QString& path, const QByteArray& data, QIODevice::OpenMode mode);

} // namespace lutfileio

#endif
