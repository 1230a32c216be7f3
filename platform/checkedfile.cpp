#include "platform/checkedfile.h"
#include "platform/filenames.h"
#include "platform/platform.h"

#include "formats/filename.h"
#include "platform/samefile.h"
#include "statistics/dataerror.h"

#include <QList>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The reason in the user's words. Qt's errorString() would say "Unknown error" for half of
// these, and in English.
QString Reason(int error) {
    switch (error) {
    case ENOSPC:
        return QStringLiteral("ディスクの空き容量が不足しています。");
    case EDQUOT:
        return QStringLiteral("ディスクの使用量の上限に達しています。");
    case EACCES:
    case EPERM:
        return QStringLiteral("書き込みが許されていません。");
    case EROFS:
        return QStringLiteral("読み取り専用のディスクには書き込めません。");
    case ENOENT:
        return QStringLiteral("保存先のフォルダーがありません。");
    case ENOTDIR:
        return QStringLiteral(
            "保存先のフォルダーの名前がフォルダーではなくファイルを指しています。");
    case EISDIR:
        return QStringLiteral("同じ名前のフォルダーがあります。");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます。");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名が長すぎます。");
    case ELOOP:
        return LinkLoopReason();
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました。");
    default:
        return QStringLiteral("システムのエラー（番号 %1）が起きました。").arg(error);
    }
}

[[noreturn]] void Fail(const QString& path, const QString& reason) {
    throw DataError(QStringLiteral("ファイル「%1」に書き込めませんでした。%2")
                        .arg(DisplayFileName(path), reason));
}

[[noreturn]] void Fail(const QString& path, int error) {
    Fail(path, Reason(error));
}

// A failure to make or rename an entry of the folder: a refusal is the folder's, which the
// file's own permissions do not change.
[[noreturn]] void FailInFolder(const QString& path, const QByteArray& folder, int error) {
    if (error == EACCES || error == EPERM)
        Fail(path, QStringLiteral("保存先のフォルダー「%1」に書き込みが許されていません"
                                  "（フォルダーの中にファイルを作れません）。")
                       .arg(DisplayFileName(DecodeFileName(folder))));
    Fail(path, error);
}

// What a name that is no plain file is, for the refusal.
QString NotAFileReason(mode_t mode) {
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("この名前は装置を指していて、ファイルではないので書き込めません。");
    if (S_ISFIFO(mode) || S_ISSOCK(mode))
        return QStringLiteral(
            "この名前はパイプかソケットを指していて、ファイルではないので書き込めません。");
    return QStringLiteral("この名前は普通のファイルではないので書き込めません。");
}

// The temporary of a target: hidden, in the target's folder, with the program's mark and six
// random characters. Short enough that a long but valid target name still leaves room.
QByteArray TemporaryPrefix(const QByteArray& name) {
    return "." + name.left(200) + ".quorvel-";
}
constexpr int kTemporarySuffixLength = 6;

// True for a name TemporaryPrefix and mkostemp give: ".<name>.quorvel-" and six letters or
// digits.
bool IsTemporaryName(const QByteArray& entry) {
    const QByteArray mark(".quorvel-");
    const qsizetype markAt = entry.size() - kTemporarySuffixLength - mark.size();
    if (markAt < 2 || !entry.startsWith('.') || entry.mid(markAt, mark.size()) != mark)
        return false;
    for (qsizetype i = entry.size() - kTemporarySuffixLength; i < entry.size(); ++i) {
        const char c = entry[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// A run that was killed while writing leaves its temporaries behind, full size, one per page
// it was writing. A temporary is held locked by the run writing it, and the lock dies with the
// process; one of the folder's that has the program's naming, that nobody holds and that is a
// plain file of this user, is such a leftover and goes. Anything else stays.
void RemoveStaleTemporaries(const QByteArray& folder) {
    DIR* dir = opendir(folder.constData());
    if (dir == nullptr)
        return;
    QList<QByteArray> candidates;
    while (const dirent* entry = readdir(dir)) {
        const QByteArray entryName(entry->d_name);
        if (IsTemporaryName(entryName))
            candidates << folder + '/' + entryName;
    }
    closedir(dir);
    for (const QByteArray& candidate : candidates) {
        const int fd =
            open(candidate.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            continue;
        struct stat held {};
        struct stat named {};
        if (flock(fd, LOCK_EX | LOCK_NB) == 0 && fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
            held.st_uid == geteuid() && lstat(candidate.constData(), &named) == 0 &&
            named.st_dev == held.st_dev && named.st_ino == held.st_ino)
            unlink(candidate.constData());
        close(fd);
    }
}

// The temporary file lives in the target's folder, so the rename never crosses a disk, and
// is removed on every way out that did not rename it.
class TemporaryFile {
public:
    TemporaryFile(const QByteArray& folder, const QByteArray& name) {
        // Another run's clean-up may take a fresh temporary for a leftover in the moment before
        // it is locked: the name must still be this file once the lock is held.
        for (int attempt = 0; attempt < 5 && fd_ < 0; ++attempt) {
            name_ = folder + "/" + TemporaryPrefix(name) + QByteArray(kTemporarySuffixLength, 'X');
            fd_ = mkostemp(name_.data(), O_CLOEXEC);
            if (fd_ < 0)
                break;
            struct stat held {};
            struct stat named {};
            while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
            if (fstat(fd_, &held) == 0 && lstat(name_.constData(), &named) == 0 &&
                held.st_ino == named.st_ino && held.st_dev == named.st_dev)
                break;
            close(fd_);
            fd_ = -1;
            errno = EAGAIN;
        }
        created_ = fd_ >= 0;
        error_ = created_ ? 0 : errno;
        // The lock belongs to the open file, not to one descriptor: a second descriptor keeps it
        // held after Close, so no other run's clean-up takes the finished file for a leftover
        // in the moment before the rename.
        if (created_)
            lockHolder_ = fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    }
    ~TemporaryFile() {
        if (fd_ >= 0)
            close(fd_);
        if (created_ && !renamed_)
            unlink(name_.constData());
        if (lockHolder_ >= 0)
            close(lockHolder_);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // errno of the creation, or 0.
    int CreationError() const { return error_; }
    int fd() const { return fd_; }
    const char* name() const { return name_.constData(); }

    // Closing can be where a network or full disk first says no.
    int Close() {
        const int fd = fd_;
        fd_ = -1;
        // On Linux the descriptor is gone even when close is interrupted.
        return close(fd) == 0 || errno == EINTR ? 0 : errno;
    }
    void Renamed() { renamed_ = true; }

private:
    QByteArray name_;
    int fd_ = -1;
    int lockHolder_ = -1;
    int error_ = 0;
    bool created_ = false;
    bool renamed_ = false;
};

int WriteAll(int fd, QByteArrayView bytes) {
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = write(fd, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return EIO;
        data += written;
        left -= written;
    }
    return 0;
}

int SyncFile(int fd) {
    while (fsync(fd) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

// The rename itself is only durable once the folder is synced. Filesystems that cannot sync a
// folder say EINVAL; their rename is as durable as it gets.
int SyncFolder(const QByteArray& folder) {
    const int fd = open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = SyncFile(fd);
    close(fd);
    return error == EINVAL ? 0 : error;
}

} // namespace

void WriteFileAllOrNothing(const QString& path, QByteArrayView bytes) {
    if (path.isEmpty())
        Fail(path, ENOENT);
    // A link is followed, so the file it names is replaced and the link stays a link; a link
    // to nothing gets its target made.
    QByteArray target;
    try {
        target = FollowLinks(EncodeFileName(path));
    } catch (const DataError& loop) {
        Fail(path, loop.message());
    }
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash == 0 ? QByteArray("/") : target.left(slash);
    const QByteArray fileName = target.mid(slash + 1);

    struct stat old {};
    const bool existed = stat(target.constData(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode))
        Fail(path, EISDIR);
    if (existed && !S_ISREG(old.st_mode))
        Fail(path, NotAFileReason(old.st_mode));
    // A file the user made read-only stays as it is, although its folder would allow the
    // rename; the owner's bit counts even for root, whom access() lets write anything.
    if (existed && (old.st_mode & S_IWUSR) == 0)
        Fail(path, QStringLiteral("読み取り専用のファイルです。"));
    if (existed && access(target.constData(), W_OK) != 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM)
            Fail(path, QStringLiteral("このファイルへの書き込みが許されていません。"));
        Fail(path, error);
    }

    RemoveStaleTemporaries(folder);
    TemporaryFile temporary(folder, fileName);
    if (const int error = temporary.CreationError())
        FailInFolder(path, folder, error);

    mode_t mode = 0;
    if (existed) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    if (fchmod(temporary.fd(), mode) != 0)
        Fail(path, errno);
    // Only root may give a file away; a group the user belongs to may still be kept.
    if (existed && (old.st_uid != geteuid() || old.st_gid != getegid())) {
        if (fchown(temporary.fd(), old.st_uid, old.st_gid) != 0)
            (void)fchown(temporary.fd(), static_cast<uid_t>(-1), old.st_gid);
    }

    if (const int error = WriteAll(temporary.fd(), bytes))
        Fail(path, error);
    if (const int error = SyncFile(temporary.fd()))
        Fail(path, error);
    if (const int error = temporary.Close())
        Fail(path, error);
    // What the disk holds is checked, not trusted: a short file never takes the name.
    struct stat written {};
    if (stat(temporary.name(), &written) != 0)
        Fail(path, errno);
    if (written.st_size != bytes.size())
        Fail(path, EIO);
    if (rename(temporary.name(), target.constData()) != 0)
        FailInFolder(path, folder, errno);
    temporary.Renamed();
    if (const int error = SyncFolder(folder))
        Fail(path, error);
}

bool SaveCsvText(QWidget* parent, FileDialogService& files, const QString& text,
                 const QStringList& inputs) {
    std::optional<QString> path =
        files.getSaveFileName(parent, QStringLiteral("CSV ファイル (*.csv)|*.csv"), QString());
    if (!path || path->isEmpty())
        return false;
    path = WithDefaultSuffix(*path, QStringLiteral("csv"));
    RefuseOverwritingInput(*path, inputs);
    WriteFileAllOrNothing(*path, QByteArray("\xEF\xBB\xBF") + text.toUtf8());
    return true;
}
