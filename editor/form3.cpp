#include "editor/form3.h"

#include "editor/form4.h"
#include "formats/datafile.h"
#include "formats/filename.h"
#include "platform/commandguard.h"
#include "platform/filenames.h"
#include "platform/samefile.h"
#include "platform/widgets.h"
#include "statistics/dataerror.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

const QString kDesignCaption = QStringLiteral("zivived < データファイルの作成 >");
const QString kNewDataCaption = QStringLiteral("zivived < 新規の編集 >");
const QString kLineEnd = QStringLiteral("\r\n");

const QString kInstruction = QStringLiteral(
    "超過確率データファイルを作成するエディターです。"
    "西暦年と年降水量をセットで１行にかいてください。"
    "西暦年と年降水量は、スペースで区切ってください。"
    "また、空白行は作らないように注意してくださいね。"
    "メニュー・ファイルで、「新規作成」を選択すれば、必要な分の西暦年は勝手に入力されますので利用し"
    "てください。"
    "なお、簡易エディターなので、一般のスクリーンエディターのような優れた機能はありません。"
    "矢印キーとBSキー・テンキーを使用してください。"
    "  特にリターンキーは使わないで編集してください。");

// Shift+Return would put a line separator into the text, which looks like a line end but is
// saved as a character; every Return ends a line.
class EditorBox : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !isReadOnly()) {
            textCursor().insertBlock();
            ensureCursorVisible();
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
    }
};

QAction* AddItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

} // namespace

Form3::Form3(AppState& state, Platform& platform, EditorHost& host, QWidget* parent)
    : QMainWindow(parent, Qt::Window)
    , state_(state)
    , platform_(platform)
    , host_(host) {
    setObjectName(QStringLiteral("Form3"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kDesignCaption);
    setFont(JapaneseFont(kFaceGothic, 9));

    QMenu* fileMenu = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    fileMenu->setObjectName(QStringLiteral("EmnuFile"));
    connect(AddItem(fileMenu, "EmnuFileNewItem", QStringLiteral("新規作成(&N)")),
            &QAction::triggered, this,
            Guarded(platform_.messages, this, &Form3::EmnuFileNewItem_Click));
    connect(AddItem(fileMenu, "EmnuFileOpenItem", QStringLiteral("開く(&O)")), &QAction::triggered,
            this, Guarded(platform_.messages, this, &Form3::EmnuFileOpenItem_Click));
    fileMenu->addSeparator()->setObjectName(QStringLiteral("line11"));
    saveItem_ = AddItem(fileMenu, "EmnuFileSaveItem", QStringLiteral("保存終了(&S)"));
    connect(saveItem_, &QAction::triggered, this,
            Guarded(platform_.messages, this, &Form3::EmnuFileSaveItem_Click));
    fileMenu->addSeparator()->setObjectName(QStringLiteral("line12"));
    connect(AddItem(fileMenu, "EmnuEndItem", QStringLiteral("強制終了(&X)")), &QAction::triggered,
            this, Guarded(platform_.messages, this, &Form3::EmnuEndItem_Click));

    // Qt has no role for the active title bar; the selection colour is the system's nearest,
    // and its text colour is the one drawn on it.
    const QColor titleBar = kActiveTitleBarColour;
    const QColor titleText = kActiveTitleBarTextColour;

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setAutoFillBackground(true);
    QPalette clientPalette = client->palette();
    clientPalette.setColor(QPalette::Window, titleBar);
    client->setPalette(clientPalette);
    setCentralWidget(client);

    text1_ = new EditorBox(client);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setGeometry(TwipsRect(360, 120, 4455, 3495));
    text1_->setFont(JapaneseFont(kFaceGothic, 12));
    text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A tab in a data line would not separate fields; Tab moves on as in the other windows.
    text1_->setTabChangesFocus(true);

    label1_ = new QLabel(kInstruction, client);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setGeometry(TwipsRect(240, 3720, 4695, 1935));
    label1_->setFont(JapaneseFont(kFaceGothic, 9, true));
    label1_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label1_->setWordWrap(true);
    label1_->setAutoFillBackground(true);
    QPalette labelPalette = label1_->palette();
    labelPalette.setColor(QPalette::Window, titleBar);
    labelPalette.setColor(QPalette::WindowText, titleText);
    label1_->setPalette(labelPalette);

    // The client area lies below the menu bar, so the bar's height comes on top of it.
    client->setFixedSize(TwipsToPixels(5280), TwipsToPixels(5745));
    setFixedSize(client->width(), client->height() + menuBar()->sizeHint().height());
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);

    Form_Load();
}

void Form3::Form_Load() {
    CentreOnScreen(this);
    saveItem_->setEnabled(false);
}

void Form3::EmnuFileNewItem_Click() {
    if (!form4_)
        form4_ = new Form4(state_, platform_, *this);
    ShowModeless(form4_);
}

void Form3::EmnuFileOpenItem_Click() {
    if (!SettleChanges())
        return;
    const auto path = platform_.files.getOpenFileName(this, kDataFileFilter, dialogFileName_);
    if (!path || path->isEmpty())
        return;
    // A file the editor refuses changes nothing: caption, names and text stay those of the
    // file on show, so a later save cannot put this text under the refused file's name.
    const QString previousName = state_.editor.editorFileName;
    const QString previousText = state_.editor.editorText;
    const auto previousLines = state_.editor.editorLines;
    const int32_t previousLineCount = state_.editor.editorLineCount;
    state_.editor.editorFileName = *path;
    state_.editor.editorText.clear();
    try {
        LoadEditorFile();
    } catch (const DataError& error) {
        state_.editor.editorFileName = previousName;
        state_.editor.editorText = previousText;
        state_.editor.editorLines = previousLines;
        state_.editor.editorLineCount = previousLineCount;
        platform_.messages.showMessage(this, error.message(), kAppTitle);
        return;
    }
    dialogFileName_ = *path;
    setWindowTitle(QStringLiteral("zivived < %1 >").arg(DisplayFileName(*path)));
    savedText_ = state_.editor.editorText;
    saveItem_->setEnabled(true);
    if (encoding_.kind == TextEncoding::Bytes)
        platform_.messages.showMessage(
            this,
            QStringLiteral("ファイル「%1」は Shift-JIS としても UTF-8 としても正しくない文字を"
                           "含んでいます。1 バイトを 1 文字として表示しています。"
                           "書き換えなかった部分は、保存してもそのままのバイトで残ります。")
                .arg(DisplayFileName(*path)),
            kAppTitle);
}

void Form3::LoadEditorFile() {
    state_.editor.editorLineCount = 0;
    const EditorFile file = ReadEditorFile(state_.editor.editorFileName);
    const QString shownPath =
        QStringLiteral("「%1」").arg(DisplayFileName(state_.editor.editorFileName));
    for (const QString& line : file.lines) {
        if (state_.editor.editorLineCount == kMaxRecords)
            throw DataError(
                QStringLiteral("ファイル%1は %2 行を超えています。エディターで開けるのは "
                               "%2 行までです。")
                    .arg(shownPath)
                    .arg(kMaxRecords));
        if (line.size() > kMaxEditorLineLength)
            throw DataError(
                QStringLiteral("ファイル%1の %2 行目は %3 文字を超えています。エディターで開ける"
                               "のは 1 行 %3 文字までです。")
                    .arg(shownPath)
                    .arg(state_.editor.editorLineCount + 1)
                    .arg(kMaxEditorLineLength));
        state_.editor.editorLines[state_.editor.editorLineCount] = line;
        ++state_.editor.editorLineCount;
    }
    if (state_.editor.editorLineCount == 0)
        throw DataError(QStringLiteral("ファイル%1は空です。").arg(shownPath));

    for (int32_t i = 0; i <= state_.editor.editorLineCount - 2; ++i)
        state_.editor.editorText += state_.editor.editorLines[i] + kLineEnd;
    state_.editor.editorText += state_.editor.editorLines[state_.editor.editorLineCount - 1];
    encoding_ = file.encoding;
    text1_->setPlainText(FileTextToBoxText(state_.editor.editorText, standIns_));
}

QString Form3::CurrentFileText() const {
    // The raw text keeps no-break spaces that the plain-text view would turn into spaces.
    return BoxTextToFileText(text1_->document()->toRawText(), standIns_);
}

void Form3::SaveEditorFile() {
    state_.editor.editorText = CurrentFileText();
    // The deviate table is read by the program, not edited: a slip in the dialog must not
    // replace it with data lines.
    RefuseOverwritingInput(state_.editor.editorFileName, {state_.deviateTableFileName});
    WriteEditorFile(state_.editor.editorFileName, state_.editor.editorText + kLineEnd, encoding_);
    savedText_ = state_.editor.editorText;
}

void Form3::ShowNewData(bool unsaved) {
    setWindowTitle(kNewDataCaption);
    saveItem_->setEnabled(true);
    // A new file is in the system's narrow character set, as the analysis expects.
    encoding_ = FileEncoding{TextEncoding::ShiftJis, {}};
    text1_->setPlainText(FileTextToBoxText(state_.editor.editorText, standIns_));
    // Untouched year lines are made again in a moment: only what is typed into them counts.
    savedText_ = unsaved ? QString() : state_.editor.editorText;
}

bool Form3::HasChanges() const {
    return CurrentFileText() != savedText_;
}

bool Form3::SaveThroughDialog() {
    const auto path = platform_.files.getSaveFileName(this, kDataFileFilter, dialogFileName_);
    if (!path || path->isEmpty())
        return false;
    dialogFileName_ = *path;
    state_.editor.editorFileName = *path;
    try {
        SaveEditorFile();
    } catch (const DataError& error) {
        // The editor stays open with the text, so nothing typed is lost.
        platform_.messages.showMessage(this, error.message(), kAppTitle);
        return false;
    }
    setWindowTitle(QStringLiteral("zivived < %1 >").arg(DisplayFileName(*path)));
    saveItem_->setEnabled(true);
    return true;
}

bool Form3::Settle(const std::function<bool()>& save) {
    if (!HasChanges())
        return true;
    switch (
        platform_.messages.askYesNoCancel(this, QStringLiteral("変更を保存しますか"), kAppTitle)) {
    case Answer::Yes:
        return save();
    case Answer::No:
        return true;
    case Answer::Cancel:
        break;
    }
    return false;
}

bool Form3::SettleChanges() {
    // The text is set aside, not handed over, but it is held to the same reading the analysis
    // gives a file: a record without its value is said at its line, and nothing is written.
    return Settle([this] { return CheckAsDataFile() && SaveThroughDialog(); });
}

bool Form3::CheckAsDataFile() {
    try {
        ParseDataFile(CurrentFileText().toUtf8());
    } catch (const DataError& error) {
        platform_.messages.showMessage(this, error.message(), kAppTitle);
        GoToLine(error.line());
        return false;
    }
    return true;
}

bool Form3::SettleBeforeClosing() {
    // The same save as "保存終了", checks and hand-over included.
    return Settle([this] {
        if (!SaveAndHandOver())
            return false;
        finished_ = true;
        return true;
    });
}

bool Form3::CloseAfterAsking() {
    if (!finished_ && !SettleBeforeClosing())
        return false;
    askOnClose_ = false;
    close();
    return true;
}

void Form3::GoToLine(int line) {
    const QTextBlock block = text1_->document()->findBlockByNumber(line - 1);
    if (line <= 0 || !block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    text1_->setTextCursor(cursor);
    text1_->ensureCursorVisible();
    text1_->setFocus();
}

bool Form3::SaveAndHandOver() {
    if (!SaveThroughDialog())
        return false;
    state_.dataFileName = state_.editor.editorFileName;
    // The file is saved either way; the editor closes only once the analysis has taken it, so
    // a refused file is corrected where it was typed.
    QPointer<Form3> self(this);
    try {
        host_.EditorSavedAndFinished();
    } catch (const DataError& error) {
        if (!self)
            return false;
        platform_.messages.showMessage(this, error.message(), kAppTitle);
        GoToLine(error.line());
        return false;
    }
    return !self.isNull();
}

void Form3::EmnuFileSaveItem_Click() {
    QPointer<Form3> self(this);
    if (!SaveAndHandOver() || !self || finished_)
        return;
    finished_ = true;
    close();
}

void Form3::EmnuEndItem_Click() {
    close();
}

void Form3::closeEvent(QCloseEvent* event) {
    if (!finished_ && askOnClose_ && !SettleBeforeClosing()) {
        event->ignore();
        return;
    }
    if (form4_)
        form4_->close();
    event->accept();
    if (!finished_) {
        finished_ = true;
        // The host hears of the end once the window is gone from the screen.
        hide();
        host_.EditorForcedEnd();
    }
}
