#include "platform/samefile.h"

#include "statistics/dataerror.h"
#include "formats/filename.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// As many links as the system itself follows before it calls it a loop.
constexpr int kMostLinks = 40;

QByteArray FolderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

QByteArray Absolute(const QByteArray& path) {
    if (path.startsWith('/'))
        return path;
    char buffer[PATH_MAX];
    if (getcwd(buffer, sizeof buffer) == nullptr)
        return path;
    return QByteArray(buffer) + '/' + path;
}

[[noreturn]] void LinkLoop() {
    throw DataError(LinkLoopReason());
}

// The place a name ends up: its folder with every link resolved, and its own last part.
QByteArray Place(const QByteArray& name) {
    const QByteArray target = FollowLinks(name);
    const qsizetype slash = target.lastIndexOf('/');
    char buffer[PATH_MAX];
    if (realpath(FolderOf(target).constData(), buffer) == nullptr)
        return target;
    return QByteArray(buffer) + target.mid(slash);
}

} // namespace

QByteArray FollowLinks(const QByteArray& name) {
    QByteArray current = Absolute(name);
    for (int hop = 0; hop <= kMostLinks; ++hop) {
        struct stat info {};
        if (lstat(current.constData(), &info) != 0) {
            // A folder on the way that links in a circle is a loop as well.
            if (errno == ELOOP)
                LinkLoop();
            return current;
        }
        if (!S_ISLNK(info.st_mode))
            return current;
        QByteArray target(PATH_MAX, '\0');
        const ssize_t length = readlink(current.constData(), target.data(), target.size());
        if (length < 0 || length >= target.size())
            return current;
        target.truncate(length);
        current = target.startsWith('/') ? target : FolderOf(current) + '/' + target;
    }
    LinkLoop();
}

QByteArray FileIdentity(const QString& name) {
    const QByteArray bytes = EncodeFileName(name);
    struct stat info {};
    if (stat(bytes.constData(), &info) == 0)
        return "file:" + QByteArray::number(qulonglong(info.st_dev)) + ':' +
               QByteArray::number(qulonglong(info.st_ino));
    return "place:" + Place(bytes);
}

bool SameFile(const QString& a, const QString& b) {
    return FileIdentity(a) == FileIdentity(b);
}

InputFiles::InputFiles(const QStringList& inputs) {
    for (const QString& input : inputs) {
        if (input.isEmpty())
            continue;
        try {
            identities_.append({FileIdentity(input), input});
        } catch (const DataError&) {
            // A name that loops reaches no file, so no output can be it.
        }
    }
}

void InputFiles::RefuseOverwriting(const QString& output) const {
    QByteArray identity;
    try {
        identity = FileIdentity(output);
    } catch (const DataError& loop) {
        throw DataError(QStringLiteral("ファイル「%1」に書き込めませんでした。%2")
                            .arg(DisplayFileName(output), loop.message()));
    }
    for (const auto& [inputIdentity, input] : identities_) {
        if (inputIdentity != identity)
            continue;
        const QString shownOutput = DisplayFileName(output);
        const QString shownInput = DisplayFileName(input);
        throw DataError(
            shownOutput == shownInput
                ? QStringLiteral("出力先「%1」は読み込んだファイルそのものです。読み込んだ"
                                 "ファイルを壊さないよう、何も書き込みませんでした。別の名前を"
                                 "指定してください。")
                      .arg(shownOutput)
                : QStringLiteral("出力先「%1」は、リンクをたどると読み込んだファイル「%2」"
                                 "そのものです。読み込んだファイルを壊さないよう、何も書き込み"
                                 "ませんでした。別の名前を指定してください。")
                      .arg(shownOutput, shownInput));
    }
}

void RefuseOverwritingInput(const QString& output, const QStringList& inputs) {
    InputFiles(inputs).RefuseOverwriting(output);
}
