#include "platform/checkedfile.h"

#include "analysis/dataerror.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
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
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました。");
    default:
        return QStringLiteral("システムのエラー（番号 %1）が起きました。").arg(error);
    }
}

[[noreturn]] void Fail(const QString& path, int error) {
    throw DataError(
        QStringLiteral("ファイル「%1」に書き込めませんでした。%2").arg(path, Reason(error)));
}

// The temporary file lives in the target's folder, so the rename never crosses a disk, and
// is removed on every way out that did not rename it.
class TemporaryFile {
public:
    TemporaryFile(const QByteArray& folder, const QByteArray& name) {
        // Short enough that a long but valid target name still leaves room for the suffix.
        name_ = folder + "/." + name.left(200) + ".XXXXXX";
        fd_ = mkostemp(name_.data(), O_CLOEXEC);
        created_ = fd_ >= 0;
        error_ = created_ ? 0 : errno;
    }
    ~TemporaryFile() {
        if (fd_ >= 0)
            close(fd_);
        if (created_ && !renamed_)
            unlink(name_.constData());
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
    // A link is followed, so the file it names is replaced and the link stays a link.
    QFileInfo info(path);
    if (info.isSymLink() && info.exists())
        info = QFileInfo(info.canonicalFilePath());
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(info.absolutePath());

    struct stat old {};
    const bool existed = stat(target.constData(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode))
        Fail(path, EISDIR);
    if (existed && !S_ISREG(old.st_mode))
        Fail(path, EPERM);
    // A file the user made read-only stays as it is, although its folder would allow the
    // rename.
    if (existed && access(target.constData(), W_OK) != 0)
        Fail(path, errno);

    TemporaryFile temporary(folder, QFile::encodeName(info.fileName()));
    if (const int error = temporary.CreationError())
        Fail(path, error);

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
        Fail(path, errno);
    temporary.Renamed();
    if (const int error = SyncFolder(folder))
        Fail(path, error);
}
