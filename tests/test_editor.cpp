#include "editor/form3.h"
#include "editor/form4.h"
#include "fakeplatform.h"
#include "filesizelimit.h"
#include "platform/widgets.h"
#include "state/appstate.h"
#include "statistics/dataerror.h"
#include "testhelpers.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include <array>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kDesignCaption = QStringLiteral("zivived < データファイルの作成 >");
const QString kNewDataCaption = QStringLiteral("zivived < 新規の編集 >");

struct FakeHost : EditorHost {
    int saved = 0;
    int forced = 0;
    std::function<void()> onSaved;
    std::function<void()> onForced;
    void EditorSavedAndFinished() override {
        ++saved;
        if (onSaved)
            onSaved();
    }
    void EditorForcedEnd() override {
        ++forced;
        if (onForced)
            onForced();
    }
};

QByteArray NumberedLines(int count) {
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += "   " + QByteArray::number(1700 + i) + "   " + QByteArray::number(i + 1) + "\r\n";
    return bytes;
}

} // namespace

class TestEditor : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakePlatform> fake_;
    std::unique_ptr<AppState> state_;
    std::unique_ptr<FakeHost> host_;
    std::unique_ptr<QTemporaryDir> dir_;
    QPointer<Form3> form_;

    QString Path(const QString& name) const { return dir_->filePath(name); }
    QAction* Item(const char* name) const {
        return form_->findChild<QAction*>(QString::fromLatin1(name));
    }
    QPlainTextEdit* Box() const { return form_->findChild<QPlainTextEdit*>("Text1"); }
    Form4* Dialog() const { return form_->findChild<Form4*>("Form4"); }

    void Open(const QString& path) {
        fake_->files.openAnswers << path;
        Item("EmnuFileOpenItem")->trigger();
    }
    void SaveAndFinish(const QString& path) {
        fake_->files.saveAnswers << path;
        Item("EmnuFileSaveItem")->trigger();
    }
    void Generate(const QString& first, const QString& last) {
        Item("EmnuFileNewItem")->trigger();
        Form4* dialog = Dialog();
        QVERIFY(dialog);
        dialog->findChild<QLineEdit*>("Text1")->setText(first);
        dialog->findChild<QLineEdit*>("Text2")->setText(last);
        QTest::mouseClick(dialog->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    }

private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    void init() {
        fake_ = std::make_unique<FakePlatform>();
        state_ = std::make_unique<AppState>();
        host_ = std::make_unique<FakeHost>();
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        form_ = new Form3(*state_, fake_->platform, *host_);
    }

    void cleanup() {
        delete form_;
        RunDeferredDeletes();
    }

    void design() {
        QCOMPARE(form_->windowTitle(), kDesignCaption);
        QVERIFY(form_->isWindow());
        QStringList captions;
        for (const QAction* item : form_->findChild<QMenu*>("EmnuFile")->actions())
            captions << (item->isSeparator() ? QStringLiteral("-") : item->text());
        QCOMPARE(captions, (QStringList{"新規作成(&N)", "開く(&O)", "-", "保存終了(&S)", "-",
                                        "強制終了(&X)"}));
        QVERIFY(!Item("EmnuFileSaveItem")->isEnabled());
        QVERIFY(Box()->toPlainText().isEmpty());
        QCOMPARE(form_->centralWidget()->size(), QSize(TwipsToPixels(5280), TwipsToPixels(5745)));
        QVERIFY(form_->findChild<QLabel*>("Label1")->text().endsWith(
            "  特にリターンキーは使わないで編集してください。"));
    }

    void openThenSave_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("editorText");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("CR LF") << QByteArray("1990 10\r\n1991 20\r\n") << "1990 10\r\n1991 20"
                               << QByteArray("1990 10\r\n1991 20\r\n");
        QTest::newRow("CR") << QByteArray("1990 10\r1991 20\r") << "1990 10\r\n1991 20"
                            << QByteArray("1990 10\r\n1991 20\r\n");
        QTest::newRow("LF") << QByteArray("1990 10\n1991 20\n") << "1990 10\r\n1991 20"
                            << QByteArray("1990 10\r\n1991 20\r\n");
        QTest::newRow("no final end") << QByteArray("1990 10\r\n1991 20") << "1990 10\r\n1991 20"
                                      << QByteArray("1990 10\r\n1991 20\r\n");
        QTest::newRow("mixed ends") << QByteArray("a\rb\nc\r\nd") << "a\r\nb\r\nc\r\nd"
                                    << QByteArray("a\r\nb\r\nc\r\nd\r\n");
        QTest::newRow("empty line kept") << QByteArray("a\r\n\r\nb\r\n\r\n") << "a\r\n\r\nb\r\n"
                                         << QByteArray("a\r\n\r\nb\r\n\r\n");
        QTest::newRow("one line end only") << QByteArray("\r\n") << "" << QByteArray("\r\n");
    }
    void openThenSave() {
        QFETCH(QByteArray, file);
        QFETCH(QString, editorText);
        QFETCH(QByteArray, saved);
        const QString path = Path("rain.txt");
        QVERIFY(WriteBytes(path, file));

        Open(path);
        QCOMPARE(state_->editor.editorText, editorText);
        QCOMPARE(form_->windowTitle(), "zivived < " + path + " >");
        QVERIFY(Item("EmnuFileSaveItem")->isEnabled());
        QVERIFY(fake_->messages.shown.isEmpty());

        SaveAndFinish(path);
        QCOMPARE(ReadBytes(path), saved);
        QCOMPARE(host_->saved, 1);
        QCOMPARE(state_->dataFileName, path);
        // The save dialog offers what the open dialog chose.
        QCOMPARE(fake_->files.initialPathsSeen, (QStringList{QString(), path}));
        QCOMPARE(fake_->files.filtersSeen,
                 QStringList(2, "すべてのファイル (*)|*|テキスト ファイル (*.txt)|*.txt"));
    }

    void typedText_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("trailing Return") << "1990 5\n" << QByteArray("1990 5\r\n\r\n");
        QTest::newRow("blank line") << "1990 5\n\n1991 6" << QByteArray("1990 5\r\n\r\n1991 6\r\n");
        QTest::newRow("empty box") << "" << QByteArray("\r\n");
        QTest::newRow("Shift+Return") << "1990 5\t1991 6" << QByteArray("1990 5\r\n1991 6\r\n");
    }
    void typedText() {
        QFETCH(QString, typed);
        QFETCH(QByteArray, saved);
        Generate("1990", "1990");
        Box()->clear();
        // Typed key by key: a line feed in the row stands for the Return key.
        for (const QChar c : typed) {
            if (c == u'\n')
                QTest::keyClick(Box(), Qt::Key_Return);
            else if (c == u'\t')
                QTest::keyClick(Box(), Qt::Key_Return, Qt::ShiftModifier);
            else
                QTest::keyClicks(Box(), QString(c));
        }
        SaveAndFinish(Path("typed.txt"));
        QCOMPARE(ReadBytes(Path("typed.txt")), saved);
    }

    void lineLimit_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("loads");
        QTest::newRow("257") << 257 << true;
        QTest::newRow("258") << 258 << false;
    }
    void lineLimit() {
        QFETCH(int, lines);
        QFETCH(bool, loads);
        const QString path = Path("long.txt");
        QVERIFY(WriteBytes(path, NumberedLines(lines)));
        Open(path);
        QCOMPARE(Box()->blockCount() == lines, loads);
        QCOMPARE(fake_->messages.shown.size(), loads ? 0 : 1);
        // A refused file leaves the lines of the text on show.
        QCOMPARE(state_->editor.editorLineCount, loads ? 257 : 0);
    }

    void failedOpen_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("earlierFile");
        QTest::newRow("empty file, fresh editor") << "empty.txt" << QByteArray() << false;
        QTest::newRow("empty file after an open") << "empty.txt" << QByteArray() << true;
        QTest::newRow("258 lines") << "long.txt" << NumberedLines(258) << true;
        QTest::newRow("missing file") << "missing.txt" << QByteArray("-") << true;
        QTest::newRow("folder") << "folder" << QByteArray("/") << true;
    }
    void failedOpen() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, earlierFile);
        if (bytes == "/")
            QVERIFY(QDir(dir_->path()).mkdir(name));
        else if (bytes != "-")
            QVERIFY(WriteBytes(Path(name), bytes));
        if (earlierFile) {
            QVERIFY(WriteBytes(Path("good.txt"), "1990 10\r\n"));
            Open(Path("good.txt"));
        }
        const QString textBefore = Box()->toPlainText();
        const QString captionBefore = form_->windowTitle();
        const QString nameBefore = state_->editor.editorFileName;
        const bool saveBefore = Item("EmnuFileSaveItem")->isEnabled();

        Open(Path(name));
        // Caption, name and text stay together: a save cannot put this text under the refused
        // file's name.
        QCOMPARE(form_->windowTitle(), captionBefore);
        QCOMPARE(state_->editor.editorFileName, nameBefore);
        QCOMPARE(Box()->toPlainText(), textBefore);
        QCOMPARE(Item("EmnuFileSaveItem")->isEnabled(), saveBefore);
        QCOMPARE(fake_->messages.shown.size(), 1);
        QCOMPARE(fake_->messages.shown[0].caption, kAppTitle);
        QVERIFY(fake_->messages.shown[0].text.contains(Path(name)));
        if (saveBefore) {
            Item("EmnuFileSaveItem")->trigger(); // cancelled: only the name offered is seen
            QCOMPARE(fake_->files.initialPathsSeen.last(), nameBefore);
        }
    }

    void cancelChangesNothing() {
        QVERIFY(WriteBytes(Path("good.txt"), "1990 10\r\n"));
        Open(Path("good.txt"));
        Box()->setPlainText("typed");
        const QString caption = form_->windowTitle();

        Item("EmnuFileOpenItem")->trigger(); // both queues empty: cancel
        Item("EmnuFileSaveItem")->trigger();
        QCOMPARE(form_->windowTitle(), caption);
        QCOMPARE(Box()->toPlainText(), QStringLiteral("typed"));
        QVERIFY(Item("EmnuFileSaveItem")->isEnabled());
        QCOMPARE(ReadBytes(Path("good.txt")), QByteArray("1990 10\r\n"));
        QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{"good.txt"});
        QCOMPARE(host_->saved + host_->forced, 0);
        QVERIFY(fake_->messages.shown.isEmpty());
        RunDeferredDeletes();
        QVERIFY(form_);
    }

    void failedSaveKeepsEverything_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("parent is a file") << "good.txt/rain.txt";
        QTest::newRow("target is a folder") << "folder";
        QTest::newRow("read-only folder") << "locked/good.txt";
    }
    void failedSaveKeepsEverything() {
        QFETCH(QString, target);
        QVERIFY(WriteBytes(Path("good.txt"), "1990 10\r\n"));
        QVERIFY(QDir(dir_->path()).mkdir("folder"));
        QVERIFY(WriteBytes(Path("folder/inside.txt"), "kept"));
        if (target.startsWith("locked")) {
            if (geteuid() == 0)
                QSKIP("Permissions do not stop root from writing.");
            QVERIFY(QDir(dir_->path()).mkdir("locked"));
            QVERIFY(WriteBytes(Path(target), "old contents\r\n"));
            QVERIFY(QFile::setPermissions(Path("locked"), QFile::ReadOwner | QFile::ExeOwner));
        }
        Open(Path("good.txt"));
        Box()->setPlainText("1990 10\n1991 20");

        SaveAndFinish(Path(target));
        QFile::setPermissions(Path("locked"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(fake_->messages.shown.size(), 1);
        QCOMPARE(host_->saved + host_->forced, 0);
        RunDeferredDeletes();
        QVERIFY(form_);
        QCOMPARE(Box()->toPlainText(), QStringLiteral("1990 10\n1991 20"));
        QVERIFY(Item("EmnuFileSaveItem")->isEnabled());
        QVERIFY(state_->dataFileName.isEmpty());
        QCOMPARE(ReadBytes(Path("good.txt")), QByteArray("1990 10\r\n"));
        QCOMPARE(ReadBytes(Path("folder/inside.txt")), QByteArray("kept"));
        if (target.startsWith("locked"))
            QCOMPARE(ReadBytes(Path(target)), QByteArray("old contents\r\n"));
    }

    void encodingRoundTrip_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("shown");
        // Only a file in no known encoding is told about: it is shown one byte a character.
        QTest::addColumn<bool>("toldOfBytes");
        // 西暦年 降水量 ～ ｱ in code page 932.
        QTest::newRow("Shift-JIS")
            << QByteArray("\x90\xbc\x97\xef\x94\x4e \x8d\x7e\x90\x85\x97\xca\r\n"
                          "1990 1200 \x81\x60\xb1\r\n")
            << QStringLiteral("西暦年 降水量\n1990 1200 ～ｱ") << false;
        QTest::newRow("UTF-8") << QByteArray("西暦年 降水量\r\n1990 1200\r\n")
                               << QStringLiteral("西暦年 降水量\n1990 1200") << false;
        QTest::newRow("UTF-8 with BOM")
            << QByteArray("\xEF\xBB\xBF降水量\r\n") << QStringLiteral("降水量") << false;
        QTest::newRow("neither") << QByteArray("1990 \xff\xfe\x80\r\n") << QString() << true;
        QTest::newRow("Shift-JIS with one bad byte")
            << QByteArray("\x8d\x7e\x90\x85\x97\xca\x80 1990\r\n") << QString() << true;
        QTest::newRow("NEC and IBM rows")
            << QByteArray("\x87\x90\xed\x40 \x81\xca\r\n") << QStringLiteral("≒纊 ￢") << false;
        QTest::newRow("UTF-8 with two BOMs") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF降水量\r\n")
                                             << QStringLiteral("\uFEFF降水量") << false;
        QTest::newRow("separators inside lines")
            << QByteArray("a\u2028b\u2029c\uFEFFd\r\ne\r\n") << QString() << false;
        // The converter reads 0x1C as U+007F; the save would write 0x7F.
        QTest::newRow("kanji then a control bad byte")
            << QByteArray("\x99\x8d\x1c\r\n") << QString() << true;
        QTest::newRow("Shift-JIS, CR only")
            << QByteArray("\x8d\x7e\r\x90\x85\r") << QString() << false;
        // A spreadsheet's "Unicode テキスト" in either byte order, saved back as it came.
        const QString unicodeText = QStringLiteral("西暦年\t降水量\r\n1990\t1200\r\n");
        QTest::newRow("UTF-16 LE")
            << "\xFF\xFE" +
                   QByteArray(QStringEncoder(QStringConverter::Utf16LE).encode(unicodeText))
            << QStringLiteral("西暦年\t降水量\n1990\t1200") << false;
        QTest::newRow("UTF-16 BE")
            << "\xFE\xFF" +
                   QByteArray(QStringEncoder(QStringConverter::Utf16BE).encode(unicodeText))
            << QStringLiteral("西暦年\t降水量\n1990\t1200") << false;
        // Only the first mark is the encoding's; a second is text and is saved back.
        const QString marked = QStringLiteral("\uFEFF1990\r\n");
        QTest::newRow("UTF-16 LE with two BOMs")
            << "\xFF\xFE" + QByteArray(QStringEncoder(QStringConverter::Utf16LE).encode(marked))
            << QStringLiteral("\uFEFF1990") << false;
        QTest::newRow("UTF-16 BE with two BOMs")
            << "\xFE\xFF" + QByteArray(QStringEncoder(QStringConverter::Utf16BE).encode(marked))
            << QStringLiteral("\uFEFF1990") << false;
    }
    void encodingRoundTrip() {
        QFETCH(QByteArray, file);
        QFETCH(QString, shown);
        QFETCH(bool, toldOfBytes);
        QVERIFY(WriteBytes(Path("kanji.txt"), file));
        Open(Path("kanji.txt"));
        if (!shown.isNull())
            QCOMPARE(Box()->toPlainText(), shown);
        QCOMPARE(fake_->messages.shown.size(), toldOfBytes ? 1 : 0);
        SaveAndFinish(Path("copy.txt"));
        QByteArray saved = file;
        const bool utf16 = file.startsWith("\xFF\xFE") || file.startsWith("\xFE\xFF");
        if (!utf16 && !saved.contains("\r\n"))
            saved.replace('\r', "\r\n");
        QCOMPARE(ReadBytes(Path("copy.txt")), saved);
    }

    void typedIntoShiftJis_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("stored");
        // What input methods type, under code page 932's code for the same character.
        QTest::newRow("wave dash") << QStringLiteral("\u301C") << QByteArray("\x81\x60");
        QTest::newRow("minus sign") << QStringLiteral("\u2212") << QByteArray("\x81\x7C");
        QTest::newRow("double vertical line") << QStringLiteral("\u2016") << QByteArray("\x81\x61");
        QTest::newRow("em dash") << QStringLiteral("\u2014") << QByteArray("\x81\x5C");
        QTest::newRow("cent and pound")
            << QStringLiteral("\u00A2\u00A3") << QByteArray("\x81\x91\x81\x92");
        QTest::newRow("not sign, broken bar")
            << QStringLiteral("\u00AC\u00A6") << QByteArray("\x81\xCA\xFA\x55");
        QTest::newRow("kanji") << QStringLiteral("降水量")
                               << QByteArray("\x8d\x7e\x90\x85\x97\xca");
    }
    void typedIntoShiftJis() {
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);
        // A new file is Shift-JIS like a file read as Shift-JIS.
        Generate("1990", "1990");
        QTextCursor(Box()->document()).insertText(typed);
        SaveAndFinish(Path("typed.txt"));
        QVERIFY(fake_->messages.shown.isEmpty());
        QCOMPARE(ReadBytes(Path("typed.txt")), stored + "   1990   \r\n");
    }

    void refusedCharacter_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("typed");
        QTest::newRow("euro in Shift-JIS") << QByteArray("\x8d\x7e\r\n1990 5\r\n") << "€";
        QTest::newRow("yen in Shift-JIS") << QByteArray("a\r\n1990 5\r\n") << "¥";
        QTest::newRow("emoji in Shift-JIS") << QByteArray("a\r\n1990 5\r\n") << "😀";
        QTest::newRow("kana in a byte file") << QByteArray("\xff\r\n1990 5\r\n") << "あ";
    }
    void refusedCharacter() {
        QFETCH(QByteArray, file);
        QFETCH(QString, typed);
        QVERIFY(WriteBytes(Path("rain.txt"), file));
        Open(Path("rain.txt"));
        fake_->messages.clear();
        QTextCursor cursor(Box()->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(typed);
        SaveAndFinish(Path("rain.txt"));
        QCOMPARE(fake_->messages.shown.size(), 1);
        const QString message = fake_->messages.shown[0].text;
        QVERIFY2(message.contains("2 行目") && message.contains("「" + typed + "」"),
                 qPrintable(message));
        QCOMPARE(ReadBytes(Path("rain.txt")), file);
        QCOMPARE(host_->saved, 0);
        QVERIFY(Box()->toPlainText().endsWith(typed));
    }

    void failedWriteKeepsText() {
        const QByteArray old = NumberedLines(3);
        QVERIFY(WriteBytes(Path("rain.txt"), old));
        Open(Path("rain.txt"));
        const QString typed = QString::fromLatin1(NumberedLines(200));
        Box()->setPlainText(typed);
        // The child saves on a disk that takes 1 KiB; the box and the messages come back.
        const std::optional<QByteArray> answer = WithFileSizeLimit(1024, [&] {
            SaveAndFinish(Path("rain.txt"));
            RunDeferredDeletes();
            QByteArray reply = form_ && host_->saved == 0 ? "open\n" : "closed\n";
            for (const ShownMessage& shown : fake_->messages.shown)
                reply += shown.text.toUtf8() + "\n";
            return reply + (form_ ? Box()->toPlainText().toUtf8() : QByteArray());
        });
        QVERIFY(answer);
        const QList<QByteArray> parts = answer->split('\n');
        QCOMPARE(parts.value(0), QByteArray("open"));
        QVERIFY2(parts.value(1).contains(Path("rain.txt").toUtf8()) &&
                     parts.value(1).contains("ファイルが大きすぎます"),
                 parts.value(1).constData());
        QCOMPARE(answer->mid(parts[0].size() + parts[1].size() + 2),
                 typed.toUtf8().replace("\r\n", "\n"));
        QCOMPARE(ReadBytes(Path("rain.txt")), old);
        QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"rain.txt"});
    }

    void openRefuses_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("said");
        QTest::newRow("pipe") << "fifo"
                              << "普通のファイルではない";
        QTest::newRow("device") << "/dev/zero"
                                << "普通のファイルではない";
        QTest::newRow("line of 4097") << "long.txt"
                                      << "4096 文字";
        QTest::newRow("a picture") << "picture.png"
                                   << "テキストファイルではない";
    }
    void openRefuses() {
        QFETCH(QString, path);
        QFETCH(QString, said);
        if (path == "fifo")
            QCOMPARE(mkfifo(QFile::encodeName(Path(path)).constData(), 0600), 0);
        if (path == "picture.png")
            QVERIFY(WriteBytes(Path(path), QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)));
        if (path == "long.txt")
            QVERIFY(WriteBytes(Path(path), "1990 5\r\n" + QByteArray(4097, '1') + "\r\n"));
        if (!path.startsWith('/'))
            path = Path(path);
        Open(path);
        QCOMPARE(fake_->messages.shown.size(), 1);
        QVERIFY2(fake_->messages.shown[0].text.contains(said),
                 qPrintable(fake_->messages.shown[0].text));
        QVERIFY(Box()->toPlainText().isEmpty());
        // The longest line allowed still opens.
        if (said.startsWith("4096")) {
            QVERIFY(WriteBytes(path, "1990 5\r\n" + QByteArray(4096, '1') + "\r\n"));
            Open(path);
            QCOMPARE(Box()->blockCount(), 2);
        }
    }

    // Saving hands the file over; a forced end (menu or close box) hands nothing over. Either
    // way both windows are hidden before the main window hears of it, then deleted.
    void finishes_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("save and finish") << "save";
        QTest::newRow("forced end from the menu") << "menu";
        QTest::newRow("forced end by the close box") << "close box";
    }
    void finishes() {
        QFETCH(QString, how);
        const bool save = how == "save";
        form_->show();
        Generate("2000", "2001");
        QPointer<Form4> dialog = Dialog();
        Item("EmnuFileNewItem")->trigger(); // the dialog is open again when the editor ends
        bool windowsHidden = false;
        QString dataFileAtCall;
        host_->onSaved = host_->onForced = [&] {
            windowsHidden = !form_->isVisible() && (!dialog || !dialog->isVisible());
            dataFileAtCall = state_->dataFileName;
        };
        if (save)
            SaveAndFinish(Path("new.txt"));
        else if (how == "close box")
            form_->close();
        else
            Item("EmnuEndItem")->trigger();
        QCOMPARE(host_->saved, save ? 1 : 0);
        QCOMPARE(host_->forced, save ? 0 : 1);
        // Save and finish closes only once the analysis has taken the file.
        QCOMPARE(windowsHidden, !save);
        if (save) {
            QCOMPARE(dataFileAtCall, Path("new.txt"));
            QCOMPARE(state_->editor.editorFileName, Path("new.txt"));
            QCOMPARE(ReadBytes(Path("new.txt")), QByteArray("   2000   \r\n   2001   \r\n"));
        } else {
            QVERIFY(state_->dataFileName.isEmpty());
            QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList());
        }
        QTRY_VERIFY(form_.isNull() && dialog.isNull());
    }

    // Whatever would set the text aside asks first when it was changed: はい saves through the
    // save dialog (and on closing hands the file over as 保存終了 does), いいえ lets it go,
    // キャンセル keeps the editor as it was.
    void saveQuestion_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("edited");
        QTest::addColumn<int>("answer");
        const char* answers[] = {"yes", "no", "cancel"};
        for (const char* how : {"close box", "forced end", "open", "new"}) {
            QTest::addRow("%s, unchanged", how) << QString::fromLatin1(how) << false << 0;
            for (int answer = 0; answer < 3; ++answer)
                QTest::addRow("%s, changed, %s", how, answers[answer])
                    << QString::fromLatin1(how) << true << answer;
        }
    }
    void saveQuestion() {
        QFETCH(QString, how);
        QFETCH(bool, edited);
        QFETCH(int, answer);
        const auto reply = std::array{Answer::Yes, Answer::No, Answer::Cancel}[answer];
        form_->show();
        QVERIFY(WriteBytes(Path("good.txt"), "1990 10\r\n"));
        QVERIFY(WriteBytes(Path("other.txt"), "2000 5\r\n"));
        Open(Path("good.txt"));
        const QString typed = QStringLiteral("1990 10\n1991 20");
        if (edited)
            Box()->setPlainText(typed);
        const QString before = Box()->toPlainText();
        fake_->messages.answers << reply;
        fake_->files.saveAnswers << Path("saved.txt");

        if (how == "close box")
            form_->close();
        else if (how == "forced end")
            Item("EmnuEndItem")->trigger();
        else if (how == "open")
            Open(Path("other.txt"));
        else
            Generate("2000", "2001");

        QCOMPARE(fake_->messages.asked.size(), edited ? 1 : 0);
        if (edited)
            QCOMPARE(fake_->messages.asked[0].text, QStringLiteral("変更を保存しますか"));
        const bool goesOn = !edited || reply != Answer::Cancel;
        const bool handedOver =
            edited && reply == Answer::Yes && (how == "close box" || how == "forced end");
        if (how == "close box" || how == "forced end") {
            QCOMPARE(host_->forced, goesOn && !handedOver ? 1 : 0);
            QCOMPARE(form_->isVisible(), !goesOn);
        } else if (how == "open") {
            QCOMPARE(Box()->toPlainText(), goesOn ? QStringLiteral("2000 5") : before);
        } else {
            QCOMPARE(Box()->toPlainText().startsWith(QStringLiteral("   2000")), goesOn);
        }
        QCOMPARE(host_->saved, handedOver ? 1 : 0);
        if (handedOver)
            QCOMPARE(state_->dataFileName, Path("saved.txt"));
        QCOMPARE(QFile::exists(Path("saved.txt")), edited && reply == Answer::Yes);
        if (edited && reply == Answer::Yes)
            QCOMPARE(ReadBytes(Path("saved.txt")), QByteArray("1990 10\r\n1991 20\r\n"));
        QCOMPARE(ReadBytes(Path("good.txt")), QByteArray("1990 10\r\n"));
    }

    // Save and finish on a file the analysis refuses: the file is saved, the editor stays open
    // with the offending line selected, and closing it then asks nothing.
    void refusedHandOverKeepsTheEditor() {
        form_->show();
        Generate("2001", "2003");
        Box()->setPlainText("2001 5\n2002 6\n2003 7\n");
        host_->onSaved = [] { throw DataError(QStringLiteral("4 行目：空白行があります。"), 4); };
        SaveAndFinish(Path("new.txt"));
        QCOMPARE(host_->saved, 1);
        QCOMPARE(fake_->messages.shown.size(), 1);
        QVERIFY(fake_->messages.shown[0].text.startsWith(QStringLiteral("4 行目")));
        RunDeferredDeletes();
        QVERIFY(form_ && form_->isVisible());
        QCOMPARE(Box()->textCursor().blockNumber(), 3);
        QCOMPARE(ReadBytes(Path("new.txt")), QByteArray("2001 5\r\n2002 6\r\n2003 7\r\n\r\n"));
        QVERIFY(!form_->HasChanges());
        form_->close();
        QVERIFY(fake_->messages.asked.isEmpty());
        QCOMPARE(host_->forced, 1);
    }

    // はい to the close question runs the checks of 保存終了: a file the analysis refuses keeps
    // the editor open at the line, whether the close box or the program's end asked.
    void closeQuestionSaveIsChecked_data() {
        QTest::addColumn<bool>("programEnd");
        QTest::newRow("close box") << false;
        QTest::newRow("program's end") << true;
    }
    void closeQuestionSaveIsChecked() {
        QFETCH(bool, programEnd);
        form_->show();
        Generate("2001", "2003");
        Box()->setPlainText("   2001   \n   2002   6\n   2003   7");
        host_->onSaved = [] { throw DataError(QStringLiteral("1 行目に値がありません。"), 1); };
        fake_->messages.answers << Answer::Yes;
        fake_->files.saveAnswers << Path("typed.txt");
        if (programEnd)
            QVERIFY(!form_->CloseAfterAsking());
        else
            form_->close();
        QCOMPARE(host_->saved, 1);
        QCOMPARE(host_->forced, 0);
        QCOMPARE(fake_->messages.shown.size(), 1);
        QVERIFY(fake_->messages.shown[0].text.startsWith(QStringLiteral("1 行目")));
        RunDeferredDeletes();
        QVERIFY(form_ && form_->isVisible());
        QCOMPARE(Box()->textCursor().blockNumber(), 0);
        QVERIFY(QFile::exists(Path("typed.txt")));
    }

    // はい before 開く holds the text to the reading of a data file too: a record without its
    // value is told at its line and nothing is written or opened.
    void saveBeforeOpenIsChecked() {
        form_->show();
        Generate("2001", "2003");
        Box()->setPlainText("   2001   5\n   2002   \n   2003   7");
        fake_->messages.answers << Answer::Yes;
        fake_->files.saveAnswers << Path("typed.txt");
        Item("EmnuFileOpenItem")->trigger();
        QCOMPARE(fake_->messages.shown.size(), 1);
        QCOMPARE(Box()->textCursor().blockNumber(), 1);
        QVERIFY(!QFile::exists(Path("typed.txt")));
        QCOMPARE(fake_->files.saveAnswers.size(), 1);
    }

    // With a series loaded, the dialog offers its years.
    void defaultYearsOfTheLoadedSeries() {
        state_->study.series.recordCount = 3;
        state_->study.series.years = {};
        state_->study.series.years[0] = 1971;
        state_->study.series.years[1] = 1969;
        state_->study.series.years[2] = 2004;
        Item("EmnuFileNewItem")->trigger();
        QCOMPARE(Dialog()->findChild<QLineEdit*>("Text1")->text(), QStringLiteral("1969"));
        QCOMPARE(Dialog()->findChild<QLineEdit*>("Text2")->text(), QStringLiteral("2004"));
    }

    void defaultYears() {
        fake_->clock.date = QDate(2026, 1, 1);
        Item("EmnuFileNewItem")->trigger();
        QCOMPARE(Dialog()->findChild<QLineEdit*>("Text1")->text(), QStringLiteral("1996"));
        QCOMPARE(Dialog()->findChild<QLineEdit*>("Text2")->text(), QStringLiteral("2025"));
        QCOMPARE(state_->editor.newDataFirstYear, 1996);
        QCOMPARE(state_->editor.newDataLastYear, 2025);
    }

    void generate_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("firstYear");
        struct Row {
            const char *tag, *first, *last, *text;
            int firstYear;
        };
        for (const Row& row : {
                 Row{"1990-1992", "1990", "1992", "   1990   \r\n   1991   \r\n   1992   ", 1990},
                 Row{"equal", "2000", "2000", "   2000   ", 2000},
                 Row{"reversed", "2000", "1990", "   1990   ", 2000},
                 Row{"spaces around", "  1990 ", " 1991  ", "   1990   \r\n   1991   ", 1990},
                 Row{"halves to even", "1994.5", "1995.5", "   1994   \r\n   1995   \r\n   1996   ",
                     1994},
                 Row{"full-width digits", "１９９０", "１９９１", "   1990   \r\n   1991   ", 1990},
                 Row{"bounds", "1", "2", "   1   \r\n   2   ", 1},
                 Row{"upper bound", "2999", "2999", "   2999   ", 2999},
             })
            QTest::newRow(row.tag) << QString::fromUtf8(row.first) << QString::fromUtf8(row.last)
                                   << QString::fromUtf8(row.text) << row.firstYear;
    }
    void generate() {
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QString, text);
        QFETCH(int, firstYear);
        Generate(first, last);
        QCOMPARE(state_->editor.editorText, text);
        QCOMPARE(state_->editor.newDataFirstYear, firstYear);
        QCOMPARE(Box()->toPlainText(), QString(text).replace("\r\n", "\n"));
        QCOMPARE(form_->windowTitle(), kNewDataCaption);
        QVERIFY(Item("EmnuFileSaveItem")->isEnabled());
        QVERIFY(!Dialog()->isVisible());
        QVERIFY(fake_->messages.shown.isEmpty());
    }

    void invalidYear_data() {
        QTest::addColumn<QString>("year");
        QTest::addColumn<bool>("inFirst");
        for (const char* year : {"0", "3000", "-5", "abc", "", "1e10", "12a", "0.4", "2999.5"}) {
            QTest::addRow("first '%s'", year) << QString::fromUtf8(year) << true;
            QTest::addRow("last '%s'", year) << QString::fromUtf8(year) << false;
        }
    }
    void invalidYear() {
        QFETCH(QString, year);
        QFETCH(bool, inFirst);
        Box()->setPlainText("kept");
        Generate(inFirst ? year : "1990", inFirst ? "1992" : year);
        QCOMPARE(fake_->messages.shown.size(), 1);
        QCOMPARE(fake_->messages.shown[0].text, QStringLiteral("正しく数字を入力してね"));
        QCOMPARE(fake_->messages.shown[0].caption, QStringLiteral("入力間違い"));
        QVERIFY(state_->editor.editorText.isEmpty());
        QCOMPARE(state_->editor.newDataFirstYear, 1996); // the defaults for 2026
        QCOMPARE(state_->editor.newDataLastYear, 2025);
        QCOMPARE(Box()->toPlainText(), QStringLiteral("kept"));
        QCOMPARE(form_->windowTitle(), kDesignCaption);
        QVERIFY(!Item("EmnuFileSaveItem")->isEnabled());
        QVERIFY(Dialog()->isVisible());
    }

    void laterShowingKeepsYears() {
        Generate("1980", "1981");
        Item("EmnuFileNewItem")->trigger();
        Form4* dialog = Dialog();
        QCOMPARE(dialog->findChild<QLineEdit*>("Text1")->text(), QStringLiteral("1980"));
        dialog->findChild<QLineEdit*>("Text2")->setText("1985");
        QTest::mouseClick(dialog->findChild<QPushButton*>("Command2"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(state_->editor.editorText, QStringLiteral("   1980   \r\n   1981   "));

        fake_->clock.date = QDate(2030, 5, 5);
        Item("EmnuFileNewItem")->trigger();
        QCOMPARE(Dialog(), dialog);
        QCOMPARE(dialog->findChild<QLineEdit*>("Text2")->text(), QStringLiteral("1985"));
    }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
