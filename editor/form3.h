#pragma once

#include "editor/editorfile.h"
#include "platform/platform.h"
#include "state/appstate.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>

class QAction;
class QLabel;
class QPlainTextEdit;
class Form4;

// What the editor asks of the main window.
class EditorHost {
public:
    virtual ~EditorHost() = default;
    // Save and finish has written the file and set dataFileName; the main window loads it.
    // Throws DataError when the analysis refuses the file: the editor then stays open, at the
    // line the message names. The editor closes itself after a successful load.
    virtual void EditorSavedAndFinished() = 0;
    // Forced end or the close box closed the editor without saving. The editor is hidden and
    // deletes itself afterwards; the host must not delete it.
    virtual void EditorForcedEnd() = 0;
};

// The data editor: a top-level window that deletes itself when closed.
class Form3 : public QMainWindow {
    Q_OBJECT
public:
    Form3(AppState& state, Platform& platform, EditorHost& host, QWidget* parent = nullptr);

    // Reads the file named by state.editor.editorFileName, appends its lines to
    // state.editor.editorText (joined by CR LF) and shows them in Text1. Throws DataError when the
    // file cannot be read, holds no line, more than kMaxRecords lines or a line longer than
    // kMaxEditorLineLength; the box is then left as it was. A file in no known encoding is shown
    // byte for byte, and the user is told so.
    void LoadEditorFile();
    // Copies Text1 into state.editor.editorText and writes it, followed by CR LF, to
    // state.editor.editorFileName in the encoding the text was read in. Throws DataError when a
    // character cannot be stored in that encoding, the name is the deviate table's (links
    // followed) or the file cannot be written; the old file is then left whole.
    void SaveEditorFile();

    // Takes the year lines the new-data dialog put into state.editor.editorText. Untouched year
    // lines are no change; an imported series (unsaved: true) is one until it is saved, since
    // making it again means choosing everything in the import window again.
    void ShowNewData(bool unsaved = false);

    // True when the box holds text that differs from what was last opened, saved or generated.
    bool HasChanges() const;
    // Before the text is set aside: with changes, asks "変更を保存しますか". はい saves through
    // the save dialog, いいえ lets the text go. False when the user chose キャンセル or the save
    // did not happen; the text is then as it was.
    bool SettleChanges();
    // The program's end: SettleBeforeClosing, then closes without asking again. False on
    // キャンセル or when the analysis refused the saved file.
    bool CloseAfterAsking();

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void EmnuFileNewItem_Click();
    void EmnuFileOpenItem_Click();
    void EmnuFileSaveItem_Click();
    void EmnuEndItem_Click();

private:
    void Form_Load();
    // The box's text as it would be saved.
    QString CurrentFileText() const;
    // Asks for a name and saves the box there; false when cancelled or refused (told).
    bool SaveThroughDialog();
    // "保存終了" but the closing: saves through the dialog and hands the file to the analysis.
    // True when the analysis took it; a refusal is told with the editor at the line.
    bool SaveAndHandOver();
    // The close question: はい is "保存終了", いいえ lets the text go. True when the window may
    // close.
    bool SettleBeforeClosing();
    // Asks "変更を保存しますか" when the box has changes; はい runs save. True when the text may
    // go.
    bool Settle(const std::function<bool()>& save);
    // Reads the box as the analysis reads a data file; a refusal is told with the cursor at its
    // line.
    bool CheckAsDataFile();
    // Puts the cursor on a 1-based line of the box and selects it.
    void GoToLine(int line);

    AppState& state_;
    Platform& platform_;
    EditorHost& host_;
    QPlainTextEdit* text1_ = nullptr;
    QLabel* label1_ = nullptr;
    QAction* saveItem_ = nullptr;
    QPointer<Form4> form4_;
    // The one file dialog serves open and save, so each offers the path last chosen in it.
    QString dialogFileName_;
    // What the box's text is written back as: the encoding of the file it came from.
    FileEncoding encoding_;
    // Characters of the file that the box shows as stand-ins (see FileTextToBoxText).
    BoxStandIns standIns_;
    // Set once the window has handed over or reported its end, so the host hears of it once.
    bool finished_ = false;
    // The text as last opened, saved or generated: what "changes" are measured against.
    QString savedText_;
    // Cleared once the question has been asked for the program's end.
    bool askOnClose_ = true;
};
