#include "info/helptexts.h"

#include <QCryptographicHash>
#include <QTest>

namespace {

QByteArray Sha256(const QString& text) {
    return QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex();
}

} // namespace

class TestInfoHelpTexts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { FillHelpTexts(help); }

    void topics_data();
    void topics();
    void analysisMessage();
    void trailingBlanks_data();
    void trailingBlanks();
    void lineEndsAreOnlyCarriageReturns();

private:
    HelpTexts help;
};

void TestInfoHelpTexts::topics_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("expectedTitle");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("sha256");

    QTest::newRow("drawing") << help.drawingHelpText[0]
                             << QStringLiteral("作図方法と印刷にあたっての注意点です")
                             << HelpMessage(help.drawingHelpText) << 493
                             << QByteArray("c06f045b31971ceba4d6481fe2fdb761"
                                           "6c7a4efd9c5daca0f6f23c6af57cfa1b");
    QTest::newRow("data") << help.dataHelpText[0]
                          << QStringLiteral("データファイルの作成にあたっての注意点です")
                          << HelpMessage(help.dataHelpText) << 392
                          << QByteArray("7aa1876d5561a98c22a712fe8ea8dbfc"
                                        "c6aa0d6768fb07e7bd8a7e69d9860240");
    QTest::newRow("analysis") << help.analysisHelpText[0] << QStringLiteral("解析項目について")
                              << HelpMessage(help.analysisHelpText) << 210
                              << QByteArray("81a203ae47f1e8b8f4c58fd47ab9b5f1"
                                            "4ac662c2ffe042ff5e0d3d4c2767363a");
}

void TestInfoHelpTexts::topics() {
    QFETCH(QString, title);
    QFETCH(QString, expectedTitle);
    QFETCH(QString, message);
    QFETCH(int, length);
    QFETCH(QByteArray, sha256);
    QCOMPARE(title, expectedTitle);
    QVERIFY(!title.contains(QLatin1Char('\r')));
    QCOMPARE(message.size(), length);
    QCOMPARE(Sha256(message), sha256);
}

void TestInfoHelpTexts::analysisMessage() {
    // Written out in full once: the paragraphs are split by a doubled CR and the message stops
    // right after its last character.
    const QString expected =
        QStringLiteral("このプログラムは、データの分布形状を直線回帰して解析します。\r"
                       "ただし、回帰直線や計算結果を印字しないほうがよい場合もあると\r"
                       "想定して、回帰線や結果印字の有無を選択できるようにしました。\r\r"
                       "デフォルトでは、回帰線・計算結果ともにプリンタ出力しません。\r\r"
                       "解析結果を印字したい場合はメニュー「解析項目」で選択します。\r"
                       "何も描かない・回帰線のみ描く・回帰線と計算結果を描く、の３つ\r"
                       "のパターンのうちの１つだけが有効になります。");
    QCOMPARE(HelpMessage(help.analysisHelpText), expected);
}

void TestInfoHelpTexts::trailingBlanks_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("tail");
    QTest::newRow("drawing 1") << help.drawingHelpText[1] << QStringLiteral("です。  \r\r");
    QTest::newRow("drawing 8") << help.drawingHelpText[8] << QStringLiteral("します。 \r");
    QTest::newRow("drawing 13") << help.drawingHelpText[13]
                                << QStringLiteral("ほかの機械から印刷できます。\r\n");
    QTest::newRow("data 4") << help.dataHelpText[4] << QStringLiteral("思います。 \r\r");
    QTest::newRow("data 13") << help.dataHelpText[13] << QStringLiteral("なります。\r");
    QTest::newRow("analysis 7") << help.analysisHelpText[7] << QStringLiteral("有効になります。");
}

void TestInfoHelpTexts::trailingBlanks() {
    QFETCH(QString, entry);
    QFETCH(QString, tail);
    QVERIFY2(entry.endsWith(tail), qPrintable(entry));
}

void TestInfoHelpTexts::lineEndsAreOnlyCarriageReturns() {
    // The one line feed in all three topics closes the drawing topic.
    const QString all = HelpMessage(help.drawingHelpText) + HelpMessage(help.dataHelpText) +
                        HelpMessage(help.analysisHelpText);
    QCOMPARE(all.count(QLatin1Char('\n')), 1);
    QVERIFY(HelpMessage(help.drawingHelpText).endsWith(QStringLiteral("\r\n")));
    QCOMPARE(HelpMessage(help.drawingHelpText).count(QLatin1Char('\r')), 19);
    QCOMPARE(HelpMessage(help.dataHelpText).count(QLatin1Char('\r')), 15);
    QCOMPARE(HelpMessage(help.analysisHelpText).count(QLatin1Char('\r')), 8);
}

QTEST_APPLESS_MAIN(TestInfoHelpTexts)
#include "test_info_helptexts.moc"
