#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class MessageService;
class QBoxLayout;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QWidget;

// Layout lengths are in twips (1440 to the inch).
inline constexpr double kTwipsPerInch = 1440.0;

// Twips to pixels at the screen's logical resolution (15 twips a pixel at 96 dpi).
int TwipsToPixels(double twips);

// A table of figures the user reads, sorts and copies but does not edit: the headers across,
// no row numbers, rows as high as the font needs.
QTableWidget* ReadOnlyTable(QWidget* parent, const char* name, const QStringList& headers);
QRect TwipsRect(double left, double top, double width, double height);
// Fixed client size in twips; the window cannot be resized or maximised.
void SetFixedClientSize(QWidget* window, double widthTwips, double heightTwips);
// Places a top-level window in the middle of its screen: left = R(screen - window) \ 2, top alike.
void CentreOnScreen(QWidget* window);

// Controls placed by their designer name; geometry from TwipsRect. Labels align their text to the
// top left; text boxes are single-line and right-aligned on the given background; buttons never
// become the default, so Enter in a box does not press one behind the user's back.
QLabel* AddLabel(QWidget* parent, const char* name, const QString& caption, QRect geometry);
QLineEdit* AddTextBox(QWidget* parent, const char* name, QRect geometry, const QColor& background);
QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption, QRect geometry);
// Sets the box's text in the parent's font, or in the largest smaller size of it (down to 7 pt,
// below which digits are hard to read) in which every character fits the box, with the leading
// characters in view; the tip holds the whole text whenever it is shrunk or still too wide.
void ShowWholeText(QLineEdit* box, const QString& text);
// A button added to a window's row of buttons, never the default; a click runs the command
// behind the command guard with the window as the parent of any message.
QPushButton* AddRowButton(QBoxLayout* row, QWidget* window, MessageService& messages,
                          const char* name, const QString& caption, std::function<void()> command);
// What a window of tables and a chart exports: its tables as text, as CSV, its chart as an image
// file and on the clipboard.
struct ExportCommands {
    std::function<void()> copy;
    std::function<void()> csv;
    std::function<void()> saveChart;
    std::function<void()> copyChart;
};
// The row under such a window's content (コピー, CSV 保存..., 図を保存... and, at the right,
// 閉じる) and its shortcuts (Ctrl+C for the tables, Ctrl+Shift+C for the chart), each command
// behind the command guard.
void AddExportRow(QBoxLayout* layout, QWidget* window, MessageService& messages,
                  const ExportCommands& commands);
// Shows a modeless window, or brings it forward with its content as it is.
void ShowModeless(QWidget* window);
void SetBackgroundColour(QWidget* widget, const QColor& colour);
void SetTextColour(QWidget* widget, const QColor& colour);

// The Japanese faces the windows name, mapped once to the installed stand-ins.
inline const QString kFaceMincho = QStringLiteral("ＭＳ 明朝");
inline const QString kFaceGothic = QStringLiteral("ＭＳ ゴシック");
inline const QString kFacePGothic = QStringLiteral("ＭＳ Ｐゴシック");
void InstallFontSubstitutions();
// The face as a CSS font-family list for a file read elsewhere (an SVG): the installed faces that
// stand in for it, then the generic family of its kind ("'IPAMincho', serif").
QString CssFontFamilies(const QString& face);
QFont JapaneseFont(const QString& face, double points, bool bold = false, bool italic = false);

// A window of its own beside the main one (the results list, the comparison): Esc closes it, as
// it would a dialog.
class CompanionWindow : public QWidget {
public:
    explicit CompanionWindow(QWidget* parent)
        : QWidget(parent, Qt::Window) {}

    // What must hold before the window copies or saves what it shows: the main window applies an
    // alpha typed but not yet applied, and refuses the export when that alpha is refused.
    void SetBeforeExport(std::function<bool()> check) { beforeExport_ = std::move(check); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // True when the export may go on.
    bool ReadyToExport() const { return !beforeExport_ || beforeExport_(); }

private:
    std::function<bool()> beforeExport_;
};

// Shows the hourglass for as long as it lives.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Shows the normal pointer for as long as it lives, whatever hourglass a command set; the
// hourglass comes back afterwards. Every modal dialog and message box is shown under one.
class NormalPointer {
public:
    NormalPointer();
    ~NormalPointer();
    NormalPointer(const NormalPointer&) = delete;
    NormalPointer& operator=(const NormalPointer&) = delete;

private:
    QList<QCursor> suspended_;
};

// The system colours of the active title bar, which Qt's palette does not carry: the classic
// caption blue and its white text.
inline const QColor kActiveTitleBarColour(10, 36, 106);
inline const QColor kActiveTitleBarTextColour(255, 255, 255);

inline const QString kAppTitle = QStringLiteral("Quorvel");
