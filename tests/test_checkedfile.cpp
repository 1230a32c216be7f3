// The one file writer, failed for real: a file size limit in a child process, missing
// folders, folders in the way.
#include "analysis/dataerror.h"
#include "filesizelimit.h"
#include "platform/checkedfile.h"
#include "testhelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

const QByteArray kOld = "1990 10\r\n1991 20\r\n";

// The message of the failed write, or "<no error>".
QString FailureOf(const QString& path, const QByteArray& bytes) {
    try {
        WriteFileAllOrNothing(path, bytes);
    } catch (const DataError& error) {
        return error.message();
    }
    return QStringLiteral("<no error>");
}

} // namespace

class TestCheckedFile : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString Path(const QString& name) const { return dir_->filePath(name); }
    QStringList Entries() const {
        return QDir(dir_->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }

    void failureKeepsOldFile_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("size");
        const QString tooLarge = QStringLiteral("ファイルが大きすぎます。");
        // A write this small is one Qt would only buffer and perform in its commit.
        QTest::newRow("small write over the limit") << "rain.txt" << tooLarge << 8000;
        QTest::newRow("large write over the limit") << "rain.txt" << tooLarge << 100000;
        QTest::newRow("missing folder") << "missing/rain.txt"
                                        << "保存先のフォルダーがありません。" << 10;
        QTest::newRow("folder in the way") << "folder"
                                           << "同じ名前のフォルダーがあります。" << 10;
        QTest::newRow("parent is a file") << "rain.txt/x.txt"
                                          << "ファイルを指しています。" << 10;
    }
    void failureKeepsOldFile() {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QFETCH(int, size);
        QVERIFY(WriteBytes(Path("rain.txt"), kOld));
        QVERIFY(QDir(dir_->path()).mkdir("folder"));
        const QStringList before = Entries();
        // Beyond the limit the write stops half-way, as on a full disk.
        const QByteArray bytes(size, 'x');
        const std::optional<QByteArray> message =
            WithFileSizeLimit(4096, [&] { return FailureOf(Path(target), bytes).toUtf8(); });
        QVERIFY(message);
        const QString text = QString::fromUtf8(*message);
        QVERIFY2(text.contains(Path(target)) && text.endsWith(reason), qPrintable(text));
        QVERIFY(!text.contains("Unknown"));
        QCOMPARE(ReadBytes(Path("rain.txt")), kOld);
        QCOMPARE(Entries(), before);
    }

    void keepsModeAndOwner() {
        const QString path = Path("rain.txt");
        QVERIFY(WriteBytes(path, kOld));
        QCOMPARE(chmod(QFile::encodeName(path).constData(), 0640), 0);
        const bool root = geteuid() == 0;
        // Root may keep another user's file theirs; others keep their own.
        const uid_t owner = root ? 65534 : geteuid();
        if (root)
            QCOMPARE(chown(QFile::encodeName(path).constData(), owner, 65534), 0);

        WriteFileAllOrNothing(path, "new\r\n");
        struct stat info {};
        QCOMPARE(stat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(info.st_mode & 07777, mode_t(0640));
        QCOMPARE(info.st_uid, owner);
        QCOMPARE(ReadBytes(path), QByteArray("new\r\n"));
        QCOMPARE(Entries(), QStringList{"rain.txt"});
    }

    void followsLink() {
        QVERIFY(WriteBytes(Path("real.txt"), kOld));
        QVERIFY(QFile::link(Path("real.txt"), Path("link.txt")));
        WriteFileAllOrNothing(Path("link.txt"), "new");
        QVERIFY(QFileInfo(Path("link.txt")).isSymLink());
        QCOMPARE(ReadBytes(Path("real.txt")), QByteArray("new"));
    }
};

QTEST_MAIN(TestCheckedFile)
#include "test_checkedfile.moc"
