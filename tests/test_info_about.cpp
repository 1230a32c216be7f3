#include "info/frmabout.h"
#include "platform/widgets.h"

#include "fakeplatform.h"
#include "testhelpers.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

const QString kToolKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH");
const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO");
const QString kUnavailable = QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません");

RegistryValue Text(const QByteArray& bytes) {
    return RegistryValue{kRegSz, bytes};
}

} // namespace

class TestInfoAbout : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallFontSubstitutions(); }
    void cleanup() { RunDeferredDeletes(); }

    void texts();
    void closes_data();
    void closes();
    void sysInfoButtonStartsTheTool();
    void startSysInfo_data();
    void startSysInfo();
    void getKeyValue_data();
    void getKeyValue();
};

void TestInfoAbout::texts() {
    FakePlatform fake;
    frmAbout about(fake.platform);
    QCOMPARE(about.windowTitle(), QStringLiteral("Quorvelのﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(Child<QLabel>(&about, QStringLiteral("lblTitle"))->text(),
             QStringLiteral("プログラム名  Quorvel.exe "));
    QCOMPARE(Child<QLabel>(&about, QStringLiteral("lblVersion"))->text(),
             QStringLiteral("バージョン     4.2.1002"));
    QCOMPARE(Child<QLabel>(&about, QStringLiteral("lblDescription"))->text(),
             QStringLiteral("任意の年データの非超過確率を計算・解析して"
                            "画面とプリンタに出力・印刷するプログラムです"));
    QCOMPARE(Child<QLabel>(&about, QStringLiteral("Label1"))->text(),
             QStringLiteral("このプログラムについての照会先"));
    QVERIFY(!Child<QLabel>(&about, QStringLiteral("picIcon"))->pixmap().isNull());
    QVERIFY(!about.isModal());
    QCOMPARE(about.size(), TwipsRect(0, 0, 4965, 3705).size());
    auto* ok = Child<QPushButton>(&about, QStringLiteral("cmdOK"));
    QVERIFY(ok->isDefault());
    QCOMPARE(Child<QPushButton>(&about, QStringLiteral("cmdSysInfo"))->text(),
             QStringLiteral("ｼｽﾃﾑ情報(&S)..."));
    QVERIFY(fake.messages.shown.isEmpty());
}

void TestInfoAbout::closes_data() {
    QTest::addColumn<bool>("byEscape");
    QTest::newRow("OK") << false;
    QTest::newRow("Escape") << true;
}

void TestInfoAbout::closes() {
    QFETCH(bool, byEscape);
    FakePlatform fake;
    QPointer<frmAbout> about = new frmAbout(fake.platform);
    about->show();
    QVERIFY(QTest::qWaitForWindowExposed(about));
    if (byEscape)
        QTest::keyClick(about, Qt::Key_Escape);
    else
        Child<QPushButton>(about, QStringLiteral("cmdOK"))->click();
    QVERIFY(about.isNull() || !about->isVisible());
    RunDeferredDeletes();
    QVERIFY(about.isNull());
}

void TestInfoAbout::sysInfoButtonStartsTheTool() {
    FakePlatform fake;
    fake.registry.values[kToolKey] = Text("C:\\Tools\\msinfo32.exe");
    frmAbout about(fake.platform);
    Child<QPushButton>(&about, QStringLiteral("cmdSysInfo"))->click();
    QCOMPARE(fake.process.started, QStringList{QStringLiteral("C:\\Tools\\msinfo32.exe")});
}

void TestInfoAbout::startSysInfo_data() {
    QTest::addColumn<QByteArray>("toolPath");     // null: no entry
    QTest::addColumn<QByteArray>("toolLocation"); // null: no entry
    QTest::addColumn<QStringList>("existingFiles");
    QTest::addColumn<bool>("startSucceeds");
    QTest::addColumn<QStringList>("started");
    QTest::addColumn<bool>("unavailable");

    const QStringList none;
    QTest::newRow("tool entry") << QByteArray("C:\\Program Files\\MSINFO32.EXE\0junk", 34)
                                << QByteArray() << none << true
                                << QStringList{"C:\\Program Files\\MSINFO32.EXE"} << false;
    QTest::newRow("tool entry wins over location")
        << QByteArray("D:\\msinfo.exe") << QByteArray("C:\\Shared")
        << QStringList{"C:\\Shared\\MSINFO32.EXE"} << true << QStringList{"D:\\msinfo.exe"}
        << false;
    QTest::newRow("location, file present")
        << QByteArray() << QByteArray("C:\\Shared") << QStringList{"C:\\Shared\\MSINFO32.EXE"}
        << true << QStringList{"C:\\Shared\\MSINFO32.EXE"} << false;
    QTest::newRow("location, file missing")
        << QByteArray() << QByteArray("C:\\Shared") << none << true << none << true;
    QTest::newRow("no entries") << QByteArray() << QByteArray() << none << true << none << true;
    QTest::newRow("start fails") << QByteArray("C:\\msinfo32.exe") << QByteArray() << none << false
                                 << QStringList{"C:\\msinfo32.exe"} << true;
    QTest::newRow("location start fails")
        << QByteArray() << QByteArray("C:\\Shared") << QStringList{"C:\\Shared\\MSINFO32.EXE"}
        << false << QStringList{"C:\\Shared\\MSINFO32.EXE"} << true;
}

void TestInfoAbout::startSysInfo() {
    QFETCH(QByteArray, toolPath);
    QFETCH(QByteArray, toolLocation);
    QFETCH(QStringList, existingFiles);
    QFETCH(bool, startSucceeds);
    QFETCH(QStringList, started);
    QFETCH(bool, unavailable);

    FakePlatform fake;
    if (!toolPath.isNull())
        fake.registry.values[kToolKey] = Text(toolPath);
    if (!toolLocation.isNull())
        fake.registry.values[kLocationKey] = Text(toolLocation);
    fake.process.existingFiles = existingFiles;
    fake.process.startSucceeds = startSucceeds;

    StartSysInfo(fake.platform, nullptr);

    QCOMPARE(fake.process.started, started);
    QCOMPARE(fake.messages.shown.size(), unavailable ? 1 : 0);
    if (unavailable) {
        QCOMPARE(fake.messages.shown[0].text, kUnavailable);
        QCOMPARE(fake.messages.shown[0].caption, QStringLiteral("Quorvel"));
    }
}

void TestInfoAbout::getKeyValue_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<uint32_t>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("keyVal");

    // KeyVal holds "old" before each lookup.
    QTest::newRow("string") << true << kRegSz << QByteArray("C:\\WINDOWS") << true
                            << QStringLiteral("C:\\WINDOWS");
    QTest::newRow("string cut at NUL")
        << true << kRegSz << QByteArray("C:\\A\0B\0", 7) << true << QStringLiteral("C:\\A");
    QTest::newRow("empty string") << true << kRegSz << QByteArray("\0", 1) << true << QString();
    QTest::newRow("number 1") << true << kRegDword << QByteArray("\x01\0\0\0", 4) << true
                              << QStringLiteral("1");
    QTest::newRow("number 0x12345678") << true << kRegDword << QByteArray("\x78\x56\x34\x12", 4)
                                       << true << QStringLiteral("305419896");
    QTest::newRow("number 256, low byte zero")
        << true << kRegDword << QByteArray("\0\x01\0\0", 4) << true << QStringLiteral("256");
    QTest::newRow("number 0x0105, small byte")
        << true << kRegDword << QByteArray("\x05\x01\0\0", 4) << true << QStringLiteral("261");
    QTest::newRow("number 0") << true << kRegDword << QByteArray("\0\0\0\0", 4) << true
                              << QStringLiteral("0");
    QTest::newRow("largest number") << true << kRegDword << QByteArray("\xff\xff\xff\xff", 4)
                                    << true << QStringLiteral("4294967295");
    QTest::newRow("other type") << true << 3u << QByteArray("\x01\x02", 2) << true
                                << QStringLiteral("old");
    QTest::newRow("missing") << false << kRegSz << QByteArray() << false << QString();
    QTest::newRow("longer than the buffer")
        << true << kRegSz << QByteArray(1025, 'x') << false << QString();
    QTest::newRow("fills the buffer")
        << true << kRegSz << QByteArray(1024, 'x') << true << QString(1024, QLatin1Char('x'));
}

void TestInfoAbout::getKeyValue() {
    QFETCH(bool, present);
    QFETCH(uint32_t, type);
    QFETCH(QByteArray, data);
    QFETCH(bool, result);
    QFETCH(QString, keyVal);

    FakeRegistry registry;
    if (present)
        registry.values[QStringLiteral("SOFTWARE\\Test|Value")] = RegistryValue{type, data};
    QString value = QStringLiteral("old");
    QCOMPARE(GetKeyValue(registry, kHkeyLocalMachine, QStringLiteral("SOFTWARE\\Test"),
                         QStringLiteral("Value"), value),
             result);
    QCOMPARE(value, keyVal);
    QCOMPARE(registry.lookups, QStringList{QStringLiteral("SOFTWARE\\Test|Value")});
}

QTEST_MAIN(TestInfoAbout)
#include "test_info_about.moc"
