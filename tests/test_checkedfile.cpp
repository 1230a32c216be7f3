// The one file writer, failed for real: a file size limit in a child process, missing
// folders, folders in the way.
#include "filesizelimit.h"
#include "formats/filename.h"
#include "platform/checkedfile.h"
#include "statistics/dataerror.h"
#include "testhelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

    // A refusal says what may not be written: the device, or the folder the file sits in.
    void refusalNamesWhatIsNotWritable() {
        const QString device = FailureOf(QStringLiteral("/dev/null"), "page");
        QVERIFY2(device.contains(QStringLiteral("装置")), qPrintable(device));
        if (geteuid() == 0)
            QSKIP("root may write into any folder");
        QVERIFY(QDir(dir_->path()).mkdir("locked"));
        const QString file = Path("locked/rain.txt");
        QVERIFY(WriteBytes(file, kOld));
        QCOMPARE(chmod(QFile::encodeName(Path("locked")).constData(), 0555), 0);
        const QString folder = FailureOf(file, "new");
        QCOMPARE(chmod(QFile::encodeName(Path("locked")).constData(), 0755), 0);
        QVERIFY2(folder.contains(QStringLiteral("保存先のフォルダー「%1」").arg(Path("locked"))),
                 qPrintable(folder));
        QCOMPARE(ReadBytes(file), kOld);
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

    // Links are written through and stay links; what the write reaches gets the bytes.
    void throughLinks_data() {
        QTest::addColumn<QStringList>("links"); // "name>target" pairs, made in order
        QTest::addColumn<QString>("written");   // where the bytes end up, or "" when refused
        QTest::addColumn<QString>("reason");
        QTest::newRow("link to a file") << QStringList{"link.txt>real.txt"} << "real.txt"
                                        << "";
        QTest::newRow("chain of links")
            << QStringList{"b.txt>real.txt", "link.txt>b.txt"} << "real.txt"
            << "";
        QTest::newRow("link to nothing") << QStringList{"link.txt>made.txt"} << "made.txt"
                                         << "";
        QTest::newRow("link to nothing in a linked folder")
            << QStringList{"sub>folder", "link.txt>sub/made.txt"} << "folder/made.txt"
            << "";
        QTest::newRow("link into a missing folder")
            << QStringList{"link.txt>missing/made.txt"} << ""
            << "保存先のフォルダーがありません。";
        QTest::newRow("loop") << QStringList{"a.txt>link.txt", "link.txt>a.txt"} << ""
                              << "シンボリックリンクが循環していて、ファイルにたどり着けません。";
        QTest::newRow("link to itself")
            << QStringList{"link.txt>link.txt"} << ""
            << "シンボリックリンクが循環していて、ファイルにたどり着けません。";
    }
    void throughLinks() {
        QFETCH(QStringList, links);
        QFETCH(QString, written);
        QFETCH(QString, reason);
        QVERIFY(WriteBytes(Path("real.txt"), kOld));
        QVERIFY(QDir(dir_->path()).mkdir("folder"));
        for (const QString& link : links) {
            const QStringList ends = link.split('>');
            QCOMPARE(symlink(ends[1].toUtf8().constData(), Path(ends[0]).toUtf8().constData()), 0);
        }
        const QStringList before = Entries();
        const QString message = FailureOf(Path("link.txt"), "new");
        QVERIFY(QFileInfo(Path("link.txt")).isSymLink());
        if (written.isEmpty()) {
            QVERIFY2(message.endsWith(reason), qPrintable(message));
            QCOMPARE(ReadBytes(Path("real.txt")), kOld);
            QCOMPARE(Entries(), before);
            return;
        }
        QCOMPARE(message, QStringLiteral("<no error>"));
        QCOMPARE(ReadBytes(Path(written)), QByteArray("new"));
        QVERIFY(!QFileInfo(Path(written)).isSymLink());
    }

    // A file without its owner's write permission stays as it is, for root as well.
    void readOnlyFileRefused_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("written");
        QTest::newRow("0444") << 0444 << false;
        QTest::newRow("0400") << 0400 << false;
        QTest::newRow("0644") << 0644 << true;
    }
    void readOnlyFileRefused() {
        QFETCH(int, mode);
        QFETCH(bool, written);
        const QString path = Path("rain.txt");
        QVERIFY(WriteBytes(path, kOld));
        QCOMPARE(chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
        const QString message = FailureOf(path, "new");
        QCOMPARE(ReadBytes(path), written ? QByteArray("new") : kOld);
        if (!written)
            QVERIFY2(message.endsWith(QStringLiteral("読み取り専用のファイルです。")),
                     qPrintable(message));
        QCOMPARE(Entries(), QStringList{"rain.txt"});
    }

    // Temporaries of the folder that no running write holds are a killed run's leftovers and
    // go, whichever page they were for; one held by a write in progress, and files that only
    // look alike, stay.
    void staleTemporaries_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("held");
        QTest::addColumn<bool>("removed");
        QTest::newRow("left by a killed run") << ".rain.pdf.quorvel-a1B2c3" << false << true;
        QTest::newRow("held by a running write") << ".rain.pdf.quorvel-a1B2c3" << true << false;
        QTest::newRow("another page's, left by a killed run")
            << ".snow.pdf.quorvel-a1B2c3" << false << true;
        QTest::newRow("another page's, held") << ".snow.pdf.quorvel-Zz0099" << true << false;
        QTest::newRow("not hidden") << "snow.pdf.quorvel-a1B2c3" << false << false;
        QTest::newRow("not of mkostemp's letters") << ".snow.pdf.quorvel-a1B2c_" << false << false;
        QTest::newRow("the mark alone") << ".quorvel-a1B2c3" << false << false;
        QTest::newRow("the user's own hidden file") << ".rain.pdf.backup" << false << false;
        QTest::newRow("longer suffix") << ".rain.pdf.quorvel-a1B2c3d" << false << false;
    }
    void staleTemporaries() {
        QFETCH(QString, name);
        QFETCH(bool, held);
        QFETCH(bool, removed);
        QVERIFY(WriteBytes(Path(name), "half a page"));
        const int fd = open(QFile::encodeName(Path(name)).constData(), O_RDONLY);
        QVERIFY(fd >= 0);
        if (held)
            QCOMPARE(flock(fd, LOCK_EX), 0);
        WriteFileAllOrNothing(Path("rain.pdf"), "page");
        close(fd);
        QCOMPARE(ReadBytes(Path("rain.pdf")), QByteArray("page"));
        QCOMPARE(QFile::exists(Path(name)), !removed);
        QCOMPARE(Entries().size(), removed ? 1 : 2);
    }

    // A name that is not UTF-8 (Shift-JIS, from an old archive) is written under its own bytes.
    void shiftJisName() {
        const QByteArray name = QFile::encodeName(dir_->path()) + "/\x89\x4A.txt"; // 雨.txt
        const QString path = DecodeFileName(name);
        WriteFileAllOrNothing(path, "new");
        struct stat info {};
        QCOMPARE(stat(name.constData(), &info), 0);
        QCOMPARE(info.st_size, off_t(3));
        // Qt's own classes cannot remove it.
        QCOMPARE(unlink(name.constData()), 0);
        QCOMPARE(Entries(), QStringList());
    }
};

QTEST_MAIN(TestCheckedFile)
#include "test_checkedfile.moc"
