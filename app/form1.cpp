#include "app/form1.h"
#include "app/commandline.h"

#include "formats/filename.h"

#include "chart/chartimage.h"
#include "chart/picturebox.h"
#include "chart/screenchart.h"
#include "comparison/frmcomparison.h"
#include "formats/deviatetable.h"
#include "info/form9.h"
#include "info/frmabout.h"
#include "info/helptexts.h"
#include "intensity/frmintensity.h"
#include "platform/commandguard.h"
#include "platform/filenames.h"
#include "platform/widgets.h"
#include "print/form2.h"
#include "print/pagespreview.h"
#include "print/printjob.h"
#include "report/report.h"
#include "results/frmresults.h"
#include "state/bootstraprunner.h"
#include "state/loading.h"
#include "state/seriesnotes.h"
#include "statistics/dataerror.h"
#include "statistics/numeric.h"
#include "statistics/series.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMap>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QUrl>

#include <cmath>
#include <utility>

namespace {

const QString kDesignCaption = QStringLiteral("非超過確率分布の作図（対数軸バージョン２）");
const QString kAxisTitleMessage = QStringLiteral("横軸の名前を正しく入力してください");
const QString kAlphaEmptyMessage = QStringLiteral("α値の設定失敗！正しく数字を入力してけ～ん！！");
const QString kAlphaNegativeMessage =
    QStringLiteral("α値は負値なしです！０以上の数値を入れてけ～ん！");
const QString kAlphaTooLargeMessage =
    QStringLiteral("α値が大きすぎます！これより小さい数値を入れてけ～ん！");

struct AnalysisModeCaptions {
    const char* label18;
    const char* label17;
};
const AnalysisModeCaptions kAnalysisModes[3] = {
    {"解析項目：回帰結果を表示しない",
     "印刷紙面には回帰線と豊水・渇水の解析数値は印字されません。"},
    {"解析項目：回帰線だけを表示する",
     "印刷紙面には回帰線は印字されますが、豊水・渇水の解析数値は印字されません。"},
    {"解析項目：回帰線と解析値を表示", "印刷紙面には回帰線と豊水・渇水の解析数値が印字されます。"},
};

const QColor kOrangeInput(255, 224, 192);

// The plotting-position presets, in the order of their menu.
constexpr double kPlottingPositions[5] = {0, 0.375, 0.4, 0.44, 0.5};

// What a load says about the years of its series, "" when nothing. Repeated and missing years
// may be typing faults in a data file. The years an import left out are its own doing: they are
// told with the import's reasons, and only other gaps are asked to be checked.
QString YearNotes(const SeriesData& series) {
    const QString check = QStringLiteral("\nこのまま解析しました。年を確かめてください。");
    const YearGaps faults = FaultYearGaps(series);
    const int n = std::clamp(series.recordCount, 0, kMaxRecords);
    const auto [first, last] = std::minmax_element(series.years.begin(), series.years.begin() + n);
    QStringList explained;
    for (qsizetype i = 0; i < series.origin.leftOutYears.size(); ++i) {
        const int32_t year = series.origin.leftOutYears[i];
        // Only the years inside the series are gaps; those before or after it are not told.
        if (n > 0 && year > *first && year < *last && i < series.origin.leftOut.size())
            explained << series.origin.leftOut[i];
    }
    QStringList parts;
    if (!explained.isEmpty()) {
        constexpr int kListed = 10;
        QString text =
            QStringLiteral("取り込みで次の年を除きました（グラフと解析には入っていません）：");
        for (const QString& line : explained.mid(0, kListed))
            text += QLatin1Char('\n') + line;
        if (explained.size() > kListed)
            text += QStringLiteral("\nほか %1 年").arg(explained.size() - kListed);
        parts << text;
    }
    if (!faults.empty())
        parts << YearGapsText(faults) + check;
    return parts.join(QStringLiteral("\n\n"));
}

// The editor's file of an imported series: what it is and the years the import left out and
// why, of those the file still lacks (a year typed in since is the file's own).
void AdoptImportedOrigin(SeriesData& series, const SeriesOrigin& origin) {
    const int n = std::clamp(series.recordCount, 0, kMaxRecords);
    series.origin.kind = origin.kind;
    series.origin.item = origin.item;
    series.origin.unit = origin.unit;
    for (qsizetype i = 0; i < origin.leftOutYears.size() && i < origin.leftOut.size(); ++i) {
        const int32_t year = origin.leftOutYears[i];
        if (std::find(series.years.begin(), series.years.begin() + n, year) !=
            series.years.begin() + n)
            continue;
        series.origin.leftOut << origin.leftOut[i];
        series.origin.leftOutYears << year;
    }
}

// Every option of the command line with its Japanese line of --help, lines ended by CR as the
// help topics are.
QString CommandLineOptionLines() {
    QList<std::pair<QString, QString>> entries; // names, description
    for (const CommandLineOption& option : CommandLineOptions()) {
        QString name = QStringLiteral("--") + QLatin1String(option.name);
        if (option.valueName)
            name += QLatin1Char(' ') + QLatin1String(option.valueName);
        // Without a line of its own it is listed with the one before it: "--from Y、--to Y".
        if (!option.japanese && !entries.isEmpty())
            entries.last().first += QStringLiteral("、") + name;
        else
            entries.append({name, QString::fromUtf8(option.japanese ? option.japanese : "")});
    }
    QString text;
    for (const auto& [names, description] : entries)
        text += names + QStringLiteral("\r    ") + description + QLatin1Char('\r');
    return text;
}

} // namespace

Form1::Form1(AppState& state, Platform& platform, PrinterAccess& printer, QWidget* parent)
    : QMainWindow(parent)
    , state_(state)
    , platform_(platform)
    , printer_(printer) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kDesignCaption);
    setFont(JapaneseFont(kFacePGothic, 9));
    buildControls();
    buildMenus();
    bootstrap_ = new BootstrapRunner(state_, this);
    // Connected before any window follows the study, so a new study's run is under way when
    // they refresh.
    connect(this, &Form1::studyChanged, this, [this] { ensureBootstrap(); });
    connect(bootstrap_, &BootstrapRunner::finished, this,
            [this] { RunGuarded(platform_.messages, this, [this] { redrawInterval(); }); });
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setAcceptDrops(true);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
}

void Form1::buildControls() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Form1Client"));
    central->setFixedSize(TwipsToPixels(9585), TwipsToPixels(7515));
    setCentralWidget(central);

    const QColor valueBackground = palette().color(QPalette::ToolTipBase);
    auto label = [&](const char* name, const char* caption, double l, double t, double w,
                     double h) {
        return AddLabel(central, name, QString::fromUtf8(caption), TwipsRect(l, t, w, h));
    };
    auto box = [&](const char* name, double l, double t, double w, double h) {
        return AddTextBox(central, name, TwipsRect(l, t, w, h), valueBackground);
    };
    auto line = [&](const char* name, double left, double top, double right) {
        auto* rule = new QFrame(central);
        rule->setObjectName(QString::fromLatin1(name));
        rule->setFrameShape(QFrame::HLine);
        rule->setFrameShadow(QFrame::Sunken);
        rule->setGeometry(TwipsToPixels(left), TwipsToPixels(top) - 1,
                          TwipsToPixels(right) - TwipsToPixels(left), 2);
    };
    const QFont gothicBold = JapaneseFont(kFaceGothic, 9, true);
    const QFont pGothicBold = JapaneseFont(kFacePGothic, 9, true);
    const QFont widthFont = JapaneseFont(kFacePGothic, 9.75, true);

    line("Line1", 0, 0, 9480);
    label("Label2", "開いているデータファイル名", 240, 120, 3015, 255)->setFont(gothicBold);
    text1_ = new QPlainTextEdit(central);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setGeometry(TwipsRect(240, 360, 3135, 375));
    text1_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text1_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text1_->document()->setDocumentMargin(1);
    text1_->setTabChangesFocus(true);
    text1_->setFrameShape(QFrame::Box);
    text1_->setFrameShadow(QFrame::Plain);
    text1_->document()->setDocumentMargin(0);
    // A long path wraps onto a second line, which must be seen whole: the box is as tall as two
    // lines where the font needs it.
    text1_->setFixedHeight(std::max(text1_->height(), 2 * QFontMetrics(font()).lineSpacing() +
                                                          2 * text1_->frameWidth()));
    SetBackgroundColour(text1_, valueBackground);
    label("Label29", "データの算術平均", 600, 840, 1455, 255);
    text9_ = box("Text9", 2280, 840, 975, 270);
    label("Label1", "データの対数平均", 600, 1200, 1455, 255);
    text2_ = box("Text2", 2280, 1200, 975, 288);
    label("Label4", "データの最大値", 600, 1560, 1455, 255);
    text3_ = box("Text3", 2280, 1560, 975, 288);
    label("Label5", "データの最小値", 600, 1920, 1455, 255);
    text4_ = box("Text4", 2280, 1920, 975, 288);
    label("Label19", "設定している作図の条件", 240, 2280, 3015, 255)->setFont(gothicBold);
    label("Label9", "横軸の最大値", 600, 2640, 1215, 255);
    text5_ = box("Text5", 2280, 2640, 975, 264);
    SetTextColour(text5_, QColor(0, 0, 192));
    label("Label10", "横軸の最小値", 600, 3000, 1215, 255);
    text6_ = box("Text6", 2280, 3000, 975, 264);
    SetTextColour(text6_, QColor(0, 0, 192));
    label("Label11", "印刷位置右方向へ", 600, 3360, 1455, 255);
    text7_ = box("Text7", 2280, 3360, 492, 264);
    text7_->setText(QStringLiteral("0"));
    SetTextColour(text7_, QColor(255, 0, 0));
    label("Label15", "mm", 2880, 3360, 375, 255);
    label("Label12", "印刷位置上方向へ", 600, 3720, 1455, 255);
    text8_ = box("Text8", 2280, 3720, 492, 264);
    text8_->setText(QStringLiteral("0"));
    SetTextColour(text8_, QColor(255, 0, 0));
    label("Label16", "mm", 2880, 3720, 375, 255);
    label("label20", "印字の太さ－実線", 600, 4080, 1695, 255);
    label23_ = label("Label23", "", 2520, 4080, 375, 255);
    label23_->setFont(widthFont);
    label("Label26", "単位", 3000, 4080, 375, 255);
    label("Label21", "印字の太さ－点線", 600, 4440, 1695, 255);
    label24_ = label("Label24", "", 2520, 4440, 375, 255);
    label24_->setFont(widthFont);
    label("Label27", "単位", 3000, 4440, 375, 255);
    label("Label22", "印字の太さ－回帰線", 600, 4800, 1695, 255);
    label25_ = label("Label25", "", 2520, 4800, 375, 255);
    label25_->setFont(widthFont);
    label("Label28", "単位", 3000, 4800, 375, 255);
    line("Line3", 0, 5160, 3480);
    label("Label31", "横軸のタイトル", 240, 5280, 1455, 255)->setFont(pGothicBold);
    label("Label32", "（入力変更できます）", 1680, 5280, 1575, 255);
    text10_ = box("Text10", 240, 5520, 3135, 270);
    text10_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    text10_->setText(kDefaultAxisTitle);
    SetBackgroundColour(text10_, kOrangeInput);
    label("Label3", "確率計算のα値", 240, 6000, 1575, 255)->setFont(pGothicBold);
    text11_ = box("Text11", 1680, 6000, 855, 270);
    text11_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetBackgroundColour(text11_, kOrangeInput);
    command1_ =
        AddButton(central, "Command1", QStringLiteral("再計算"), TwipsRect(2640, 6000, 855, 375));
    line("Line4", 0, 6360, 3480);
    label18_ = label("Label18", "解析項目の設定", 240, 6480, 3255, 255);
    label18_->setFont(gothicBold);
    label18_->setAutoFillBackground(true);
    {
        QPalette p = label18_->palette();
        p.setColor(QPalette::Window, p.color(QPalette::Highlight));
        p.setColor(QPalette::WindowText, p.color(QPalette::HighlightedText));
        label18_->setPalette(p);
    }
    label17_ = label("Label17", "印刷紙面には回帰線や豊水・渇水の解析数値は印字されません", 240,
                     6840, 3255, 495);
    label17_->setFont(JapaneseFont(kFaceGothic, 9));
    label17_->setWordWrap(true);
    SetBackgroundColour(label17_, kActiveTitleBarColour);
    SetTextColour(label17_, kActiveTitleBarTextColour);
    // The longest caption takes three lines; the label grows to show them (the window has room).
    label17_->setFixedHeight(
        std::max(label17_->height(), 3 * QFontMetrics(label17_->font()).lineSpacing() + 2));
    // A file dropped anywhere on the window opens it, so no box takes the path as text.
    for (QLineEdit* box : central->findChildren<QLineEdit*>())
        box->setAcceptDrops(false);
    text1_->setAcceptDrops(false);
    text1_->viewport()->setAcceptDrops(false);
    picture1_ = new PictureBox(central);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->setGeometry(TwipsRect(3600, 120, 5655, 7095));
    // One line under the picture says when points lie beyond the value axis's ends.
    outsideNote_ = label("Label33", "", 3600, 7230, 5655, 255);
    SetTextColour(outsideNote_, QColor(255, 0, 0));

    // Tab order as designed: Text1, Text2 .. Text4, Picture1, Text5 .. Text8, Text9, Text10,
    // Text11, Command1 (labels take no focus).
    QWidget* order[] = {text1_, text2_, text3_, text4_,  picture1_, text5_,   text6_,
                        text7_, text8_, text9_, text10_, text11_,   command1_};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(command1_, &QPushButton::clicked, this, guarded(&Form1::Command1_Click));
    // Enter in the alpha box does what the button does, so the box never shows an alpha that
    // is not in use. Only while the button itself can be used.
    connect(text11_, &QLineEdit::returnPressed, this, guarded([this] {
                if (command1_->isEnabled())
                    Command1_Click();
            }));
    connect(text1_, &QPlainTextEdit::textChanged, this, guarded(&Form1::Text1_Change));
    connect(text10_, &QLineEdit::textChanged, this, guarded(&Form1::Text10_Change));
}

QAction* Form1::addItem(QMenu* menu, const QString& name, const QString& caption,
                        void (Form1::*handler)(), const QKeySequence& shortcut) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    // A shortcut reaches the item even while its menu is disabled (during the splash, or
    // while the editor holds the file menu): it then does nothing, as the menu would.
    connect(action, &QAction::triggered, this, guarded([this, menu, handler] {
                if (menu->menuAction()->isEnabled())
                    (this->*handler)();
            }));
    return action;
}

std::array<QAction*, 5> Form1::addArray(QMenu* menu, const QString& name,
                                        const QStringList& captions,
                                        void (Form1::*handler)(int16_t)) {
    std::array<QAction*, 5> items{};
    for (int16_t i = 0; i < 5; ++i) {
        QAction* action = menu->addAction(captions[i]);
        action->setObjectName(QStringLiteral("%1_%2").arg(name).arg(i));
        action->setCheckable(true);
        // Qt toggles a checkable item before it reports the click; undo that so the handler
        // alone decides the marks.
        connect(action, &QAction::triggered, this, guarded([this, action, handler, i] {
                    action->setChecked(!action->isChecked());
                    (this->*handler)(i);
                }));
        items[i] = action;
    }
    return items;
}

void Form1::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MenuBar"));

    mnuFile_ = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    mnuFile_->setObjectName(QStringLiteral("mnuFile"));
    addItem(mnuFile_, QStringLiteral("mnuFileOpenItem"), QStringLiteral("開く(&O)"),
            &Form1::mnuFileOpenItem_Click, QKeySequence(Qt::CTRL | Qt::Key_O));
    addItem(mnuFile_, QStringLiteral("mnuFileImportItem"), QStringLiteral("取り込み(&I)..."),
            &Form1::mnuFileImportItem_Click);
    mnuFile_->addSeparator()->setObjectName(QStringLiteral("line01"));
    mnuPrinterItem_ = addItem(mnuFile_, QStringLiteral("mnuPrinterItem"),
                              QStringLiteral("ﾌﾟﾘﾝﾀ(&S)"), &Form1::mnuPrinterItem_Click);
    mnuPrintOutItem_ =
        addItem(mnuFile_, QStringLiteral("mnuPrintOutItem"), QStringLiteral("印刷(&P)"),
                &Form1::mnuPrintOutItem_Click, QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuSaveChartItem_ = addItem(mnuFile_, QStringLiteral("mnuSaveChartItem"),
                                QStringLiteral("図を保存(&G)..."), &Form1::mnuSaveChartItem_Click);
    mnuReportItem_ = addItem(mnuFile_, QStringLiteral("mnuReportItem"),
                             QStringLiteral("報告書を作成(&R)..."), &Form1::mnuReportItem_Click);
    // The report needs what the chart needs, a series loaded: it follows the save item's state.
    mnuReportItem_->setEnabled(mnuSaveChartItem_->isEnabled());
    connect(mnuSaveChartItem_, &QAction::changed, mnuReportItem_,
            [this] { mnuReportItem_->setEnabled(mnuSaveChartItem_->isEnabled()); });
    // The copy has no menu item of its own; it follows the save item's state.
    copyChartAction_ = new QAction(this);
    copyChartAction_->setObjectName(QStringLiteral("copyChartAction"));
    copyChartAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    addAction(copyChartAction_);
    connect(copyChartAction_, &QAction::triggered, this, guarded([this] {
                if (mnuFile_->menuAction()->isEnabled() && mnuSaveChartItem_->isEnabled())
                    CopyChart();
            }));
    mnuFile_->addSeparator()->setObjectName(QStringLiteral("line02"));
    addItem(mnuFile_, QStringLiteral("mnuEndItem"), QStringLiteral("終了(&X)"),
            &Form1::mnuEndItem_Click, QKeySequence(Qt::CTRL | Qt::Key_Q));

    mnuSellect_ = bar->addMenu(QStringLiteral("設定(&S)"));
    mnuSellect_->setObjectName(QStringLiteral("mnuSellect"));
    QMenu* scaleMin = mnuSellect_->addMenu(QStringLiteral("横軸最小値の設定(&N)"));
    scaleMin->setObjectName(QStringLiteral("mnuSetScaleMin"));
    mnuScaleMinVal_ = addArray(scaleMin, QStringLiteral("mnuScaleMinVal"),
                               {QStringLiteral("0.1"), QStringLiteral("1"), QStringLiteral("10"),
                                QStringLiteral("100"), QStringLiteral("1000")},
                               &Form1::mnuScaleMinVal_Click);
    QMenu* scaleMax = mnuSellect_->addMenu(QStringLiteral("横軸最大値の設定(&X)"));
    scaleMax->setObjectName(QStringLiteral("mnuSetScaleMax"));
    mnuScaleMaxVal_ = addArray(scaleMax, QStringLiteral("mnuScaleMaxVal"),
                               {QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("1000"),
                                QStringLiteral("10000"), QStringLiteral("100000")},
                               &Form1::mnuScaleMaxVal_Click);
    addItem(mnuSellect_, QStringLiteral("mnuScaleFitItem"), QStringLiteral("データに合わせる(&F)"),
            &Form1::mnuScaleFitItem_Click);
    mnuSellect_->addSeparator()->setObjectName(QStringLiteral("line03"));
    const QStringList widths = {QStringLiteral("1 単位"), QStringLiteral("2 単位"),
                                QStringLiteral("3 単位"), QStringLiteral("4 単位"),
                                QStringLiteral("5 単位")};
    QMenu* waku = mnuSellect_->addMenu(QStringLiteral("印刷線の太さ－実線(&W)"));
    waku->setObjectName(QStringLiteral("mnuSetPrntWaku"));
    mnuPrntWakuVal_ =
        addArray(waku, QStringLiteral("mnuPrntWakuVal"), widths, &Form1::mnuPrntWakuVal_Click);
    QMenu* dott = mnuSellect_->addMenu(QStringLiteral("印刷線の太さ－破線(&D)"));
    dott->setObjectName(QStringLiteral("mnuSetPrntDott"));
    mnuPrntDottVal_ =
        addArray(dott, QStringLiteral("mnuPrntDottVal"), widths, &Form1::mnuPrntDottVal_Click);
    QMenu* kaik = mnuSellect_->addMenu(QStringLiteral("印刷線の太さ－回帰線(&K)"));
    kaik->setObjectName(QStringLiteral("mnuSetPrntKaik"));
    mnuPrntKaikVal_ =
        addArray(kaik, QStringLiteral("mnuPrntKaikVal"), widths, &Form1::mnuPrntKaikVal_Click);
    mnuSellect_->addSeparator()->setObjectName(QStringLiteral("line11"));
    addItem(mnuSellect_, QStringLiteral("mnuSetPosItem"), QStringLiteral("印刷位置(&I)"),
            &Form1::mnuSetPosItem_Click);
    mnuSellect_->addSeparator()->setObjectName(QStringLiteral("line12"));
    QMenu* plotPos = mnuSellect_->addMenu(QStringLiteral("プロッティング・ポジション(&P)"));
    plotPos->setObjectName(QStringLiteral("mnuSetPlotPos"));
    QStringList plotPosCaptions;
    for (const double alpha : kPlottingPositions)
        plotPosCaptions << PlottingPositionName(alpha);
    mnuPlotPosVal_ = addArray(plotPos, QStringLiteral("mnuPlotPosVal"), plotPosCaptions,
                              &Form1::mnuPlotPosVal_Click);

    mnuEditFile_ = bar->addAction(QStringLiteral("データ作成(&E)"));
    mnuEditFile_->setObjectName(QStringLiteral("mnuEditFile"));
    connect(mnuEditFile_, &QAction::triggered, this, guarded(&Form1::mnuEditFile_Click));

    mnuAna_ = bar->addMenu(QStringLiteral("解析項目(&A)"));
    mnuAna_->setObjectName(QStringLiteral("mnuAna"));
    auto analysisItem = [&](const char* name, const char* caption, void (Form1::*handler)()) {
        QAction* action = mnuAna_->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(true);
        // As with the arrays, the handler sets the marks itself.
        connect(action, &QAction::triggered, this, guarded([this, action, handler] {
                    action->setChecked(!action->isChecked());
                    (this->*handler)();
                }));
        return action;
    };
    mnuAnaNot_ = analysisItem("mnuAnaNot", "回帰結果を表示しない(&N)", &Form1::mnuAnaNot_Click);
    mnuAnaLine_ = analysisItem("mnuAnaLine", "回帰線だけを表示する(&L)", &Form1::mnuAnaLine_Click);
    mnuAnaAll_ = analysisItem("mnuAnaAll", "回帰線と解析値を表示(&A)", &Form1::mnuAnaAll_Click);
    // The band is a switch of its own beside the three modes.
    mnuAna_->addSeparator()->setObjectName(QStringLiteral("lineAna1"));
    mnuAnaBand_ = analysisItem("mnuAnaBand", "推定誤差の幅を表示(&B)", &Form1::mnuAnaBand_Click);
    mnuAnaInterval_ =
        analysisItem("mnuAnaInterval", "信頼区間を表示(&I)", &Form1::mnuAnaInterval_Click);
    // Nothing to show until the comparison has ticked a model.
    mnuAnaCurves_ =
        analysisItem("mnuAnaCurves", "比較した分布の曲線を表示(&C)", &Form1::mnuAnaCurves_Click);
    mnuAnaCurves_->setEnabled(false);
    mnuAna_->addSeparator()->setObjectName(QStringLiteral("lineAna2"));
    addItem(mnuAna_, QStringLiteral("mnuAnaListItem"), QStringLiteral("解析結果の一覧(&T)..."),
            &Form1::mnuAnaListItem_Click);
    addItem(mnuAna_, QStringLiteral("mnuAnaCompareItem"), QStringLiteral("確率分布の比較(&D)..."),
            &Form1::mnuAnaCompareItem_Click);
    mnuAnaIntensityItem_ =
        addItem(mnuAna_, QStringLiteral("mnuAnaIntensityItem"),
                QStringLiteral("確率雨量と降雨強度式(&R)..."), &Form1::mnuAnaIntensityItem_Click);
    mnuAnaIntensityItem_->setEnabled(false);

    // The durations of a loaded duration table, just before the help menu; shown only then.
    mnuDuration_ = bar->addMenu(QStringLiteral("継続時間"));
    mnuDuration_->setObjectName(QStringLiteral("mnuDuration"));
    mnuDuration_->menuAction()->setVisible(false);

    mnuMess_ = bar->addMenu(QStringLiteral("使い方(&H)"));
    mnuMess_->setObjectName(QStringLiteral("mnuMess"));
    addItem(mnuMess_, QStringLiteral("mnuMessEditItem"), QStringLiteral("データ作成(&D)"),
            &Form1::mnuMessEditItem_Click);
    addItem(mnuMess_, QStringLiteral("mnuMessUseItem"), QStringLiteral("作図と印刷(&M)"),
            &Form1::mnuMessUseItem_Click);
    addItem(mnuMess_, QStringLiteral("mnuMessAnaItem"), QStringLiteral("解析項目(&A)"),
            &Form1::mnuMessAnaItem_Click);
    // The topics of the later additions, each in its own message box like the three above.
    const HelpTopicId extraTopics[] = {HelpTopicId::Results,    HelpTopicId::Band,
                                       HelpTopicId::Presets,    HelpTopicId::CommandLine,
                                       HelpTopicId::Comparison, HelpTopicId::Bootstrap,
                                       HelpTopicId::Import,     HelpTopicId::Durations,
                                       HelpTopicId::Intensity,  HelpTopicId::Report};
    for (const HelpTopicId id : extraTopics) {
        const HelpTopic topic = ExtraHelpTopic(id);
        QAction* action = mnuMess_->addAction(topic.caption);
        action->setObjectName(topic.name);
        connect(action, &QAction::triggered, this, guarded([this, id] { showHelpTopic(id); }));
    }
    addItem(mnuMess_, QStringLiteral("mnuMessVerItem"), QStringLiteral("ﾊﾞｰｼﾞｮﾝ(&V)"),
            &Form1::mnuMessVerItem_Click);
}

void Form1::setMenusEnabled(std::initializer_list<QObject*> items, bool enabled) {
    for (QObject* item : items) {
        if (auto* menu = qobject_cast<QMenu*>(item))
            menu->menuAction()->setEnabled(enabled);
        else if (auto* action = qobject_cast<QAction*>(item))
            action->setEnabled(enabled);
        else if (auto* widget = qobject_cast<QWidget*>(item))
            widget->setEnabled(enabled);
    }
}

void Form1::tell(const QString& text) {
    platform_.messages.showMessage(this, text, kAppTitle);
}

// ---- Start-up and exit ----

void Form1::Form_Load() {
    CentreOnScreen(this);
    show();
    setMenusEnabled({mnuPrintOutItem_, mnuSaveChartItem_, mnuPrinterItem_, mnuFile_, mnuSellect_,
                     mnuEditFile_, mnuMess_, mnuAna_, command1_},
                    false);
    form9_ = new Form9(
        platform_.messages, [this] { splashFinished(); }, this);
    adoptWindow(form9_);
    form9_->show();
    FillHelpTexts(help_);

    state_.startDirectory = platform_.directory.currentDirectory();

    LoadDeviateTable(state_, platform_.directory.executableDirectory());

    state_.settings.defaultsApplied = 0;
    state_.redrawMode = 0;
    state_.settings.alpha = 0.5;
    text11_->setText(FormatReal(state_.settings.alpha));
    showAlphaMark();
    state_.settings.axisTitle = kDefaultAxisTitle;
}

void Form1::splashFinished() {
    setMenusEnabled({mnuFile_, mnuEditFile_, mnuMess_}, true);
}

void Form1::endProgram() {
    // Text typed in the editor is asked about first; キャンセル keeps the program running.
    if (form3_ && !form3_->CloseAfterAsking())
        return;
    // A failure is not reported: the program is ending either way.
    platform_.directory.setCurrentDirectory(state_.startDirectory);
    ending_ = true;
    for (const QPointer<QWidget>& w : windows_)
        if (w)
            w->close();
    close();
    emit programEnded();
}

void Form1::closeEvent(QCloseEvent* event) {
    // Closing from the frame ends the program like the exit command.
    if (!ending_) {
        endProgram();
        if (!ending_)
            event->ignore();
        return;
    }
    event->accept();
}

ChartPicture Form1::chartPicture() const {
    // The picture the screen shows: a scale that cannot be drawn is said, not exported empty.
    if (!ScaleIsValid(state_.settings))
        throw DataError(kScaleMessage);
    return ChartPicture{[this](DrawingSurface& surface) { DrawScreenChart(state_, surface); },
                        QSizeF(PictureBox::kScaleWidth, PictureBox::kScaleHeight),
                        picture1_->contentsRect().size(), picture1_->FontName()};
}

void Form1::mnuSaveChartItem_Click() {
    if (!applyTypedAlpha())
        return;
    const ChartPicture chart = chartPicture();
    SaveChartImage(this, platform_.files, chart, SuggestedChartPath(state_.dataFileName),
                   {state_.dataFileName, state_.deviateTableFileName});
}

void Form1::mnuReportItem_Click() {
    if (!applyTypedAlpha())
        return;
    const QDateTime made = QDateTime::currentDateTime();
    const auto draw = [&](QPagedPaintDevice& device) { DrawReport(state_, device, made); };
    const QString title = QStringLiteral("報告書の確認");
    if (!(pagesPreview_ ? pagesPreview_(this, title, draw) : ShowPagesPreview(this, title, draw)))
        return;
    const std::optional<QString> path = platform_.files.getSaveFileName(
        this, kPdfFileFilter, SuggestedReportPath(state_.dataFileName),
        QStringLiteral("報告書を保存する PDF ファイル"));
    if (!path || path->isEmpty())
        return;
    WriteReportPdf(state_, WithDefaultSuffix(*path, QStringLiteral("pdf")),
                   {state_.dataFileName, state_.deviateTableFileName}, made);
}

void Form1::CopyChart() {
    if (!applyTypedAlpha())
        return;
    CopyChartImage(chartPicture());
}

void Form1::mnuEndItem_Click() {
    state_.redrawMode = -1;
    Redraw();
}

// ---- The dispatcher ----

void Form1::drawChart(bool newSeries) {
    // A scale whose minimum is not below its maximum would divide by zero: say so instead. A
    // new series must not sit beside the last one's points, so the picture is emptied first.
    if (!ScaleIsValid(state_.settings)) {
        if (newSeries) {
            picture1_->Cls();
            outsideNote_->clear();
        }
        tell(kScaleMessage);
        return;
    }
    picture1_->Cls();
    try {
        DrawScreenChart(state_, *picture1_);
    } catch (...) {
        // Half a chart is never left on the screen.
        picture1_->Cls();
        outsideNote_->clear();
        throw;
    }
    showOutsideNote();
}

void Form1::showOutsideNote() {
    // One line, so the remedy goes into the tip of the same line.
    outsideNote_->setText(OutsideScaleText(state_));
    outsideNote_->setToolTip(outsideNote_->text().isEmpty()
                                 ? QString()
                                 : QStringLiteral("メニューの[設定]－[データに合わせる]で"
                                                  "全部の点が見えます。"));
}

void Form1::showResults(const ResultTexts& texts) {
    // Fifteen digits are wider than the box in its font: they show whole in a smaller size.
    const std::pair<QLineEdit*, const QString&> boxes[] = {{text9_, texts.arithMean},
                                                           {text2_, texts.geoMean},
                                                           {text3_, texts.maximum},
                                                           {text4_, texts.minimum}};
    for (const auto& [box, text] : boxes)
        ShowWholeText(box, text);
}

void Form1::showLoadedFile() {
    loadedFileName_ = state_.dataFileName;
    // An imported series is named by its observation file and by what was built from it: the
    // same file gives a total or a maximum.
    QString name = DisplayFileName(state_.dataFileName);
    // A duration table's series is named by its duration, which its menu changes.
    if (state_.durations.loaded())
        name += QStringLiteral(" - ") + state_.durations.names.value(state_.durations.shown);
    else if (!state_.study.series.origin.built.isEmpty())
        name += QStringLiteral("：") + state_.study.series.origin.built;
    text1_->setPlainText(name);
    setWindowTitle(QStringLiteral("非超過確率分布の作図（対数軸バージョン）  < ") + name +
                   QStringLiteral(" > "));
}

void Form1::Redraw() {
    switch (state_.redrawMode) {
    case 1:
        drawChart(false);
        break;
    case 3: {
        BusyCursor busy;
        // The analysis runs before the picture is cleared, so a failure leaves the chart alone.
        showResults(AnalyzeSeries(state_));
        refreshAnalysisWindows();
        drawChart(true);
        break;
    }
    case 0: {
        BusyCursor busy;
        if (!ScaleIsValid(state_.settings)) {
            tell(kScaleMessage);
            break;
        }
        // A page asked to carry the interval waits for it.
        if (state_.settings.showInterval)
            bootstrap_->WaitForFinished();
        const bool printed = PrintChart(state_, printer_, text7_->text(), text8_->text(), this);
        if (printed)
            drawChart(false);
        break;
    }
    case 2: {
        // Either the new series whole, or the previous one with its own file name.
        ResultTexts texts;
        const std::optional<SeriesData> pending = std::exchange(pendingSeries_, std::nullopt);
        const std::optional<PendingDurations> durations =
            std::exchange(pendingDurations_, std::nullopt);
        try {
            if (durations)
                texts = durations->index < 0
                            ? LoadFirstDuration(state_, durations->durations)
                            : LoadDuration(state_, durations->durations, durations->index);
            else
                texts = pending ? LoadSeries(state_, *pending) : LoadDataFile(state_);
        } catch (...) {
            state_.dataFileName = loadedFileName_;
            throw;
        }
        if (loadingEditorFile_ && importedOrigin_)
            AdoptImportedOrigin(state_.study.series, *importedOrigin_);
        showLoadedFile();
        showDurationMenu();
        showResults(texts);
        refreshAnalysisWindows();
        QString scaleNote;
        if (state_.settings.defaultsApplied == 0)
            applyFirstLoadDefaults();
        else
            scaleNote = fitScaleWhenNothingShows();
        state_.redrawMode = 1;
        drawChart(true);
        if (!scaleNote.isEmpty())
            outsideNote_->setText(scaleNote);
        // The series is analysed all the same: the method needs no consecutive years.
        if (const QString years = YearNotes(state_.study.series); !years.isEmpty())
            tell(years);
        break;
    }
    case -1:
        endProgram();
        break;
    default:
        break;
    }
}

void Form1::checkOnly(const std::array<QAction*, 5>& items, int index) {
    for (QAction* item : items)
        item->setChecked(false);
    items[index]->setChecked(true);
}

void Form1::applyFirstLoadDefaults() {
    ApplyFirstLoadDefaults(state_.settings, state_.study.series);
    text5_->setText(PowerOfTenText(state_.settings.scaleMaxIndex));
    text6_->setText(PowerOfTenText(state_.settings.scaleMinIndex));
    showScaleMarks();
    const std::pair<int32_t, QLabel*> widths[] = {{state_.settings.solidLineWidth, label23_},
                                                  {state_.settings.dashedLineWidth, label24_},
                                                  {state_.settings.regressionLineWidth, label25_}};
    for (const auto& [width, label] : widths)
        label->setText(QString::number(width));
    checkOnly(mnuPrntWakuVal_, state_.settings.solidLineWidth - 1);
    checkOnly(mnuPrntDottVal_, state_.settings.dashedLineWidth - 1);
    checkOnly(mnuPrntKaikVal_, state_.settings.regressionLineWidth - 1);
    setAnalysisModeControls(state_.settings.analysisMode);
}

void Form1::setAnalysisModeControls(int mode) {
    label17_->setText(QString::fromUtf8(kAnalysisModes[mode].label17));
    label18_->setText(QString::fromUtf8(kAnalysisModes[mode].label18));
    mnuAnaNot_->setChecked(mode == 0);
    mnuAnaLine_->setChecked(mode == 1);
    mnuAnaAll_->setChecked(mode == 2);
}

QString Form1::fitScaleWhenNothingShows() {
    const int n = state_.study.series.recordCount;
    if (n == 0 || !ScaleIsValid(state_.settings) || PointsOutsideScale(state_) < n)
        return {};
    const QString before =
        QStringLiteral("%1～%2").arg(PowerOfTenText(state_.settings.scaleMinIndex),
                                     PowerOfTenText(state_.settings.scaleMaxIndex));
    const ScalePair scale = FittingScale(state_.study.series);
    state_.settings.scaleMaxIndex = scale.maxIndex;
    state_.settings.scaleMinIndex = scale.minIndex;
    text5_->setText(PowerOfTenText(state_.settings.scaleMaxIndex));
    text6_->setText(PowerOfTenText(state_.settings.scaleMinIndex));
    showScaleMarks();
    return QStringLiteral(
               "横軸 %1 には点が一つも入らないため、データに合わせて %2～%3 にしました。")
        .arg(before, PowerOfTenText(scale.minIndex), PowerOfTenText(scale.maxIndex));
}

void Form1::showScaleMarks() {
    if (state_.settings.scaleMaxIndex >= 1 && state_.settings.scaleMaxIndex <= 5)
        checkOnly(mnuScaleMaxVal_, state_.settings.scaleMaxIndex - 1);
    if (state_.settings.scaleMinIndex >= -1 && state_.settings.scaleMinIndex <= 3)
        checkOnly(mnuScaleMinVal_, state_.settings.scaleMinIndex + 1);
}

// ---- File commands ----

void Form1::mnuFileOpenItem_Click() {
    const std::optional<QString> path =
        platform_.files.getOpenFileName(this, kDataFileFilter, state_.dataFileName);
    if (!path)
        return;
    OpenDataFile(*path);
}

void Form1::mnuFileImportItem_Click() {
    if (!frmImport_) {
        frmImport_ = new frmImport(platform_, *this, this);
        frmImport_->setAttribute(Qt::WA_DeleteOnClose);
        CentreOnScreen(frmImport_);
        adoptWindow(frmImport_);
    }
    ShowModeless(frmImport_);
}

bool Form1::ImportOpenInEditor(const QString& editorText, const QString& axisTitle,
                               const SeriesOrigin& origin) {
    // The editor's box may hold what the user typed: it is never replaced without a word.
    if (form3_ && form3_->isVisible()) {
        tell(QStringLiteral("データ作成のエディタが開いています。エディタの内容を保存するか閉じて"
                            "から、もう一度「エディタで開く」を押してください。"));
        return false;
    }
    mnuEditFile_Click();
    state_.editor.editorText = editorText;
    form3_->ShowNewData(true);
    importedAxisTitle_ = axisTitle;
    importedOrigin_ = origin;
    return true;
}

void Form1::ImportShowSeries(const SeriesData& series, const QString& axisTitle) {
    // The load of the open command with the series in hand: the observation file is the input,
    // named wherever a data file is and never written over by an export.
    state_.dataFileName = series.origin.observationFile;
    state_.redrawMode = 2;
    pendingSeries_ = series;
    Redraw();
    setMenusEnabled(
        {mnuSellect_, mnuPrintOutItem_, mnuSaveChartItem_, mnuPrinterItem_, mnuAna_, command1_},
        true);
    if (!axisTitle.isEmpty())
        text10_->setText(axisTitle);
}

void Form1::ImportShowDurations(const LoadedDurations& durations) {
    state_.dataFileName = durations.file;
    state_.redrawMode = 2;
    pendingDurations_ = PendingDurations{durations, -1};
    Redraw();
    setMenusEnabled(
        {mnuSellect_, mnuPrintOutItem_, mnuSaveChartItem_, mnuPrinterItem_, mnuAna_, command1_},
        true);
    showDurationTitle();
}

void Form1::mnuDurationItem_Click(int index) {
    // Whatever happens, the marks say which duration is loaded.
    const auto marks = qScopeGuard([this] { showDurationMenu(); });
    if (!state_.durations.loaded() || index == state_.durations.shown)
        return;
    state_.dataFileName = state_.durations.file;
    state_.redrawMode = 2;
    pendingDurations_ = PendingDurations{state_.durations, index};
    Redraw();
    showDurationTitle();
}

void Form1::showDurationMenu() {
    const LoadedDurations& durations = state_.durations;
    mnuDuration_->menuAction()->setVisible(durations.loaded());
    mnuAnaIntensityItem_->setEnabled(durations.loaded());
    // A plain series has no durations: the window has nothing left to show.
    if (!durations.loaded() && frmIntensity_)
        frmIntensity_->close();
    QStringList shown;
    for (const QAction* action : mnuDuration_->actions())
        shown << action->text();
    // The same table keeps its items, so an item's own command never removes it; only the
    // marks move.
    if (durations.loaded() && shown == durations.names) {
        const QList<QAction*> items = mnuDuration_->actions();
        for (int i = 0; i < items.size(); ++i)
            items[i]->setChecked(i == durations.shown);
        return;
    }
    mnuDuration_->clear();
    if (!durations.loaded())
        return;
    for (int i = 0; i < durations.names.size(); ++i) {
        QAction* action = mnuDuration_->addAction(durations.names[i]);
        action->setObjectName(QStringLiteral("mnuDurationItem_%1").arg(i));
        action->setCheckable(true);
        action->setChecked(i == durations.shown);
        // As with the arrays, the handler sets the marks itself.
        connect(action, &QAction::triggered, this, guarded([this, action, i] {
                    action->setChecked(!action->isChecked());
                    mnuDurationItem_Click(i);
                }));
    }
}

void Form1::showDurationTitle() {
    if (!state_.durations.loaded())
        return;
    const QString title = state_.durations.axisTitles.value(state_.durations.shown);
    if (!title.isEmpty())
        text10_->setText(title);
}

QStringList Form1::ImportInputFiles() const {
    return {state_.deviateTableFileName};
}

void Form1::OpenDataFile(const QString& path) {
    state_.dataFileName = path;
    state_.redrawMode = 2;
    if (!RunGuarded(platform_.messages, this, [this] { Redraw(); }))
        return;
    setMenusEnabled(
        {mnuSellect_, mnuPrintOutItem_, mnuSaveChartItem_, mnuPrinterItem_, mnuAna_, command1_},
        true);
    showDurationTitle();
}

namespace {

// The first local file among the dropped ones; links to other machines are not opened.
std::optional<QString> DroppedFile(const QMimeData* data) {
    if (!data)
        return std::nullopt;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            return url.toLocalFile();
    return std::nullopt;
}

} // namespace

// A drop opens a file only while the open command could: not during the splash, not while the
// editor holds the file menu.
bool Form1::dropOpensFiles() const {
    return mnuFile_->menuAction()->isEnabled();
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    if (dropOpensFiles() && DroppedFile(event->mimeData()))
        event->acceptProposedAction();
}

void Form1::dragMoveEvent(QDragMoveEvent* event) {
    if (dropOpensFiles() && DroppedFile(event->mimeData()))
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
    const std::optional<QString> path = DroppedFile(event->mimeData());
    if (!dropOpensFiles() || !path)
        return;
    event->acceptProposedAction();
    OpenDataFile(*path);
}

void Form1::mnuPrinterItem_Click() {
    printer_.ShowPrinterDialog(this);
}

void Form1::mnuPrintOutItem_Click() {
    if (!applyTypedAlpha())
        return;
    state_.redrawMode = 0;
    Redraw();
}

// ---- Settings commands ----

void Form1::mnuScaleMaxVal_Click(int16_t index) {
    state_.settings.scaleMaxIndex = index + 1;
    text5_->setText(PowerOfTenText(state_.settings.scaleMaxIndex));
    state_.redrawMode = 1;
    Redraw();
    checkOnly(mnuScaleMaxVal_, index);
}

void Form1::mnuScaleMinVal_Click(int16_t index) {
    state_.settings.scaleMinIndex = index - 1;
    text6_->setText(PowerOfTenText(state_.settings.scaleMinIndex));
    state_.redrawMode = 1;
    Redraw();
    checkOnly(mnuScaleMinVal_, index);
}

void Form1::mnuScaleFitItem_Click() {
    const ScalePair scale = FittingScale(state_.study.series);
    state_.settings.scaleMaxIndex = scale.maxIndex;
    state_.settings.scaleMinIndex = scale.minIndex;
    text5_->setText(PowerOfTenText(state_.settings.scaleMaxIndex));
    text6_->setText(PowerOfTenText(state_.settings.scaleMinIndex));
    state_.redrawMode = 1;
    Redraw();
    showScaleMarks();
}

void Form1::mnuPrntWakuVal_Click(int16_t index) {
    setPrintWidth(state_.settings.solidLineWidth, label23_, mnuPrntWakuVal_, index);
}

void Form1::mnuPrntDottVal_Click(int16_t index) {
    setPrintWidth(state_.settings.dashedLineWidth, label24_, mnuPrntDottVal_, index);
}

void Form1::mnuPrntKaikVal_Click(int16_t index) {
    setPrintWidth(state_.settings.regressionLineWidth, label25_, mnuPrntKaikVal_, index);
}

// The widths only matter when printing; the screen is redrawn all the same.
void Form1::setPrintWidth(int32_t& width, QLabel* label, const std::array<QAction*, 5>& items,
                          int16_t index) {
    width = index + 1;
    label->setText(QString::number(width));
    state_.redrawMode = 1;
    Redraw();
    checkOnly(items, index);
}

void Form1::mnuSetPosItem_Click() {
    if (!form2_) {
        form2_ = new Form2(
            printer_, platform_.messages,
            [this](const QString& right, const QString& up) {
                text7_->setText(right);
                text8_->setText(up);
            },
            this);
        adoptWindow(form2_);
    }
    ShowModeless(form2_);
}

void Form1::selectAnalysisMode(int mode) {
    setAnalysisModeControls(mode);
    state_.redrawMode = 1;
    state_.settings.analysisMode = mode;
    Redraw();
}

void Form1::mnuAnaNot_Click() {
    selectAnalysisMode(0);
}

void Form1::mnuAnaLine_Click() {
    selectAnalysisMode(1);
}

void Form1::mnuAnaAll_Click() {
    selectAnalysisMode(2);
}

void Form1::refreshAnalysisWindows() {
    refreshingWindows_ = true;
    const auto done = qScopeGuard([this] { refreshingWindows_ = false; });
    emit studyChanged();
}

void Form1::adoptWindow(QWidget* window, std::function<void()> refresh) {
    windows_.emplace_back(window);
    if (refresh)
        connect(this, &Form1::studyChanged, window, std::move(refresh));
}

void Form1::comparisonTicksChanged(const std::vector<ModelId>& ticked) {
    mnuAnaCurves_->setEnabled(!ticked.empty());
    if (state_.compared.show && !refreshingWindows_)
        drawChart(false);
}

void Form1::mnuAnaListItem_Click() {
    if (!applyTypedAlpha())
        return;
    if (!frmResults_) {
        frmResults_ = new frmResults(state_, platform_, this);
        frmResults_->setAttribute(Qt::WA_DeleteOnClose);
        CentreOnScreen(frmResults_);
        adoptWindow(frmResults_, [window = frmResults_.data()] { window->Refresh(); });
        frmResults_->SetBeforeExport([this] { return applyTypedAlpha(); });
    }
    ShowModeless(frmResults_);
}

void Form1::mnuAnaCompareItem_Click() {
    if (!applyTypedAlpha())
        return;
    if (!frmComparison_) {
        frmComparison_ = new frmComparison(state_, platform_, this, bootstrap_);
        frmComparison_->SetBeforeExport([this] { return applyTypedAlpha(); });
        frmComparison_->setAttribute(Qt::WA_DeleteOnClose);
        CentreOnScreen(frmComparison_);
        adoptWindow(frmComparison_, [window = frmComparison_.data()] { window->Refresh(); });
        connect(frmComparison_, &frmComparison::tickedModelsChanged, this,
                [this](const std::vector<ModelId>& ticked) {
                    RunGuarded(platform_.messages, this,
                               [this, ticked] { comparisonTicksChanged(ticked); });
                });
        // The interval the charts draw follows the window's highlight, and the selection when
        // it is closed.
        connect(frmComparison_, &frmComparison::intervalModelChanged, this, [this] {
            RunGuarded(platform_.messages, this, [this] {
                redrawInterval();
                // A new target or rule moves each duration's selection too.
                if (frmIntensity_)
                    frmIntensity_->Refresh();
            });
        });
        connect(frmComparison_, &frmComparison::cunnaneRequested, this,
                guarded(&Form1::applyCunnaneAlpha));
        // The window keeps its size and place for the rest of the run.
        // Closed, the window highlights nothing: the interval goes back to the selected model.
        connect(frmComparison_, &frmComparison::closing, this, [this](const QByteArray& geometry) {
            comparisonGeometry_ = geometry;
            if (!ending_)
                RunGuarded(platform_.messages, this, [this] { redrawInterval(); });
        });
        if (!comparisonGeometry_.isEmpty())
            frmComparison_->restoreGeometry(comparisonGeometry_);
        // The window ticked its selection while it was being made, before anyone listened.
        comparisonTicksChanged(frmComparison_->TickedModels());
    }
    ShowModeless(frmComparison_);
}

void Form1::mnuAnaIntensityItem_Click() {
    if (!applyTypedAlpha())
        return;
    if (!state_.durations.loaded()) {
        tell(QStringLiteral("確率雨量と降雨強度式は、継続時間の表（year,10min,1h,… の列）を"
                            "開いたときに求められます。"));
        return;
    }
    if (!frmIntensity_) {
        frmIntensity_ = new frmIntensity(state_, platform_, this);
        frmIntensity_->SetBeforeExport([this] { return applyTypedAlpha(); });
        frmIntensity_->setAttribute(Qt::WA_DeleteOnClose);
        CentreOnScreen(frmIntensity_);
        adoptWindow(frmIntensity_, [window = frmIntensity_.data()] { window->Refresh(); });
        connect(frmIntensity_, &frmIntensity::closing, this,
                [this](const QByteArray& geometry) { intensityGeometry_ = geometry; });
        if (!intensityGeometry_.isEmpty())
            frmIntensity_->restoreGeometry(intensityGeometry_);
    }
    ShowModeless(frmIntensity_);
}

void Form1::mnuAnaBand_Click() {
    state_.settings.showErrorBand = !state_.settings.showErrorBand;
    mnuAnaBand_->setChecked(state_.settings.showErrorBand);
    state_.redrawMode = 1;
    Redraw();
}

void Form1::mnuAnaInterval_Click() {
    state_.settings.showInterval = !state_.settings.showInterval;
    mnuAnaInterval_->setChecked(state_.settings.showInterval);
    ensureBootstrap();
    state_.redrawMode = 1;
    Redraw();
}

void Form1::ensureBootstrap() {
    const bool wanted = frmComparison_ || state_.settings.showInterval ||
                        state_.settings.selectBy == SelectionRule::Bootstrap;
    if (wanted && state_.study.series.recordCount > 0)
        bootstrap_->Ensure();
}

void Form1::redrawInterval() {
    if (state_.settings.showInterval && state_.study.series.recordCount > 0 &&
        ScaleIsValid(state_.settings))
        drawChart(false);
}

void Form1::mnuAnaCurves_Click() {
    state_.compared.show = !state_.compared.show;
    mnuAnaCurves_->setChecked(state_.compared.show);
    state_.redrawMode = 1;
    Redraw();
}

void Form1::showAlphaMark() {
    for (size_t i = 0; i < std::size(kPlottingPositions); ++i)
        mnuPlotPosVal_[i]->setChecked(kPlottingPositions[i] == state_.settings.alpha);
}

// The preset goes through the recalculate command, its bound and its messages included.
void Form1::mnuPlotPosVal_Click(int16_t index) {
    text11_->setText(FormatReal(kPlottingPositions[index]));
    // A refused preset puts the alpha in use back into the box.
    Command1_Click();
    showAlphaMark();
}

void Form1::applyCunnaneAlpha() {
    const auto* preset =
        std::find(std::begin(kPlottingPositions), std::end(kPlottingPositions), kCunnaneAlpha);
    mnuPlotPosVal_Click(static_cast<int16_t>(preset - std::begin(kPlottingPositions)));
}

void Form1::Command1_Click() {
    recalculate();
}

bool Form1::recalculate() {
    const double maxAlpha = MaxAlphaFor(state_.study.series.recordCount);
    const QString text = text11_->text();
    // A refused alpha leaves the one in use, and the box shows that one again.
    auto refuse = [this](const QString& message) {
        tell(message);
        platform_.messages.beep();
        text11_->setText(FormatReal(state_.settings.alpha));
    };
    if (text.isEmpty()) {
        refuse(kAlphaEmptyMessage);
        return false;
    }
    const double value = ReadNumericPrefix(text);
    if (value < 0) {
        refuse(kAlphaNegativeMessage);
        return false;
    }
    if (value > maxAlpha) {
        refuse(kAlphaTooLargeMessage);
        return false;
    }
    const double previous = state_.settings.alpha;
    state_.settings.alpha = value;
    text11_->setText(FormatReal(state_.settings.alpha));
    state_.redrawMode = 3;
    try {
        Redraw();
    } catch (...) {
        // The analysis refused the new alpha and left the arrays as they were: so is alpha.
        state_.settings.alpha = previous;
        text11_->setText(FormatReal(previous));
        throw;
    }
    showAlphaMark();
    return true;
}

bool Form1::applyTypedAlpha() {
    // Nothing is computed before a series is loaded, and the box then holds what is in use.
    if (state_.study.series.recordCount == 0 ||
        text11_->text() == FormatReal(state_.settings.alpha))
        return true;
    // A refused alpha has been told and the box shows the one in use again: the command that
    // wanted the typed one does not go on with another.
    return recalculate();
}

void Form1::Text10_Change() {
    const QString title = text10_->text();
    if (title.isEmpty()) {
        tell(kAxisTitleMessage);
        return;
    }
    state_.settings.axisTitle = title;
    // The comparison's chart carries the same title under its axis.
    if (frmComparison_)
        frmComparison_->UpdateChart();
    state_.redrawMode = 1;
    Redraw();
}

void Form1::Text1_Change() {
    if (!text1_->toPlainText().isEmpty())
        setMenusEnabled({mnuSellect_}, true);
}

// ---- Editor, dialogs and help ----

void Form1::mnuEditFile_Click() {
    if (!form3_) {
        form3_ = new Form3(state_, platform_, *this, this);
        adoptWindow(form3_);
    }
    ShowModeless(form3_);
}

void Form1::EditorSavedAndFinished() {
    // A failure goes back to the editor, which tells it and stays open at the line. The analysis
    // mode stays the user's, as with "開く(&O)".
    state_.redrawMode = 2;
    loadingEditorFile_ = true;
    const auto loaded = qScopeGuard([this] { loadingEditorFile_ = false; });
    Redraw();
    showScaleMarks();
    importedOrigin_.reset();
    setMenusEnabled(
        {mnuFile_, mnuSellect_, mnuPrintOutItem_, mnuSaveChartItem_, mnuPrinterItem_, mnuAna_},
        true);
    // An imported series brings its item name as the title; the box stays open to typing.
    if (!importedAxisTitle_.isEmpty())
        text10_->setText(std::exchange(importedAxisTitle_, QString()));
}

void Form1::EditorForcedEnd() {
    importedAxisTitle_.clear();
    importedOrigin_.reset();
    setMenusEnabled({mnuFile_}, true);
}

void Form1::mnuMessEditItem_Click() {
    platform_.messages.showMessage(this, HelpMessage(help_.dataHelpText), help_.dataHelpText[0]);
}

void Form1::mnuMessUseItem_Click() {
    platform_.messages.showMessage(this, HelpMessage(help_.drawingHelpText),
                                   help_.drawingHelpText[0]);
}

void Form1::mnuMessAnaItem_Click() {
    platform_.messages.showMessage(this, HelpMessage(help_.analysisHelpText),
                                   help_.analysisHelpText[0]);
}

void Form1::showHelpTopic(HelpTopicId id) {
    const HelpTopic topic = ExtraHelpTopic(id);
    // The options are listed from the command line's own table, so the topic names every one.
    const QString text =
        id == HelpTopicId::CommandLine ? topic.text + CommandLineOptionLines() : topic.text;
    platform_.messages.showMessage(this, text, topic.title);
}

void Form1::mnuMessVerItem_Click() {
    if (!frmAbout_) {
        frmAbout_ = new frmAbout(platform_, this);
        adoptWindow(frmAbout_);
    }
    ShowModeless(frmAbout_);
}
