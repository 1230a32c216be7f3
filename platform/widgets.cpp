#include "platform/widgets.h"

#include "platform/commandguard.h"
#include "statistics/numeric.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableWidget>
#include <QWidget>

#include <algorithm>

namespace {

double LogicalDpi(const QWidget* w = nullptr) {
    const QScreen* screen = w && w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

double PixelsToTwips(double pixels) {
    return pixels * kTwipsPerInch / LogicalDpi();
}

} // namespace

int TwipsToPixels(double twips) {
    return R(twips * LogicalDpi() / kTwipsPerInch);
}

QRect TwipsRect(double left, double top, double width, double height) {
    const int l = TwipsToPixels(left);
    const int t = TwipsToPixels(top);
    // Right and bottom edges are converted on their own so neighbouring controls meet exactly.
    return QRect(l, t, TwipsToPixels(left + width) - l, TwipsToPixels(top + height) - t);
}

void SetFixedClientSize(QWidget* window, double widthTwips, double heightTwips) {
    window->setFixedSize(TwipsToPixels(widthTwips), TwipsToPixels(heightTwips));
    window->setWindowFlag(Qt::WindowMaximizeButtonHint, false);
}

void CentreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize frame = window->frameGeometry().size().expandedTo(window->size());
    const int32_t left = R(PixelsToTwips(area.width()) - PixelsToTwips(frame.width())) / 2;
    const int32_t top = R(PixelsToTwips(area.height()) - PixelsToTwips(frame.height())) / 2;
    window->move(area.left() + TwipsToPixels(left), area.top() + TwipsToPixels(top));
}

namespace {

// The Japanese faces the windows name, the installed faces that stand in for them and the
// generic family of their kind.
const struct {
    const char* face;
    const char* standIns[2];
    const char* generic;
} kFaceTable[] = {
    {"ＭＳ 明朝", {"IPAMincho", "IPAexMincho"}, "serif"},
    {"ＭＳ ゴシック", {"IPAGothic", "IPAexGothic"}, "sans-serif"},
    {"ＭＳ Ｐゴシック", {"IPAPGothic", "IPAGothic"}, "sans-serif"},
};

} // namespace

void InstallFontSubstitutions() {
    for (const auto& row : kFaceTable)
        QFont::insertSubstitutions(
            QString::fromUtf8(row.face),
            {QString::fromLatin1(row.standIns[0]), QString::fromLatin1(row.standIns[1])});
}

QString CssFontFamilies(const QString& face) {
    const QStringList installed = QFontDatabase::families();
    QStringList families;
    QString generic = QStringLiteral("sans-serif");
    for (const auto& row : kFaceTable) {
        if (face != QString::fromUtf8(row.face))
            continue;
        for (const char* standIn : row.standIns)
            if (installed.contains(QString::fromLatin1(standIn)))
                families << QLatin1Char('\'') + QString::fromLatin1(standIn) + QLatin1Char('\'');
        generic = QString::fromLatin1(row.generic);
    }
    if (families.isEmpty() && installed.contains(face))
        families << QLatin1Char('\'') + face + QLatin1Char('\'');
    families << generic;
    return families.join(QStringLiteral(", "));
}

QFont JapaneseFont(const QString& face, double points, bool bold, bool italic) {
    QFont font(face);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

BusyCursor::BusyCursor() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}
BusyCursor::~BusyCursor() {
    QGuiApplication::restoreOverrideCursor();
}

NormalPointer::NormalPointer() {
    while (const QCursor* cursor = QGuiApplication::overrideCursor()) {
        suspended_.prepend(*cursor);
        QGuiApplication::restoreOverrideCursor();
    }
}
NormalPointer::~NormalPointer() {
    for (const QCursor& cursor : suspended_)
        QGuiApplication::setOverrideCursor(cursor);
}

QLabel* AddLabel(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLineEdit* AddTextBox(QWidget* parent, const char* name, QRect geometry, const QColor& background) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setTextMargins(0, 0, 0, 0);
    SetBackgroundColour(box, background);
    return box;
}

void ShowWholeText(QLineEdit* box, const QString& text) {
    // A line edit keeps 2 pixels either side of its text, inside the style's frame.
    constexpr int kLineEditMargin = 2;
    const QMargins margins = box->textMargins();
    const int frame = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
    const int room = box->contentsRect().width() - margins.left() - margins.right() -
                     2 * (frame + kLineEditMargin) - 1;
    const QFont usual = box->parentWidget() ? box->parentWidget()->font() : box->font();
    QFont font = usual;
    constexpr double kSmallest = 7;
    while (QFontMetricsF(font).horizontalAdvance(text) > room && font.pointSizeF() > kSmallest)
        font.setPointSizeF(std::max(kSmallest, font.pointSizeF() - 0.25));
    const bool shrunk = font != usual;
    box->setFont(font);
    box->setText(text);
    box->setCursorPosition(0);
    const bool cut = QFontMetricsF(font).horizontalAdvance(text) > room;
    box->setToolTip(shrunk || cut ? text : QString());
}

QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

void SetBackgroundColour(QWidget* widget, const QColor& colour) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Base, colour);
    p.setColor(QPalette::Window, colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Text, colour);
    p.setColor(QPalette::WindowText, colour);
    widget->setPalette(p);
}

void ShowModeless(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

QTableWidget* ReadOnlyTable(QWidget* parent, const char* name, const QStringList& headers) {
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return table;
}

QPushButton* AddRowButton(QBoxLayout* row, QWidget* window, MessageService& messages,
                          const char* name, const QString& caption, std::function<void()> command) {
    auto* button = new QPushButton(caption, window);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    row->addWidget(button);
    QObject::connect(button, &QPushButton::clicked, window,
                     [&messages, window, command = std::move(command)] {
                         RunGuarded(messages, window, command);
                     });
    return button;
}

void AddExportRow(QBoxLayout* layout, QWidget* window, MessageService& messages,
                  const ExportCommands& commands) {
    auto* buttons = new QHBoxLayout;
    AddRowButton(buttons, window, messages, "CopyButton", QStringLiteral("コピー"), commands.copy);
    AddRowButton(buttons, window, messages, "CsvButton", QStringLiteral("CSV 保存..."),
                 commands.csv);
    AddRowButton(buttons, window, messages, "SaveChartButton", QStringLiteral("図を保存..."),
                 commands.saveChart);
    buttons->addStretch();
    AddRowButton(buttons, window, messages, "CloseButton", QStringLiteral("閉じる"),
                 [window] { window->close(); });
    layout->addLayout(buttons);
    auto addShortcut = [&](const char* name, const QKeySequence& keys,
                           const std::function<void()>& command) {
        auto* action = new QAction(window);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        window->addAction(action);
        QObject::connect(action, &QAction::triggered, window,
                         [&messages, window, command] { RunGuarded(messages, window, command); });
    };
    addShortcut("CopyAction", QKeySequence::Copy, commands.copy);
    addShortcut("CopyChartAction", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
                commands.copyChart);
}

void CompanionWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
