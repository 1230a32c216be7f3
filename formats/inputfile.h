#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The largest file the program reads as input. A full data file or the deviate table is a few
// kilobytes; anything near this size was picked by mistake.
inline constexpr qint64 kLargestInputFile = 16 * 1024 * 1024;

// Why a file could not be read whole.
struct RegularFileError {
    enum class Problem { Missing, NotRegular, TooLarge, CannotOpen, CannotRead };
    Problem problem;
    // errno of the failed call (0 for NotRegular and TooLarge).
    int error;
};

// Reads a whole regular file of at most limit bytes. A folder, a pipe or a device is refused
// before it is opened, and a file swapped for one after that check cannot block the open either:
// the descriptor opened is checked again. Throws RegularFileError; the caller words the message.
QByteArray ReadRegularFile(const QString& path, qint64 limit);

// A regular file read in pieces, opened with the checks of ReadRegularFile; for files too large
// to hold whole. Throws RegularFileError.
class RegularFileChunks {
public:
    RegularFileChunks(const QString& path, qint64 limit);
    ~RegularFileChunks();
    RegularFileChunks(const RegularFileChunks&) = delete;
    RegularFileChunks& operator=(const RegularFileChunks&) = delete;
    // Appends the next piece to bytes; false at the end of the file.
    bool readInto(QByteArray& bytes);

private:
    int fd_;
    qint64 limit_;
    qint64 read_ = 0;
};

// The first bytes of a regular file (at least size when it has them), enough to tell its kind;
// empty when it cannot be read: the read that follows says why.
QByteArray ReadInputFileHead(const QString& path, qsizetype size);

class DataError;
// The problem in Japanese; the caller names the file.
DataError InputFileError(const RegularFileError& error, qint64 limit);

// Reads an input file of at most limit bytes. Throws DataError with the problem in Japanese; the
// caller names the file.
QByteArray ReadInputFile(const QString& path, qint64 limit = kLargestInputFile);

// Bytes of a file quoted in a message, decoded as the file was written: UTF-8 when they are
// valid UTF-8, else Shift-JIS when they are valid there, else one character per byte. At most
// maxChars characters are kept.
QString QuoteFileBytes(QByteArrayView bytes, qsizetype maxChars = 40);
