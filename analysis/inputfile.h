#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The largest file the program reads as input. A full data file or the deviate table is a few
// kilobytes; anything near this size was picked by mistake.
inline constexpr qint64 kLargestInputFile = 16 * 1024 * 1024;

// Reads a whole regular file of at most limit bytes. A folder, a pipe or a device is refused
// before it is opened, so reading never blocks and never takes more than the limit.
// Throws DataError with the problem in Japanese; the caller names the file.
QByteArray ReadInputFile(const QString& path, qint64 limit = kLargestInputFile);

// Bytes of a file quoted in a message, decoded as the file was written: UTF-8 when they are
// valid UTF-8, else Shift-JIS when they are valid there, else one character per byte. At most
// maxChars characters are kept.
QString QuoteFileBytes(QByteArrayView bytes, qsizetype maxChars = 40);
