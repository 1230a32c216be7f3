#include "agencyfile.h"
#include "app/form1.h"
#include "chart/modelcurves.h"
#include "comparison/frmcomparison.h"
#include "editor/form3.h"
#include "fakeplatform.h"
#include "importer/frmimport.h"
#include "info/form9.h"
#include "intensity/frmintensity.h"
#include "platform/widgets.h"
#include "print/printjob.h"
#include "results/frmresults.h"
#include "state/seriesnotes.h"
#include "statistics/dataerror.h"
#include "statistics/numeric.h"
#include "testhelpers.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>

#include <clocale>
#include <memory>

#include <sys/stat.h>

namespace {

class FakePrinter : public PrinterAccess {
public:
    int dialogs = 0;
    int pages = 0;
    bool ShowPrinterDialog(QWidget*) override {
        ++dialogs;
        return false;
    }
    bool PrintPage(QWidget*, const QString&, const QStringList&,
                   const std::function<void(QPagedPaintDevice&)>& drawPage) override {
        QTemporaryDir dir;
        QPdfWriter writer(dir.filePath("page.pdf"));
        drawPage(writer);
        ++pages;
        return true;
    }
};

const QString kSamples = QStringLiteral(QUORVEL_SOURCE_DIR "/data/samples/");
const QString kBadScale = QStringLiteral("スケールを正しく選択してね");

// One main window after start-up, with its splash finished unless asked otherwise.
struct Harness {
    FakePlatform fake;
    FakePrinter printer;
    AppState state;
    std::unique_ptr<Form1> form;

    explicit Harness(bool finishSplash = true) {
        fake.directory.current = QStringLiteral(QUORVEL_BIN_DIR);
        form = std::make_unique<Form1>(state, fake.platform, printer);
        form->Form_Load();
        if (finishSplash)
            this->finishSplash();
    }
    void finishSplash() {
        QPointer<Form9> splash = form->findChild<Form9*>();
        for (int i = 0; i < 45 && splash; ++i)
            splash->Timer1_Timer();
    }
    template <typename T> T* child(const QString& name) const { return Child<T>(form.get(), name); }
    QAction* action(const QString& name) const { return child<QAction>(name); }
    // A menu of the bar is enabled through its own action.
    bool enabled(const QString& name) const {
        if (auto* menu = form->findChild<QMenu*>(name))
            return menu->menuAction()->isEnabled();
        if (auto* button = form->findChild<QPushButton*>(name))
            return button->isEnabled();
        return action(name)->isEnabled();
    }
    QString text(const QString& name) const {
        if (auto* box = form->findChild<QPlainTextEdit*>(name))
            return box->toPlainText();
        if (auto* box = form->findChild<QLineEdit*>(name))
            return box->text();
        return child<QLabel>(name)->text();
    }
    QLineEdit* box(const QString& name) const { return child<QLineEdit>(name); }
    bool open(const QString& path) {
        fake.files.openAnswers << path;
        const int before = fake.messages.shown.size();
        action("mnuFileOpenItem")->trigger();
        return fake.messages.shown.size() == before;
    }
    QImage picture() const { return child<QWidget>("Picture1")->grab().toImage(); }
    QStringList lastMessages() const {
        QStringList texts;
        for (const auto& m : fake.messages.shown)
            texts << m.text;
        return texts;
    }
    int checkedIndex(const QString& array) const {
        int found = -1;
        for (int i = 0; i < 5; ++i)
            if (action(QStringLiteral("%1_%2").arg(array).arg(i))->isChecked()) {
                if (found >= 0)
                    return -2; // more than one mark
                found = i;
            }
        return found;
    }
};

const QStringList kDataMenus = {"mnuSellect",     "mnuAna",           "mnuPrintOutItem",
                                "mnuPrinterItem", "mnuSaveChartItem", "mnuReportItem",
                                "Command1"};

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    void startsWithDefaultsAndMenusOff() {
        Harness h(false);
        QCOMPARE(h.state.settings.alpha, 0.5);
        QCOMPARE(h.text("Text11"), QStringLiteral("0.5"));
        QCOMPARE(h.state.settings.axisTitle, QStringLiteral("降水量　(mm)"));
        QCOMPARE(h.text("Text10"), QStringLiteral("降水量　(mm)"));
        QCOMPARE(h.state.study.series.recordCount, 0);
        QCOMPARE(h.state.settings.scaleMinIndex, 0);
        QCOMPARE(h.state.settings.scaleMaxIndex, 0);
        QCOMPARE(h.state.startDirectory, QStringLiteral(QUORVEL_BIN_DIR));
        QCOMPARE(h.state.deviateTable[400] > 1.28, true);
        QCOMPARE(h.form->windowTitle(),
                 QStringLiteral("非超過確率分布の作図（対数軸バージョン２）"));
        for (const char* name : {"mnuFile", "mnuEditFile", "mnuMess"})
            QVERIFY2(!h.enabled(name), name);
        h.finishSplash();
        for (const char* name : {"mnuFile", "mnuEditFile", "mnuMess", "mnuFileOpenItem"})
            QVERIFY2(h.enabled(name), name);
        for (const QString& name : kDataMenus)
            QVERIFY2(!h.enabled(name), qPrintable(name));
        for (const char* array : {"mnuScaleMinVal", "mnuScaleMaxVal", "mnuPrntWakuVal"})
            QCOMPARE(h.checkedIndex(array), -1);
        QVERIFY(!h.action("mnuAnaNot")->isChecked());
    }

    void startsWithTheInstalledTableOrRefuses_data() {
        QTest::addColumn<bool>("installed");
        QTest::newRow("installed table beside the executable's folder") << true;
        QTest::newRow("no table anywhere") << false;
    }
    void startsWithTheInstalledTableOrRefuses() {
        QFETCH(bool, installed);
        QTemporaryDir empty, prefix;
        FakePlatform fake;
        FakePrinter printer;
        AppState state;
        fake.directory.current = empty.path();
        fake.directory.executable = prefix.filePath("bin");
        if (installed) {
            QVERIFY(QDir().mkpath(prefix.filePath("share/quorvel")));
            QVERIFY(QFile::copy(QUORVEL_SOURCE_DIR "/data/ndlist.txt",
                                prefix.filePath("share/quorvel/ndlist.txt")));
        }
        Form1 form(state, fake.platform, printer);
        try {
            form.Form_Load();
            QVERIFY2(installed, "started without ndlist.txt");
            QCOMPARE(qRound(state.deviateTable[400] * 10000), 12816);
        } catch (const DataError& error) {
            QVERIFY2(!installed, qPrintable(error.message()));
            QVERIFY(error.message().contains(empty.path() + "/ndlist.txt"));
        }
        // The start directory is the user's, wherever the table came from.
        QCOMPARE(state.startDirectory, empty.path());
        QVERIFY(fake.directory.setCalls.isEmpty());
    }

    void firstLoadAppliesDefaults() {
        Harness h;
        const QString path = kSamples + "precip_30y.csv";
        QVERIFY(h.open(path));
        QCOMPARE(h.state.study.series.recordCount, 30);
        QCOMPARE(h.text("Text1"), path);
        QCOMPARE(h.form->windowTitle(),
                 QStringLiteral("非超過確率分布の作図（対数軸バージョン）  < ") + path + " > ");
        // 1292.6 to 2098.5: the scale fits the data (see firstLoadFitsTheScale).
        QCOMPARE(h.text("Text5"), QStringLiteral("10000"));
        QCOMPARE(h.text("Text6"), QStringLiteral("1000"));
        QCOMPARE(h.text("Label23"), QStringLiteral("3"));
        QCOMPARE(h.text("Label24"), QStringLiteral("2"));
        QCOMPARE(h.text("Label25"), QStringLiteral("5"));
        QCOMPARE(h.checkedIndex("mnuScaleMaxVal"), 3);
        QCOMPARE(h.checkedIndex("mnuScaleMinVal"), 4);
        QCOMPARE(h.checkedIndex("mnuPrntWakuVal"), 2);
        QCOMPARE(h.checkedIndex("mnuPrntDottVal"), 1);
        QCOMPARE(h.checkedIndex("mnuPrntKaikVal"), 4);
        QCOMPARE(h.text("Label18"), QStringLiteral("解析項目：回帰結果を表示しない"));
        QVERIFY(h.action("mnuAnaNot")->isChecked());
        QVERIFY(!h.action("mnuAnaLine")->isChecked());
        QCOMPARE(h.state.settings.analysisMode, 0);
        QCOMPARE(h.state.settings.defaultsApplied, 1);
        QCOMPARE(h.state.redrawMode, 1);
        QVERIFY(!h.text("Text9").isEmpty());
        QVERIFY(!h.text("Text2").isEmpty());
        for (const QString& name : kDataMenus)
            QVERIFY2(h.enabled(name), qPrintable(name));
        QVERIFY(h.fake.messages.shown.isEmpty());
    }

    // Fifteen digits of a geometric mean are wider than the box: the text stays whole, drawn
    // smaller, and the tip carries it; a short value keeps the usual size and no tip.
    void statisticsBoxesKeepTheirWholeText() {
        Harness h;
        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        auto* geometric = h.form->findChild<QLineEdit*>(QStringLiteral("Text2"));
        auto* largest = h.form->findChild<QLineEdit*>(QStringLiteral("Text3"));
        QVERIFY(geometric && largest);
        QCOMPARE(geometric->text(), QStringLiteral("1657.91204826469"));
        QCOMPARE(geometric->toolTip(), geometric->text());
        QVERIFY(geometric->font().pointSizeF() < h.form->font().pointSizeF());
        QCOMPARE(geometric->cursorPosition(), 0);
        QCOMPARE(largest->text(), QStringLiteral("2098.5"));
        QVERIFY(largest->toolTip().isEmpty());
        QCOMPARE(largest->font().pointSizeF(), largest->parentWidget()->font().pointSizeF());
    }

    void secondLoadKeepsSettings() {
        Harness h;
        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        h.action("mnuScaleMaxVal_4")->trigger();
        h.action("mnuScaleMinVal_3")->trigger();
        h.action("mnuPrntWakuVal_0")->trigger();
        h.action("mnuAnaAll")->trigger();
        QVERIFY(h.open(kSamples + "precip_100y.csv"));
        QCOMPARE(h.state.study.series.recordCount, 100);
        QCOMPARE(h.state.settings.scaleMaxIndex, 5);
        QCOMPARE(h.state.settings.scaleMinIndex, 2);
        QCOMPARE(h.text("Text5"), QStringLiteral("100000"));
        QCOMPARE(h.text("Text6"), QStringLiteral("100"));
        QCOMPARE(h.state.settings.solidLineWidth, 1);
        QCOMPARE(h.text("Label23"), QStringLiteral("1"));
        QCOMPARE(h.state.settings.analysisMode, 2);
        QCOMPARE(h.checkedIndex("mnuScaleMaxVal"), 4);
        QCOMPARE(h.checkedIndex("mnuPrntWakuVal"), 0);
        QVERIFY(h.action("mnuAnaAll")->isChecked());
        QVERIFY(!h.action("mnuAnaNot")->isChecked());
        QVERIFY(h.fake.messages.shown.isEmpty());
    }

    void refusedScaleKeepsTextMarkAndChart() {
        Harness h;
        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        const QImage before = h.picture();
        h.action("mnuScaleMaxVal_0")->trigger(); // maximum 10 with minimum 10
        QCOMPARE(h.lastMessages(), QStringList{kBadScale});
        QCOMPARE(h.fake.messages.shown.last().caption, kAppTitle);
        QCOMPARE(h.text("Text5"), QStringLiteral("10"));
        QCOMPARE(h.state.settings.scaleMaxIndex, 1);
        QCOMPARE(h.checkedIndex("mnuScaleMaxVal"), 0);
        QCOMPARE(h.picture(), before);
        // Clicking the checked item again leaves exactly one mark.
        h.action("mnuScaleMaxVal_0")->trigger();
        QCOMPARE(h.checkedIndex("mnuScaleMaxVal"), 0);
    }

    // Modes 0, 2 and 3 never draw or print a refused scale.
    void refusedScaleIsNeverDrawnOrPrinted() {
        Harness h;
        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        h.action("mnuScaleMinVal_4")->trigger();
        h.action("mnuScaleMaxVal_2")->trigger(); // maximum 1000, not above minimum 1000
        h.fake.messages.clear();
        h.box("Text11")->setText("0.3");
        h.child<QPushButton>("Command1")->click();
        QCOMPARE(h.state.settings.alpha, 0.3);
        QCOMPARE(h.lastMessages(), QStringList{kBadScale});
        h.fake.messages.clear();
        h.action("mnuPrintOutItem")->trigger();
        QCOMPARE(h.lastMessages(), QStringList{kBadScale});
        QCOMPARE(h.printer.pages, 0);
        h.fake.messages.clear();
        QVERIFY(!h.open(kSamples + "precip_100y.csv"));
        QCOMPARE(h.state.study.series.recordCount, 100);
        QCOMPARE(h.lastMessages(), QStringList{kBadScale});
    }

    void recalculateChecksAlpha_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("alpha");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message");
        const QString none;
        QTest::newRow("at most the bound") << "0.94" << 0.94 << "0.94" << none;
        // A refused alpha puts the one in use back into the box.
        QTest::newRow("above the bound") << "0.95" << 0.5 << "0.5"
                                         << "α値が大きすぎます！これより小さい数値を入れてけ～ん！";
        QTest::newRow("empty") << "" << 0.5 << "0.5"
                               << "α値の設定失敗！正しく数字を入力してけ～ん！！";
        QTest::newRow("negative") << "-0.1" << 0.5 << "0.5"
                                  << "α値は負値なしです！０以上の数値を入れてけ～ん！";
        QTest::newRow("trailing letters") << "0.40abc" << 0.4 << "0.4" << none;
        QTest::newRow("letters only") << "abc" << 0.0 << "0" << none;
        QTest::newRow("zero") << "0" << 0.0 << "0" << none;
    }
    void recalculateChecksAlpha() {
        QFETCH(QString, typed);
        QFETCH(double, alpha);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        Harness h;
        QVERIFY(h.open(kSamples + "precip_30y.csv")); // bound (499 - 30) / 498 = 0.9418
        const double slopeBefore = h.state.study.analysis.slope;
        h.box("Text11")->setText(typed);
        h.child<QPushButton>("Command1")->click();
        QCOMPARE(h.state.settings.alpha, alpha);
        QCOMPARE(h.text("Text11"), shown);
        if (message.isEmpty()) {
            QVERIFY(h.fake.messages.shown.isEmpty());
            QCOMPARE(h.state.redrawMode, 3);
        } else {
            QCOMPARE(h.lastMessages(), QStringList{message});
            QCOMPARE(h.fake.messages.sequence, QStringLiteral("MB"));
            QCOMPARE(h.state.study.analysis.slope, slopeBefore);
        }
    }

    void plottingPositionPresetsMoveTheMark() {
        Harness h;
        QCOMPARE(h.checkedIndex("mnuPlotPosVal"), 4); // alpha 0.5 from start-up is Hazen's
        QTemporaryDir dir;
        QByteArray text;
        for (int i = 0; i < 257; ++i)
            text += QByteArray::number(1770 + i) + "," + QByteArray::number(800 + i % 97) + "\r\n";
        QVERIFY(h.open(WriteFile(dir, QStringLiteral("full.txt"), text)));
        h.action("mnuPlotPosVal_1")->trigger();
        QCOMPARE(h.state.settings.alpha, 0.375);
        QCOMPARE(h.text("Text11"), QStringLiteral("0.375"));
        QCOMPARE(h.checkedIndex("mnuPlotPosVal"), 1);
        // 257 records bound alpha by (499 - 257) / 498, below Hazen's 0.5.
        h.fake.messages.clear();
        h.action("mnuPlotPosVal_4")->trigger();
        QCOMPARE(h.lastMessages(), QStringList{QStringLiteral(
                                       "α値が大きすぎます！これより小さい数値を入れてけ～ん！")});
        QCOMPARE(h.fake.messages.beeps, 1);
        QCOMPARE(h.state.settings.alpha, 0.375);
        QCOMPARE(h.text("Text11"), QStringLiteral("0.375"));
        QCOMPARE(h.checkedIndex("mnuPlotPosVal"), 1);
        // An alpha of no preset carries no mark.
        h.box("Text11")->setText(QStringLiteral("0.3"));
        h.child<QPushButton>("Command1")->click();
        QCOMPARE(h.checkedIndex("mnuPlotPosVal"), -1);
    }

    void resultsWindowFollowsTheSeries() {
        Harness h;
        QVERIFY(h.open(kSamples + QStringLiteral("precip_30y.csv")));
        h.action("mnuAnaListItem")->trigger();
        auto* window = h.form->findChild<frmResults*>();
        QVERIFY(window);
        auto* records = Child<QTableWidget>(window, QStringLiteral("RecordTable"));
        auto* periods = Child<QTableWidget>(window, QStringLiteral("PeriodTable"));
        QCOMPARE(records->rowCount(), h.state.study.series.recordCount);
        QCOMPARE(periods->rowCount(), 11);
        // A click on a header sorts by the numbers, not their text.
        records->sortItems(1);
        for (int row = 1; row < records->rowCount(); ++row)
            QVERIFY(records->item(row - 1, 1)->data(Qt::UserRole).toDouble() <=
                    records->item(row, 1)->data(Qt::UserRole).toDouble());
        // A new alpha reaches the window.
        h.action("mnuPlotPosVal_0")->trigger();
        QCOMPARE(records->item(0, 3)->data(Qt::UserRole).toDouble(),
                 h.state.study.analysis.probabilities[0]);
        const QString text = window->TableText(QLatin1Char('\t'));
        QVERIFY(text.startsWith(QStringLiteral("年\t値\t順位")));
        QVERIFY(text.contains(QStringLiteral("\r\nα\t0\r\n")));
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("out.csv"));
        h.fake.files.saveAnswers << csv;
        Child<QPushButton>(window, QStringLiteral("SaveButton"))->click();
        QCOMPARE(ReadBytes(csv),
                 QByteArray("\xEF\xBB\xBF") + window->TableText(QLatin1Char(',')).toUtf8());
        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(!window->isVisible());
    }

    void comparisonWindowFollowsTheSeries() {
        Harness h;
        QVERIFY(!h.enabled("mnuAnaCompareItem") || !h.enabled("mnuAna"));
        QVERIFY(h.open(kSamples + QStringLiteral("precip_30y.csv")));
        QCOMPARE(h.child<QMenu>("mnuAna")->actions().indexOf(h.action("mnuAnaCompareItem")),
                 h.child<QMenu>("mnuAna")->actions().indexOf(h.action("mnuAnaListItem")) + 1);
        h.action("mnuAnaCompareItem")->trigger();
        auto* window = h.form->findChild<frmComparison*>();
        QVERIFY(window && window->isVisible());
        auto* summary = Child<QLabel>(window, QStringLiteral("Summary"));
        QVERIFY2(summary->text().startsWith(QStringLiteral("30 年の記録")),
                 qPrintable(summary->text()));
        QVERIFY(h.open(kSamples + QStringLiteral("precip_100y.csv")));
        QVERIFY2(summary->text().startsWith(QStringLiteral("100 年の記録")),
                 qPrintable(summary->text()));
        // Its chart leaves through the same export as the main one.
        QTemporaryDir dir;
        h.fake.files.saveAnswers << dir.filePath(QStringLiteral("compare.svg"));
        Child<QPushButton>(window, QStringLiteral("SaveChartButton"))->click();
        QVERIFY(h.fake.messages.shown.isEmpty());
        QVERIFY(ReadBytes(dir.filePath(QStringLiteral("compare.svg"))).contains("<svg"));
        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(!window->isVisible());
    }

    // A load, a new alpha and a preset each compute one study, however many windows show it;
    // every window then shows that study, and a paint or a print computes nothing.
    void oneStudyPerChange() {
        Harness h;
        QVERIFY(h.open(kSamples + QStringLiteral("precip_30y.csv")));
        h.action("mnuAnaAll")->trigger();
        h.action("mnuAnaBand")->trigger();
        h.action("mnuAnaListItem")->trigger();
        h.action("mnuAnaCompareItem")->trigger();
        h.action("mnuAnaCurves")->trigger();
        auto* comparison = h.form->findChild<frmComparison*>();
        auto* results = h.form->findChild<frmResults*>();
        QVERIFY(comparison && results);
        auto* heading = Child<QLabel>(results, QStringLiteral("Heading"));
        auto* summary = Child<QLabel>(comparison, QStringLiteral("Summary"));

        const int before = h.state.studiesComputed;
        QVERIFY(h.open(kSamples + QStringLiteral("precip_100y.csv")));
        QCOMPARE(h.state.studiesComputed, before + 1);
        QCOMPARE(h.state.study.series.recordCount, 100);
        QVERIFY(summary->text().startsWith(QStringLiteral("100 年の記録")));
        QCOMPARE(heading->text(), QStringLiteral("年合計値"));
        QCOMPARE(&comparison->Comparison(), &h.state.study.models);
        QCOMPARE(comparison->Comparison().recordCount, 100);

        h.picture();
        results->grab();
        comparison->grab();
        h.action("mnuPlotPosVal_2")->trigger();
        QCOMPARE(h.state.studiesComputed, before + 2);
        QCOMPARE(h.state.study.settings.alpha, 0.4);
        QCOMPARE(comparison->Comparison().alpha, 0.4);
        // The target moves the selection of the same study.
        Child<QComboBox>(comparison, QStringLiteral("TargetBox"))->setCurrentIndex(0);
        QCOMPARE(h.state.studiesComputed, before + 2);
        QCOMPARE(h.state.study.models.target, Target::Dry10);
        QCOMPARE(h.state.settings.target, Target::Dry10);
    }

    // The comparison's ticks reach the main chart while its item is on, outlive the window and
    // follow the next series.
    void comparedCurvesOnTheMainChart() {
        Harness h;
        QVERIFY(h.open(kSamples + QStringLiteral("precip_30y.csv")));
        QVERIFY(!h.enabled("mnuAnaCurves"));
        const QImage plain = h.picture();
        h.action("mnuAnaCompareItem")->trigger();
        auto* window = h.form->findChild<frmComparison*>();
        const ModelId selected = *window->Comparison().selected;
        QCOMPARE(TickedCurveModels(h.state), std::vector<ModelId>{selected});
        QVERIFY(h.enabled("mnuAnaCurves"));
        QCOMPARE(h.picture(), plain);

        h.action("mnuAnaCurves")->trigger();
        QVERIFY(h.action("mnuAnaCurves")->isChecked());
        const QImage withSelected = h.picture();
        QVERIFY(withSelected != plain);
        // Unticking the last curve takes it off the chart and leaves the item nothing to show.
        auto* models = Child<QTableWidget>(window, QStringLiteral("ModelTable"));
        models->item(static_cast<int>(selected), 0)->setCheckState(Qt::Unchecked);
        QVERIFY(h.state.compared.models.empty());
        QVERIFY(!h.enabled("mnuAnaCurves"));
        QCOMPARE(h.picture(), plain);
        models->item(static_cast<int>(ModelId::Gumbel), 0)->setCheckState(Qt::Checked);
        QVERIFY(h.picture() != plain);

        // Closed, the window leaves its ticks; the next series gets their curves fitted to it.
        QTest::keyClick(window, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!h.form->findChild<frmComparison*>());
        QVERIFY(h.open(kSamples + QStringLiteral("precip_100y.csv")));
        QCOMPARE(h.state.compared.models, std::vector<ModelId>{ModelId::Gumbel});
        const QImage withGumbel = h.picture();
        h.action("mnuAnaCurves")->trigger();
        QVERIFY(!h.state.compared.show);
        QVERIFY(h.picture() != withGumbel);
        h.action("mnuAnaCurves")->trigger();
        QCOMPARE(h.picture(), withGumbel);
    }

    // The ticks are the user's: a new target, a new alpha, a closed and reopened window and
    // the next file keep them; a model the next series cannot take is unticked and grey with its
    // reason, and ticked again on a series it can take.
    void userTicksOutliveEveryChange() {
        QTemporaryDir dir;
        Harness h;
        QVERIFY(h.open(kSamples + QStringLiteral("precip_30y.csv")));
        h.action("mnuAnaCompareItem")->trigger();
        auto* window = h.form->findChild<frmComparison*>();
        auto* table = Child<QTableWidget>(window, QStringLiteral("ModelTable"));
        auto tick = [&](ModelId id, bool on) {
            table->item(static_cast<int>(id), 0)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        };
        // Nothing chosen yet: the selection is ticked, and follows the target.
        const ModelId selected = *window->Comparison().selected;
        QCOMPARE(TickedCurveModels(h.state), std::vector<ModelId>{selected});
        for (const ModelId id : kModels)
            if (id != selected)
                tick(id, false);
        tick(selected, false);
        tick(ModelId::Gumbel, true);
        tick(ModelId::Gev, true);
        const std::vector<ModelId> mine{ModelId::Gumbel, ModelId::Gev};
        auto ticksAre = [&](const std::vector<ModelId>& expected) {
            auto* current = h.form->findChild<frmComparison*>();
            return current && current->TickedModels() == expected &&
                   TickedCurveModels(h.state) == expected;
        };
        QVERIFY(ticksAre(mine));
        h.action("mnuAnaCurves")->trigger();
        const int curvesBefore = ShownCurveModels(h.state).size();
        QCOMPARE(curvesBefore, 2);

        Child<QComboBox>(window, QStringLiteral("TargetBox"))->setCurrentIndex(0);
        QVERIFY(ticksAre(mine));
        h.box("Text11")->setText("0.4");
        h.child<QPushButton>("Command1")->click();
        QCOMPARE(h.state.study.models.alpha, 0.4);
        QVERIFY(ticksAre(mine));
        QTest::keyClick(window, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        h.action("mnuAnaCompareItem")->trigger();
        window = h.form->findChild<frmComparison*>();
        table = Child<QTableWidget>(window, QStringLiteral("ModelTable"));
        QVERIFY(ticksAre(mine));
        QVERIFY(h.open(kSamples + QStringLiteral("precip_100y.csv")));
        QVERIFY(ticksAre(mine));
        QCOMPARE(ShownCurveModels(h.state).size(), size_t(2));

        // Two records: Gumbel and GEV need three. They lose their ticks and grey, with the
        // reason in the note; the main chart draws neither.
        QVERIFY(h.open(WriteFile(dir, QStringLiteral("two.csv"), "2000,500\n2001,800\n")));
        QVERIFY(ticksAre({}));
        for (const ModelId id : mine) {
            const int row = static_cast<int>(id);
            QVERIFY(!(table->item(row, 0)->flags() & Qt::ItemIsEnabled));
            QCOMPARE(table->item(row, 0)->checkState(), Qt::Unchecked);
            QCOMPARE(table->item(row, 1)->foreground().color(), QColor(Qt::gray));
            QCOMPARE(table->item(row, table->columnCount() - 1)->text(),
                     h.state.study.models.model(id).model.problem());
        }
        QVERIFY(ShownCurveModels(h.state).empty());
        // A tick given meanwhile joins the kept ones.
        tick(ModelId::Ln2Pm, true);
        QVERIFY(ticksAre({ModelId::Ln2Pm}));
        QVERIFY(h.open(kSamples + QStringLiteral("precip_30y.csv")));
        QVERIFY(ticksAre({ModelId::Ln2Pm, ModelId::Gumbel, ModelId::Gev}));
    }

    // The comparison names the plotting position of its alpha and offers Cunnane's, which goes
    // through the preset; it opens showing every column and keeps its place once moved.
    void comparisonPlottingPositionAndPlace() {
        Harness h;
        QVERIFY(h.open(kSamples + QStringLiteral("precip_30y.csv")));
        h.action("mnuAnaCompareItem")->trigger();
        auto* window = h.form->findChild<frmComparison*>();
        auto* name = Child<QLabel>(window, QStringLiteral("PlottingPosition"));
        auto* cunnane = Child<QPushButton>(window, QStringLiteral("CunnaneButton"));
        QCOMPARE(name->text(), QStringLiteral("プロッティング・ポジション：Hazen (α = 0.5)"));
        QVERIFY(cunnane->isVisibleTo(window));
        const int before = h.state.studiesComputed;
        cunnane->click();
        QCOMPARE(h.state.studiesComputed, before + 1);
        QCOMPARE(h.state.settings.alpha, 0.4);
        QCOMPARE(h.text("Text11"), QStringLiteral("0.4"));
        QCOMPARE(h.checkedIndex("mnuPlotPosVal"), 2);
        QCOMPARE(name->text(), QStringLiteral("プロッティング・ポジション：Cunnane (α = 0.4)"));
        QVERIFY(!cunnane->isVisibleTo(window));
        h.box("Text11")->setText("0.3");
        h.child<QPushButton>("Command1")->click();
        QCOMPARE(name->text(), QStringLiteral("プロッティング・ポジション：α = 0.3"));
        QVERIFY(cunnane->isVisibleTo(window));

        auto* table = Child<QTableWidget>(window, QStringLiteral("ModelTable"));
        window->resize(window->OpeningSize(QSize(1280, 1024)));
        QVERIFY(window->width() <= 1280 && window->height() <= 1024);
        QCoreApplication::processEvents();
        QVERIFY2(table->horizontalHeader()->length() <= table->viewport()->width(),
                 qPrintable(QStringLiteral("%1 > %2")
                                .arg(table->horizontalHeader()->length())
                                .arg(table->viewport()->width())));
        const QRect placed(window->x() + 20, window->y() + 10, window->width() - 40,
                           window->height() - 30);
        window->setGeometry(placed);
        QTest::keyClick(window, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        h.action("mnuAnaCompareItem")->trigger();
        window = h.form->findChild<frmComparison*>();
        QCOMPARE(window->geometry(), placed);
    }

    void resultsWindowShowsSensibleDigits_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("rough");
        QTest::newRow("30 years") << QByteArray() << false;
        QTest::newRow("three records") << QByteArray("2000,500.25\n2001,800\n2002,650\n") << true;
    }
    // The window rounds, copy and CSV keep every digit, and a short record is said to give
    // rough standard errors.
    void resultsWindowShowsSensibleDigits() {
        QFETCH(QByteArray, data);
        QFETCH(bool, rough);
        QTemporaryDir dir;
        Harness h;
        QVERIFY(h.open(data.isEmpty() ? kSamples + QStringLiteral("precip_30y.csv")
                                      : WriteFile(dir, QStringLiteral("three.csv"), data)));
        h.action("mnuAnaListItem")->trigger();
        auto* window = h.form->findChild<frmResults*>();
        const QString figures = Child<QLabel>(window, QStringLiteral("Figures"))->text();
        QVERIFY2(figures.contains(QStringLiteral("μ = ") +
                                  QString::number(h.state.study.analysis.logMean, 'g', 6) +
                                  QLatin1Char('\n')),
                 qPrintable(figures));
        QVERIFY(figures.contains(QRegularExpression(QStringLiteral("\nr = \\d\\.\\d{4}\n"))));
        QVERIFY(
            figures.contains(QRegularExpression(QStringLiteral("\nSLSC = \\d\\.\\d{4}(\n|$)"))));
        QCOMPARE(figures.contains(QStringLiteral("標準誤差はおおまかな目安です")), rough);
        auto* records = Child<QTableWidget>(window, QStringLiteral("RecordTable"));
        QCOMPARE(records->item(0, 1)->text(),
                 QString::number(h.state.study.series.values[0], 'f', 1));
        const QString copied = window->TableText(QLatin1Char('\t'));
        QVERIFY(copied.contains(
            QStringLiteral("\r\nμ\t%1\r\n").arg(FormatReal(h.state.study.analysis.logMean))));
        // "res30" is saved as res30.csv.
        h.fake.files.saveAnswers << dir.filePath(QStringLiteral("res30"));
        Child<QPushButton>(window, QStringLiteral("SaveButton"))->click();
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("res30"))));
        QVERIFY(ReadBytes(dir.filePath(QStringLiteral("res30.csv"))).startsWith("\xEF\xBB\xBF"));
    }

    void resultsWindowShowsTheChecks_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("a step")
            << QByteArray("1990,10\n1991,10\n1992,10\n1993,10\n1994,10\n1995,10\n1996,20\n"
                          "1997,20\n1998,20\n1999,20\n2000,20\n2001,20\n")
            << QStringList{QStringLiteral("Mann–Kendall 検定：S = 36、z = 2.802、p = 0.005　"
                                          "5 % の有意水準で増加の傾向が認められます"),
                           QStringLiteral("Sen の傾き = 1.06（1 年あたり）"),
                           QStringLiteral("Pettitt 検定：K = 36、変化点の年 = 1995、p = 0.031　"
                                          "5 % の有意水準で 1995 年に変化点が認められます")};
        QTest::newRow("nine records")
            << QByteArray("2001,5\n2002,3\n2003,1\n2004,4\n2005,8\n2006,4\n2007,2\n2008,7\n"
                          "2009,6\n")
            << QStringList{QStringLiteral(
                   "傾向と変化点の検定には 10 件以上の記録が必要です（記録は 9 件）")};
    }
    // The checks stand under the statistics lines, after everything else of the figures.
    void resultsWindowShowsTheChecks() {
        QFETCH(QByteArray, data);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        Harness h;
        QVERIFY(h.open(WriteFile(dir, QStringLiteral("checks.csv"), data)));
        h.action("mnuAnaListItem")->trigger();
        auto* window = h.form->findChild<frmResults*>();
        const QString figures = Child<QLabel>(window, QStringLiteral("Figures"))->text();
        QVERIFY2(figures.endsWith(QLatin1Char('\n') + lines.join(QLatin1Char('\n'))),
                 qPrintable(figures));
        QVERIFY(figures.indexOf(QStringLiteral("SLSC = ")) < figures.indexOf(lines[0]));
    }

    // Values hundreds of decades apart put the line's 1-in-200 wet value past the largest
    // double: the window says so instead of showing "inf".
    void resultsWindowSaysWhatOverflows() {
        QTemporaryDir dir;
        Harness h;
        QVERIFY(h.open(WriteFile(dir, QStringLiteral("steep.csv"),
                                 "2001,1797.69313486\n2002,1200e3\n2003,1e-300\n")));
        h.action("mnuAnaListItem")->trigger();
        auto* window = h.form->findChild<frmResults*>();
        auto* periods = Child<QTableWidget>(window, QStringLiteral("PeriodTable"));
        QCOMPARE(periods->item(periods->rowCount() - 1, 3)->text(),
                 QStringLiteral("求められません"));
        QVERIFY(!window->TableText(QLatin1Char('\t')).contains(QStringLiteral("inf")));
    }

    void axisTitleRedrawsOrComplains() {
        Harness h;
        // Before any load the scale is 0 to 0 and the redraw is refused.
        h.box("Text10")->setText(QStringLiteral("流量"));
        QCOMPARE(h.lastMessages(), QStringList{kBadScale});
        QCOMPARE(h.state.settings.axisTitle, QStringLiteral("流量"));
        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        h.fake.messages.clear();
        h.box("Text10")->clear();
        QCOMPARE(h.lastMessages(),
                 QStringList{QStringLiteral("横軸の名前を正しく入力してください")});
        QCOMPARE(h.state.settings.axisTitle, QStringLiteral("流量"));
        h.fake.messages.clear();
        const QImage before = h.picture();
        QTest::keyClicks(h.box("Text10"), QStringLiteral("mm"));
        QCOMPARE(h.state.settings.axisTitle, QStringLiteral("mm"));
        QVERIFY(h.fake.messages.shown.isEmpty());
        QVERIFY(h.picture() != before);
    }

    void typingAFileNameEnablesSettings() {
        Harness h;
        QVERIFY(!h.enabled("mnuSellect"));
        QTest::keyClicks(h.child<QPlainTextEdit>("Text1"), QStringLiteral("x"));
        QVERIFY(h.enabled("mnuSellect"));
        QVERIFY(!h.enabled("mnuAna"));
        const QImage blank = h.picture();
        h.action("mnuScaleMaxVal_0")->trigger(); // exponent 1 above the minimum 0
        QVERIFY(h.fake.messages.shown.isEmpty());
        QVERIFY(h.picture() != blank);
        QCOMPARE(h.state.dataFileName, QString());
    }

    void failedLoadChangesNothing_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("kind"); // how bad.txt is made
        QTest::addColumn<QString>("messagePart");
        QTest::newRow("empty line between") << QByteArray("1990,5\r\n\r\n1991,6\r\n") << "file"
                                            << "空白行";
        QTest::newRow("zero value") << QByteArray("1990,5\r\n1991,0\r\n") << "file"
                                    << "0 以下";
        QTest::newRow("empty file") << QByteArray() << "file"
                                    << "2 件以上";
        QTest::newRow("258 records") << QByteArray("1,1\r\n").repeated(258) << "file"
                                     << "257 件を超え";
        QTest::newRow("257 records, then an empty line and one more")
            << QByteArray("1,1\r\n").repeated(257) + "\r\n1,1\r\n"
            << "file"
            << "空白行";
        QTest::newRow("largest double")
            << QByteArray("1990,1.7976931348623157e308\r\n1991,100") << "file"
            << "数値の範囲を超えます";
        QTest::newRow("two signs") << QByteArray("1990,5\r\n+-1991,6") << "file"
                                   << "数字ではありません";
        QTest::newRow("device") << QByteArray() << "/dev/zero"
                                << "通常のファイルではありません";
        QTest::newRow("named pipe") << QByteArray() << "fifo"
                                    << "通常のファイルではありません";
        QTest::newRow("folder") << QByteArray() << "folder"
                                << "通常のファイルではありません";
        QTest::newRow("over 16 MiB") << QByteArray() << "oversized"
                                     << "大きすぎます";
    }
    void failedLoadChangesNothing() {
        QFETCH(QByteArray, content);
        QFETCH(QString, kind);
        QFETCH(QString, messagePart);
        QTemporaryDir dir;
        QString bad = dir.filePath("bad.txt");
        if (kind == "file") {
            QVERIFY(WriteBytes(bad, content));
        } else if (kind == "fifo") {
            QCOMPARE(mkfifo(QFile::encodeName(bad).constData(), 0600), 0);
        } else if (kind == "folder") {
            QVERIFY(QDir().mkdir(bad));
        } else if (kind == "oversized") {
            QFile file(bad); // sparse: 16 MiB and one byte of nothing
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(16 * 1024 * 1024 + 1));
        } else {
            bad = kind;
        }
        Harness h;
        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        const QString title = h.form->windowTitle();
        const QStringList boxes = {"Text1", "Text2", "Text3", "Text4", "Text9"};
        QStringList before;
        for (const QString& name : boxes)
            before << h.text(name);
        const AppState stateBefore = h.state;
        const QImage picture = h.picture();

        QVERIFY(!h.open(bad));
        QCOMPARE(h.state.dataFileName, kSamples + "precip_30y.csv");
        QCOMPARE(h.fake.messages.shown.size(), 1);
        QVERIFY(h.lastMessages().first().contains(bad));
        QVERIFY2(h.lastMessages().first().contains(messagePart),
                 qPrintable(h.lastMessages().first()));
        QCOMPARE(h.form->windowTitle(), title);
        for (int i = 0; i < boxes.size(); ++i)
            QCOMPARE(h.text(boxes[i]), before[i]);
        QCOMPARE(h.state.study.series.recordCount, stateBefore.study.series.recordCount);
        QCOMPARE(h.state.study.series.values, stateBefore.study.series.values);
        QCOMPARE(h.state.study.analysis.deviates, stateBefore.study.analysis.deviates);
        QCOMPARE(h.picture(), picture);
    }

    void failedFirstLoadLeavesDataMenusOff() {
        QTemporaryDir dir;
        Harness h;
        QVERIFY(!h.open(WriteFile(dir, "one.txt", "1990,5\r\n")));
        for (const QString& name : kDataMenus)
            QVERIFY2(!h.enabled(name), qPrintable(name));
        QCOMPARE(h.state.settings.defaultsApplied, 0);
        QCOMPARE(h.text("Text1"), QString());
    }

    void cancelledOpenChangesNothing() {
        Harness h;
        h.action("mnuFileOpenItem")->trigger(); // no answer queued: cancel
        QVERIFY(h.fake.messages.shown.isEmpty());
        QCOMPARE(h.state.dataFileName, QString());
        QVERIFY(!h.enabled("mnuSellect"));
        QCOMPARE(h.fake.files.filtersSeen,
                 QStringList{"すべてのファイル (*)|*|テキスト ファイル (*.txt)|*.txt"});
    }

    void helpTopicsShowTheirTexts_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("ending");
        QTest::newRow("drawing") << "mnuMessUseItem"
                                 << "作図方法と印刷にあたっての注意点です"
                                 << "ほかの機械から印刷できます。\r\n";
        QTest::newRow("data") << "mnuMessEditItem"
                              << "データファイルの作成にあたっての注意点です"
                              << "エラーになります。\r";
        QTest::newRow("analysis") << "mnuMessAnaItem"
                                  << "解析項目について"
                                  << "有効になります。";
    }
    void helpTopicsShowTheirTexts() {
        QFETCH(QString, item);
        QFETCH(QString, title);
        QFETCH(QString, ending);
        Harness h;
        h.action(item)->trigger();
        QCOMPARE(h.fake.messages.shown.size(), 1);
        QCOMPARE(h.fake.messages.shown[0].caption, title);
        QVERIFY(h.fake.messages.shown[0].text.endsWith(ending));
    }

    void exitRestoresStartDirectory_data() {
        QTest::addColumn<bool>("fromFrame");
        QTest::newRow("exit command") << false;
        QTest::newRow("window frame") << true;
    }
    void exitRestoresStartDirectory() {
        QFETCH(bool, fromFrame);
        Harness h;
        QSignalSpy ended(h.form.get(), &Form1::programEnded);
        h.fake.directory.current = QStringLiteral("/somewhere/else");
        if (fromFrame)
            h.form->close();
        else
            h.action("mnuEndItem")->trigger();
        QCOMPARE(h.fake.directory.setCalls, QStringList{QStringLiteral(QUORVEL_BIN_DIR)});
        QCOMPARE(ended.count(), 1);
        QVERIFY(!h.form->isVisible());
    }

    // The program's end with text typed in the editor: asked first; キャンセル keeps both
    // windows, いいえ ends without writing, はい writes the file and ends.
    void exitAsksForTheEditorsText_data() {
        QTest::addColumn<bool>("fromFrame");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("ends");
        QTest::newRow("exit command, cancel") << false << int(Answer::Cancel) << false;
        QTest::newRow("window frame, cancel") << true << int(Answer::Cancel) << false;
        QTest::newRow("exit command, no") << false << int(Answer::No) << true;
        QTest::newRow("window frame, yes") << true << int(Answer::Yes) << true;
    }
    void exitAsksForTheEditorsText() {
        QFETCH(bool, fromFrame);
        QFETCH(int, answer);
        QFETCH(bool, ends);
        QTemporaryDir dir;
        Harness h;
        h.form->show();
        h.action("mnuEditFile")->trigger();
        QPointer<Form3> editor = h.form->findChild<Form3*>();
        QVERIFY(editor);
        editor->findChild<QPlainTextEdit*>("Text1")->setPlainText("2001 5\n2002 6");
        QSignalSpy ended(h.form.get(), &Form1::programEnded);
        h.fake.messages.answers << Answer(answer);
        const QString saved = dir.filePath("saved.txt");
        h.fake.files.saveAnswers << saved;
        if (fromFrame)
            h.form->close();
        else
            h.action("mnuEndItem")->trigger();
        QCOMPARE(h.fake.messages.asked.size(), 1);
        QCOMPARE(ended.count(), ends ? 1 : 0);
        QCOMPARE(h.form->isVisible(), !ends);
        QCOMPARE(bool(editor) && editor->isVisible(), !ends);
        QCOMPARE(QFile::exists(saved), Answer(answer) == Answer::Yes);
        if (!ends) {
            QCOMPARE(editor->findChild<QPlainTextEdit*>("Text1")->toPlainText(),
                     QStringLiteral("2001 5\n2002 6"));
            QVERIFY(h.fake.directory.setCalls.isEmpty());
        }
    }

    // 保存終了 on a file the loader refuses: the editor stays, at the line, with the message.
    void refusedEditorFileKeepsTheEditorAtTheLine() {
        QTemporaryDir dir;
        Harness h;
        h.form->show();
        h.action("mnuEditFile")->trigger();
        QPointer<Form3> editor = h.form->findChild<Form3*>();
        QVERIFY(editor);
        auto* box = editor->findChild<QPlainTextEdit*>("Text1");
        box->setPlainText("2001 5\n2002 6\n2003 7\n2004 8\n2005 9\n\n2006 1");
        box->moveCursor(QTextCursor::Start);
        const QString file = dir.filePath("typed.txt");
        h.fake.files.saveAnswers << file;
        editor->findChild<QAction*>("EmnuFileSaveItem")->setEnabled(true);
        editor->findChild<QAction*>("EmnuFileSaveItem")->trigger();
        RunDeferredDeletes();
        QVERIFY(editor && editor->isVisible());
        QCOMPARE(h.fake.messages.shown.size(), 1);
        QVERIFY2(h.lastMessages().first().contains("6 行目：空白行があります"),
                 qPrintable(h.lastMessages().first()));
        QCOMPARE(box->textCursor().blockNumber(), 5);
        QCOMPARE(ReadBytes(file), QByteArray("2001 5\r\n2002 6\r\n2003 7\r\n2004 8\r\n"
                                             "2005 9\r\n\r\n2006 1\r\n"));
        QCOMPARE(h.state.study.series.recordCount, 0);

        // Mended where it was typed, the same command hands it over and closes the editor.
        box->setPlainText("2001 5\n2002 6\n2003 7\n2004 8\n2005 9");
        h.fake.files.saveAnswers << file;
        editor->findChild<QAction*>("EmnuFileSaveItem")->trigger();
        QCOMPARE(h.state.study.series.recordCount, 5);
        QTRY_VERIFY(editor.isNull());
    }

    void editorHandOverLoadsTheSavedFile() {
        Harness h;
        h.state.dataFileName = kSamples + "precip_30y_editor.txt";
        h.form->EditorSavedAndFinished();
        QVERIFY(h.fake.messages.shown.isEmpty());
        QCOMPARE(h.state.study.series.recordCount, 30);
        QCOMPARE(h.state.settings.analysisMode, 0);
        QVERIFY(h.action("mnuAnaNot")->isChecked());
        QCOMPARE(h.checkedIndex("mnuScaleMaxVal"), 3);
        QCOMPARE(h.checkedIndex("mnuScaleMinVal"), 4);
        for (const char* name :
             {"mnuFile", "mnuSellect", "mnuPrintOutItem", "mnuPrinterItem", "mnuAna"})
            QVERIFY2(h.enabled(name), name);
        QVERIFY(!h.enabled("Command1"));
    }

    void editorHandOverShowsTheScaleDrawn() {
        Harness h;
        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        h.action("mnuScaleMinVal_0")->trigger();
        h.action("mnuScaleMaxVal_3")->trigger();
        h.action("mnuAnaLine")->trigger();
        h.state.dataFileName = kSamples + "precip_100y_editor.txt";
        h.form->EditorSavedAndFinished();
        QCOMPARE(h.state.study.series.recordCount, 100);
        QCOMPARE(h.checkedIndex("mnuScaleMinVal"), 0);
        QCOMPARE(h.checkedIndex("mnuScaleMaxVal"), 3);
        // The analysis mode is the user's, as after 開く.
        QCOMPARE(h.state.settings.analysisMode, 1);
        QVERIFY(h.action("mnuAnaLine")->isChecked());
        QVERIFY(h.enabled("Command1"));
    }

    // The import window's series goes to the editor as a new file; saved, it is analysed and
    // the item name becomes the axis title.
    void importedSeriesGoesThroughTheEditorToTheAnalysis() {
        QTemporaryDir dir;
        Harness h;
        QVERIFY(h.enabled("mnuFileImportItem"));
        const QString saved = dir.filePath(QStringLiteral("annual.txt"));
        h.fake.files.openAnswers << kSamples + "agency_daily_synthetic.csv";
        h.fake.files.saveAnswers << saved;
        h.action("mnuFileImportItem")->trigger();
        auto* window = h.form->findChild<frmImport*>();
        QVERIFY(window);
        Child<QPushButton>(window, QStringLiteral("FileButton"))->click();
        Child<QPushButton>(window, QStringLiteral("EditorButton"))->click();
        auto* editor = h.form->findChild<Form3*>();
        QVERIFY(editor);
        QCOMPARE(editor->windowTitle(), QStringLiteral("zivived < 新規の編集 >"));
        QCOMPARE(h.text("Text10"), QStringLiteral("降水量　(mm)"));
        editor->findChild<QAction*>(QStringLiteral("EmnuFileSaveItem"))->trigger();
        RunDeferredDeletes();
        // The year the import left out is told as its choice, with its reason, not as a fault
        // of the saved file.
        QCOMPARE(h.fake.messages.shown.size(), 1);
        const QString told = h.fake.messages.shown[0].text;
        QVERIFY2(told.contains(QStringLiteral("取り込みで次の年を除きました")) &&
                     told.contains(QStringLiteral("\n2009 年：")) &&
                     !told.contains(QStringLiteral("抜けている年")),
                 qPrintable(told));
        QCOMPARE(h.state.study.series.recordCount, 19); // 2001 to 2020 without 2009
        QCOMPARE(h.state.study.series.years[0], 2001);
        QVERIFY(ReadBytes(saved).startsWith("   2001   1873.3\r\n   2002   1927.1\r\n"));
        QCOMPARE(h.text("Text10"), QStringLiteral("年降水量　(mm)"));
        QCOMPARE(h.state.settings.axisTitle, QStringLiteral("年降水量　(mm)"));
    }

    // グラフに表示: the import's series becomes the loaded one as a file would, without a file.
    void importedSeriesShowsOnTheChart() {
        QTemporaryDir dir;
        const QString observation = dir.filePath(QStringLiteral("agency.csv"));
        QVERIFY(QFile::copy(kSamples + "agency_daily_synthetic.csv", observation));
        const QByteArray observed = ReadBytes(observation);
        Harness h;
        h.fake.files.openAnswers << observation;
        h.action("mnuFileImportItem")->trigger();
        auto* window = h.form->findChild<frmImport*>();
        QVERIFY(window);
        Child<QPushButton>(window, QStringLiteral("FileButton"))->click();
        Child<QComboBox>(window, QStringLiteral("Aggregate"))->setCurrentIndex(2);
        Child<QPushButton>(window, QStringLiteral("ShowButton"))->click();

        QCOMPARE(h.state.study.series.recordCount, 19); // 2001 to 2020 without 2009
        int record = 0;
        for (const AnnualRow& row : window->series()->rows)
            if (row.included) {
                QCOMPARE(h.state.study.series.years[record], row.year);
                QCOMPARE(h.state.study.series.values[record], row.value);
                ++record;
            }
        QCOMPARE(h.state.study.series.origin.kind, SeriesKind::AnnualMaximum);
        const QString built = h.state.study.series.origin.built;
        QVERIFY2(built.startsWith(QStringLiteral("年最大 2 日合計（降水量の合計）")),
                 qPrintable(built));
        QCOMPARE(h.state.dataFileName, observation);
        QCOMPARE(h.text("Text1"), observation + QStringLiteral("：") + built);
        QCOMPARE(h.form->windowTitle(),
                 QStringLiteral("非超過確率分布の作図（対数軸バージョン）  < ") + observation +
                     QStringLiteral("：") + built + " > ");
        QCOMPARE(h.text("Text10"), QStringLiteral("年最大2日降水量　(mm)"));
        QCOMPARE(h.state.settings.axisTitle, QStringLiteral("年最大2日降水量　(mm)"));
        QCOMPARE(h.state.settings.defaultsApplied, 1);
        for (const QString& name : kDataMenus)
            QVERIFY2(h.enabled(name), qPrintable(name));
        // Nothing written, the observation file as it was.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"agency.csv"});
        QCOMPARE(ReadBytes(observation), observed);
        // 2009 is the import's choice, told with its reason, not a year to check.
        QCOMPARE(h.fake.messages.shown.size(), 1);
        const QString message = h.lastMessages().first();
        QVERIFY2(message.contains(QStringLiteral("取り込みで次の年を除きました")) &&
                     message.contains(QStringLiteral("\n2009 年：")) &&
                     !message.contains(QStringLiteral("抜けている年")),
                 qPrintable(message));
        QVERIFY(window->isVisible());
    }

    // A series the analysis refuses leaves the previous one, its name and its title, and says
    // why in the import window's message.
    void refusedImportKeepsThePreviousSeries() {
        QTemporaryDir dir;
        Harness h;
        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        const QString title = h.form->windowTitle();
        const QString observation = WriteFile(dir, "daily.csv", HandWorkedDailyFile());
        h.fake.files.openAnswers << observation;
        h.action("mnuFileImportItem")->trigger();
        auto* window = h.form->findChild<frmImport*>();
        Child<QPushButton>(window, QStringLiteral("FileButton"))->click();
        Child<QSpinBox>(window, QStringLiteral("FromYear"))->setValue(2001); // one year
        Child<QPushButton>(window, QStringLiteral("ShowButton"))->click();
        QCOMPARE(h.fake.messages.shown.size(), 1);
        const QString message = h.lastMessages().first();
        QVERIFY2(message.contains(observation) && message.contains(QStringLiteral("2 件以上")),
                 qPrintable(message));
        QCOMPARE(h.state.study.series.recordCount, 30);
        QCOMPARE(h.state.study.series.origin.built, QString());
        QCOMPARE(h.state.dataFileName, kSamples + "precip_30y.csv");
        QCOMPARE(h.form->windowTitle(), title);
        QCOMPARE(h.text("Text1"), kSamples + "precip_30y.csv");
        QCOMPARE(h.text("Text10"), QStringLiteral("降水量　(mm)"));
    }

    // After an import the years it left out are explained; repeats and gaps it did not make
    // are still told as faults.
    void importedYearNotes_data() {
        QTest::addColumn<QList<int>>("years");
        QTest::addColumn<QStringList>("said");
        QTest::addColumn<QStringList>("unsaid");
        const QString leftOut = QStringLiteral("\n2001 年：欠測");
        QTest::newRow("left out only") << QList<int>{2000, 2002} << QStringList{leftOut}
                                       << QStringList{"抜けている年", "同じ年", "確かめて"};
        QTest::newRow("a repeat stays a fault")
            << QList<int>{2000, 2000, 2002}
            << QStringList{leftOut, "同じ年が 2 回以上あります：2000。", "確かめて"}
            << QStringList{"抜けている年"};
        QTest::newRow("a gap the import did not make")
            << QList<int>{2000, 2003}
            << QStringList{leftOut, "抜けている年があります：2002。", "確かめて"}
            << QStringList{"2001、", "2001～"};
    }
    void importedYearNotes() {
        QFETCH(QList<int>, years);
        QFETCH(QStringList, said);
        QFETCH(QStringList, unsaid);
        Harness h;
        SeriesData series;
        for (int year : years) {
            series.years[series.recordCount] = year;
            series.values[series.recordCount] = 100 + series.recordCount;
            ++series.recordCount;
        }
        series.origin.observationFile = QStringLiteral("/nowhere/daily.csv");
        series.origin.built = QStringLiteral("年合計");
        series.origin.leftOut = {QStringLiteral("1999 年：始まりの年"),
                                 QStringLiteral("2001 年：欠測")};
        series.origin.leftOutYears = {1999, 2001};
        h.form->ImportShowSeries(series, QString());
        QCOMPARE(h.state.study.series.recordCount, years.size());
        QCOMPARE(h.fake.messages.shown.size(), 1);
        const QString message = h.lastMessages().first();
        for (const QString& part : said)
            QVERIFY2(message.contains(part), qPrintable(message));
        for (const QString& part : unsaid)
            QVERIFY2(!message.contains(part), qPrintable(message));
        // A year left out before the first is no gap.
        QVERIFY2(!message.contains(QStringLiteral("1999")), qPrintable(message));
    }

    // Closing the editor on an imported series that was never saved asks first: making it again
    // means choosing everything in the import window again.
    void unsavedImportIsAChange() {
        Harness h;
        QVERIFY(h.form->ImportOpenInEditor(QStringLiteral("   2000   1\r\n   2001   2"), QString(),
                                           {}));
        auto* editor = h.form->findChild<Form3*>();
        QVERIFY(editor->HasChanges());
        QVERIFY(!editor->CloseAfterAsking());
        QCOMPARE(h.fake.messages.asked.size(), 1);
        QVERIFY(editor->isVisible());
    }

    void importWaitsForAnOpenEditor() {
        Harness h;
        h.action("mnuEditFile")->trigger();
        QVERIFY(!h.form->ImportOpenInEditor(QStringLiteral("   2000   1"), QString(), {}));
        QCOMPARE(h.fake.messages.shown.size(), 1);
        QVERIFY(h.fake.messages.shown[0].text.contains(QStringLiteral("エディタが開いています")));
    }

    void failedEditorHandOverKeepsThePreviousSeries_data() {
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<int>("line");
        QTest::newRow("years without values") << QByteArray("   1996   \r\n   1997   \r\n") << 1;
        // Refused by the analysis rather than the reader.
        QTest::newRow("a value of 0") << QByteArray("   1996   5\r\n   1997   0\r\n") << 2;
    }
    void failedEditorHandOverKeepsThePreviousSeries() {
        QFETCH(QByteArray, typed);
        QFETCH(int, line);
        QTemporaryDir dir;
        Harness h;
        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        h.action("mnuAnaAll")->trigger();
        h.state.dataFileName = WriteFile(dir, "typed.txt", typed);
        // The refusal goes back to the editor, which tells it at the line.
        try {
            h.form->EditorSavedAndFinished();
            QFAIL("the file was taken");
        } catch (const DataError& error) {
            QVERIFY(error.message().contains("typed.txt"));
            QCOMPARE(error.line(), line);
        }
        QVERIFY(h.fake.messages.shown.isEmpty());
        QCOMPARE(h.state.study.series.recordCount, 30);
        QCOMPARE(h.state.settings.analysisMode, 2);
        QVERIFY(h.action("mnuAnaAll")->isChecked());
        QCOMPARE(h.text("Label18"), QStringLiteral("解析項目：回帰線と解析値を表示"));
    }

    void settingsCommandsKeepTheWindow_data() {
        QTest::addColumn<QByteArray>("content");
        QByteArray seven;
        for (int year = 2001; year <= 2007; ++year)
            seven += QByteArray::number(year) + (year < 2007 ? ",1591.9\r\n" : ",1591.9000001\r\n");
        QTest::newRow("six times 1591.9 and one more") << seven;
        QTest::newRow("855931 and 855933") << QByteArray("7 855931\r\n8 855933\r\n");
        QTest::newRow("5000 and a little more")
            << QByteArray("2001,5000\r\n2002,5000.0000001\r\n2003,5000.0000002\r\n");
    }
    // Every settings command in every analysis mode on series whose fitted line is nearly
    // level and beyond the scale: nothing but the scale message is ever told.
    void settingsCommandsKeepTheWindow() {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        Harness h;
        const QImage blank = h.picture();
        QVERIFY(h.open(WriteFile(dir, "flat.txt", content)));
        QStringList commands;
        for (const char* array : {"mnuScaleMaxVal", "mnuScaleMinVal", "mnuPrntWakuVal",
                                  "mnuPrntDottVal", "mnuPrntKaikVal"})
            for (int i = 0; i < 5; ++i)
                commands << QStringLiteral("%1_%2").arg(array).arg(i);
        for (const char* mode : {"mnuAnaNot", "mnuAnaLine", "mnuAnaAll"}) {
            h.action(mode)->trigger();
            for (const QString& command : commands)
                h.action(command)->trigger();
            QTest::keyClicks(h.box("Text10"), QStringLiteral("x"));
            h.child<QPushButton>("Command1")->click();
            h.action("mnuPrintOutItem")->trigger();
            h.action("mnuScaleMinVal_2")->trigger();
            h.action("mnuScaleMaxVal_2")->trigger();
            QVERIFY(h.picture() != blank);
        }
        for (const QString& text : h.lastMessages())
            QCOMPARE(text, kBadScale);
        QCOMPARE(h.printer.pages, 3);
    }

    void refusedScaleEmptiesThePicture_data() {
        QTest::addColumn<bool>("load");
        QTest::newRow("then a load") << true;
        QTest::newRow("then recalculate") << false;
    }
    // A new series or a new alpha never shows beside the previous chart.
    void refusedScaleEmptiesThePicture() {
        QFETCH(bool, load);
        Harness h;
        const QImage blank = h.picture();
        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        h.action("mnuScaleMinVal_4")->trigger();
        h.action("mnuScaleMaxVal_2")->trigger(); // minimum 1000, maximum 1000
        QVERIFY(h.picture() != blank);
        h.fake.messages.clear();
        if (load) {
            QVERIFY(!h.open(kSamples + "precip_100y.csv"));
        } else {
            h.box("Text11")->setText("0.4");
            h.child<QPushButton>("Command1")->click();
        }
        QCOMPARE(h.lastMessages(), QStringList{kBadScale});
        QCOMPARE(h.picture(), blank);
    }

    // An alpha kept from a short series would read the table past its loaded part.
    void carriedOverAlphaIsRefusedUntilLowered() {
        QTemporaryDir dir;
        Harness h;
        QVERIFY(h.open(WriteFile(dir, "two.txt", "1990,5\r\n1991,6\r\n")));
        h.box("Text11")->setText("0.99");
        h.child<QPushButton>("Command1")->click();
        QCOMPARE(h.state.settings.alpha, 0.99);
        QVERIFY(!h.open(kSamples + "precip_100y.csv"));
        QCOMPARE(h.state.study.series.recordCount, 2);
        const QString message = h.lastMessages().last();
        for (const char* part : {"0.99", "100 件", "0.801204819277108"})
            QVERIFY2(message.contains(QString::fromUtf8(part)), qPrintable(message));
        h.box("Text11")->setText("0.8");
        h.child<QPushButton>("Command1")->click();
        QVERIFY(h.open(kSamples + "precip_100y.csv"));
        QCOMPARE(h.state.study.series.recordCount, 100);
    }

    // A comma-decimal C locale changes nothing the user reads or types.
    void numbersIgnoreTheLocale() {
        QTemporaryDir locales;
        const int built = QProcess::execute(
            "localedef", {"-i", "de_DE", "-f", "UTF-8", locales.filePath("de_DE.UTF-8")});
        QCOMPARE(built, 0);
        qputenv("LOCPATH", QFile::encodeName(locales.path()));
        const std::string previous = std::setlocale(LC_ALL, nullptr);
        QVERIFY(std::setlocale(LC_ALL, "de_DE.UTF-8"));
        char probe[8];
        std::snprintf(probe, sizeof probe, "%.1f", 0.5);
        const bool comma = QByteArray(probe) == "0,5";
        Harness h;
        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        const QString startAlpha = h.text("Text11");
        const QString mean = h.text("Text9");
        h.box("Text11")->setText("0.4");
        h.child<QPushButton>("Command1")->click();
        std::setlocale(LC_ALL, previous.c_str());
        qunsetenv("LOCPATH");
        QVERIFY(comma);
        QCOMPARE(startAlpha, QStringLiteral("0.5"));
        QVERIFY2(mean.contains('.') && !mean.contains(','), qPrintable(mean));
        QCOMPARE(h.state.settings.alpha, 0.4);
        QCOMPARE(h.text("Text11"), QStringLiteral("0.4"));
    }

    void firstLoadFitsTheScale_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("maximum");
        QTest::addColumn<QString>("minimum");
        QTest::newRow("30-year sample") << kSamples + "precip_30y.csv"
                                        << "10000"
                                        << "1000";
        QTest::newRow("100-year sample") << kSamples + "precip_100y.csv"
                                         << "10000"
                                         << "100";
        QTest::newRow("inside 10 to 1000") << QStringLiteral("inside.txt") << "1000"
                                           << "10";
    }
    // The first load shows every point; later the user's scale stands, says what it leaves
    // out below the picture, and "データに合わせる" brings the fitted pair back.
    void firstLoadFitsTheScale() {
        QFETCH(QString, file);
        QFETCH(QString, maximum);
        QFETCH(QString, minimum);
        QTemporaryDir dir;
        if (!file.contains('/'))
            file = WriteFile(dir, file, "1990,20\r\n1991,300\r\n1992,999.9\r\n");
        Harness h;
        QVERIFY(h.open(file));
        QCOMPARE(h.text("Text5"), maximum);
        QCOMPARE(h.text("Text6"), minimum);
        QCOMPARE(h.text("Label33"), QString());
        h.action("mnuScaleMinVal_0")->trigger(); // 0.1 to the fitted maximum
        h.action("mnuScaleMaxVal_0")->trigger(); // 0.1 to 10: every point beyond
        const int outside = PointsOutsideScale(h.state);
        QVERIFY(outside > 0);
        QVERIFY2(h.text("Label33").contains(QStringLiteral("外にデータが %1 個").arg(outside)),
                 qPrintable(h.text("Label33")));
        // A second load with not one point on the user's scale takes the fitting one and says so.
        QVERIFY(h.open(file));
        QCOMPARE(h.text("Text5"), maximum);
        QVERIFY2(h.text("Label33").contains(QStringLiteral("点が一つも入らない")),
                 qPrintable(h.text("Label33")));
        h.action("mnuScaleMinVal_0")->trigger();
        h.action("mnuScaleMaxVal_0")->trigger();
        h.action("mnuScaleFitItem")->trigger();
        QCOMPARE(h.text("Text5"), maximum);
        QCOMPARE(h.text("Text6"), minimum);
        QCOMPARE(
            h.action(QStringLiteral("mnuScaleMaxVal_%1").arg(h.state.settings.scaleMaxIndex - 1))
                ->isChecked(),
            true);
        QCOMPARE(h.checkedIndex("mnuScaleMinVal"), h.state.settings.scaleMinIndex + 1);
        QCOMPARE(h.text("Label33"), QString());
        QVERIFY(h.fake.messages.shown.isEmpty());
    }

    void enterInTheAlphaBoxRecalculates_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("alpha");
        QTest::addColumn<int>("preset");
        QTest::addColumn<int>("messages");
        QTest::newRow("Cunnane's 0.4") << "0.4" << 0.4 << 2 << 0;
        QTest::newRow("refused, the box goes back") << "0.99" << 0.5 << 4 << 1;
    }
    void enterInTheAlphaBoxRecalculates() {
        QFETCH(QString, typed);
        QFETCH(double, alpha);
        QFETCH(int, preset);
        QFETCH(int, messages);
        Harness h;
        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        const double slopeBefore = h.state.study.analysis.slope;
        h.box("Text11")->setText(typed);
        QTest::keyClick(h.box("Text11"), Qt::Key_Return);
        QCOMPARE(h.state.settings.alpha, alpha);
        QCOMPARE(h.text("Text11"), FormatReal(alpha));
        QCOMPARE(h.checkedIndex("mnuPlotPosVal"), preset);
        QCOMPARE(h.fake.messages.shown.size(), messages);
        QCOMPARE(h.state.study.analysis.slope != slopeBefore, messages == 0);
    }

    // An alpha typed without Enter is the alpha a command that uses it takes: applied first, as
    // 再計算 would, or refused with its message, the box put back and nothing printed.
    void typedAlphaIsUsedByThePrint_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("alpha");
        QTest::addColumn<int>("pages");
        QTest::newRow("applied") << "0.4" << 0.4 << 1;
        QTest::newRow("refused") << "0.99" << 0.5 << 0;
        QTest::newRow("unchanged") << "0.5" << 0.5 << 1;
    }
    void typedAlphaIsUsedByThePrint() {
        QFETCH(QString, typed);
        QFETCH(double, alpha);
        QFETCH(int, pages);
        Harness h;
        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        h.box("Text11")->setText(typed);
        h.action("mnuPrintOutItem")->trigger();
        QCOMPARE(h.printer.pages, pages);
        QCOMPARE(h.state.settings.alpha, alpha);
        QCOMPARE(h.state.study.settings.alpha, alpha);
        QCOMPARE(h.text("Text11"), FormatReal(alpha));
        QCOMPARE(h.fake.messages.shown.size(), pages == 0 ? 1 : 0);
    }

    // The comparison's CSV is an export too: a typed alpha is applied before it is written.
    void typedAlphaIsUsedByTheComparisonCsv() {
        QTemporaryDir dir;
        Harness h;
        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        h.action("mnuAnaCompareItem")->trigger();
        auto* window = h.form->findChild<frmComparison*>();
        QVERIFY(window);
        h.box("Text11")->setText(QStringLiteral("0.4"));
        h.fake.files.saveAnswers << dir.filePath(QStringLiteral("models.csv"));
        window->CsvButton_Click();
        QCOMPARE(h.state.study.settings.alpha, 0.4);
        QFile csv(dir.filePath(QStringLiteral("models.csv")));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(csv.readAll()).contains(QStringLiteral("Cunnane")));
    }

    // A later load whose every point lies outside the scale in use takes the scale that fits
    // it and says so under the chart; one with a point inside keeps the user's scale.
    void loadOutsideTheScaleTakesTheFittingScale() {
        QTemporaryDir dir;
        Harness h;
        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        const QString before = h.text("Text6") + QStringLiteral("～") + h.text("Text5");
        const QString small = WriteFile(dir, "small.csv", "2001,0.2\n2002,0.5\n2003,0.9\n");
        QVERIFY(h.open(small));
        QCOMPARE(h.text("Text6"), QStringLiteral("0.1"));
        QCOMPARE(h.text("Text5"), QStringLiteral("10"));
        QCOMPARE(h.checkedIndex("mnuScaleMinVal"), 0);
        QVERIFY2(h.text("Label33").contains(before + QStringLiteral(" には点が一つも入らない")),
                 qPrintable(h.text("Label33")));
        const QString partly = WriteFile(dir, "partly.csv", "2001,0.5\n2002,5\n2003,50\n");
        QVERIFY(h.open(partly));
        QCOMPARE(h.text("Text6"), QStringLiteral("0.1"));
        QCOMPARE(h.text("Text5"), QStringLiteral("10"));
    }

    void chartLeavesAsImage_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("written");
        QTest::newRow("png") << "chart"
                             << "chart.png";
        QTest::newRow("svg") << "chart.svg"
                             << "chart.svg";
        QTest::newRow("copy") << ""
                              << "";
    }
    void chartLeavesAsImage() {
        QFETCH(QString, answer);
        QFETCH(QString, written);
        QTemporaryDir dir;
        Harness h;
        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        if (answer.isEmpty()) {
            QGuiApplication::clipboard()->clear();
            h.action("copyChartAction")->trigger();
            const QImage copied = QGuiApplication::clipboard()->image();
            QVERIFY(copied.height() >= 1200);
            QVERIFY(h.fake.messages.shown.isEmpty());
            return;
        }
        h.fake.files.saveAnswers << dir.filePath(answer);
        h.action("mnuSaveChartItem")->trigger();
        QVERIFY2(h.fake.messages.shown.isEmpty(), qPrintable(h.lastMessages().join(' ')));
        QCOMPARE(h.fake.files.initialPathsSeen.last().section('/', -1),
                 QStringLiteral("precip_30y.png"));
        QVERIFY(QFileInfo(dir.filePath(written)).size() > 1000);
        if (written.endsWith(".png"))
            QVERIFY(QImage(dir.filePath(written)).height() >= 1200);
    }

    // The report is previewed, then saved where the user says, never over the data file.
    void reportIsPreviewedThenSaved_data() {
        QTest::addColumn<bool>("saveChosen");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("refused");
        QTest::newRow("saved") << true << "study.pdf"
                               << "study.pdf" << false;
        QTest::newRow("suffix added") << true << "study"
                                      << "study.pdf" << false;
        QTest::newRow("preview closed") << false << "study.pdf"
                                        << "" << false;
        QTest::newRow("name cancelled") << true << ""
                                        << "" << false;
        QTest::newRow("over the data file") << true << "DATA"
                                            << "" << true;
    }
    void reportIsPreviewedThenSaved() {
        QFETCH(bool, saveChosen);
        QFETCH(QString, answer);
        QFETCH(QString, written);
        QFETCH(bool, refused);
        QTemporaryDir dir;
        const QString data = dir.filePath("rain.csv");
        QVERIFY(QFile::copy(kSamples + "precip_30y.csv", data));
        Harness h;
        QVERIFY(h.open(data));
        QVERIFY(h.enabled("mnuReportItem"));
        // The item follows the chart's save item in the file menu.
        const QList<QAction*> items = h.child<QMenu>("mnuFile")->actions();
        QCOMPARE(items.indexOf(h.action("mnuReportItem")),
                 items.indexOf(h.action("mnuSaveChartItem")) + 1);
        qint64 previewBytes = 0;
        h.form->SetPagesPreview(
            [&](QWidget*, const QString&, const std::function<void(QPagedPaintDevice&)>& draw) {
                QBuffer buffer;
                buffer.open(QIODevice::WriteOnly);
                QPdfWriter writer(&buffer);
                draw(writer);
                previewBytes = buffer.size();
                return saveChosen;
            });
        if (answer == "DATA")
            h.fake.files.saveAnswers << data;
        else
            h.fake.files.saveAnswers << (answer.isEmpty() ? std::optional<QString>()
                                                          : std::optional(dir.filePath(answer)));
        const QByteArray before = ReadBytes(data);
        h.action("mnuReportItem")->trigger();
        // The preview's pages come from the same drawing as the file's.
        QVERIFY(previewBytes > 10000);
        QCOMPARE(ReadBytes(data), before);
        QCOMPARE(h.fake.messages.shown.size(), refused ? 1 : 0);
        if (saveChosen)
            QCOMPARE(h.fake.files.initialPathsSeen.last(), dir.filePath("rain-report.pdf"));
        else
            QCOMPARE(h.fake.files.saveAnswers.size(), 1);
        const QStringList expected =
            written.isEmpty() ? QStringList{"rain.csv"} : QStringList{"rain.csv", written};
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), expected);
        if (!written.isEmpty())
            QVERIFY(ReadBytes(dir.filePath(written)).startsWith("%PDF"));
    }

    void repeatedAndMissingYearsAreTold() {
        QTemporaryDir dir;
        Harness h;
        QVERIFY(!h.open(WriteFile(dir, "years.txt", "1996,1500\r\n1996,1600\r\n1998,1700\r\n")));
        // Analysed all the same, then told once.
        QCOMPARE(h.state.study.series.recordCount, 3);
        QVERIFY(h.enabled("mnuPrintOutItem"));
        QCOMPARE(h.fake.messages.shown.size(), 1);
        const QString message = h.lastMessages().first();
        QVERIFY2(message.contains(QStringLiteral("同じ年が 2 回以上あります：1996。")) &&
                     message.contains(QStringLiteral("抜けている年があります：1997。")),
                 qPrintable(message));
        QCOMPARE(h.fake.messages.shown.first().caption, kAppTitle);
    }

    void offsetOffTheSheetIsRefused_data() {
        QTest::addColumn<QString>("right");
        QTest::addColumn<QString>("up");
        QTest::addColumn<bool>("prints");
        QTest::newRow("300 mm right") << "300"
                                      << "0" << false;
        QTest::newRow("20 mm right") << "20"
                                     << "0" << true;
        QTest::newRow("21 mm right") << "21"
                                     << "0" << false;
        QTest::newRow("40 mm left") << "-40"
                                    << "0" << true;
        QTest::newRow("27 mm up") << "0"
                                  << "27" << true;
        QTest::newRow("28 mm up") << "0"
                                  << "28" << false;
        QTest::newRow("84 mm down") << "0"
                                    << "-84" << true;
        QTest::newRow("85 mm down") << "0"
                                    << "-85" << false;
    }
    void offsetOffTheSheetIsRefused() {
        QFETCH(QString, right);
        QFETCH(QString, up);
        QFETCH(bool, prints);
        Harness h;
        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        h.box("Text7")->setText(right);
        h.box("Text8")->setText(up);
        h.action("mnuPrintOutItem")->trigger();
        QCOMPARE(h.printer.pages, prints ? 1 : 0);
        if (prints) {
            QVERIFY(h.fake.messages.shown.isEmpty());
        } else {
            QCOMPARE(h.fake.messages.shown.size(), 1);
            QVERIFY2(h.lastMessages().first().contains(QStringLiteral("はみ出します")),
                     qPrintable(h.lastMessages().first()));
        }
    }

    void fileCommandsHaveShortcuts_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("keys");
        QTest::newRow("open") << "mnuFileOpenItem"
                              << "開く(&O)" << QKeySequence("Ctrl+O");
        QTest::newRow("print") << "mnuPrintOutItem"
                               << "印刷(&P)" << QKeySequence("Ctrl+P");
        QTest::newRow("exit") << "mnuEndItem"
                              << "終了(&X)" << QKeySequence("Ctrl+Q");
        QTest::newRow("save chart") << "mnuSaveChartItem"
                                    << "図を保存(&G)..." << QKeySequence();
        QTest::newRow("copy chart") << "copyChartAction"
                                    << "" << QKeySequence("Ctrl+Shift+C");
    }
    void fileCommandsHaveShortcuts() {
        QFETCH(QString, item);
        QFETCH(QString, caption);
        QFETCH(QKeySequence, keys);
        Harness h(false);
        QCOMPARE(h.action(item)->shortcut(), keys);
        QCOMPARE(h.action(item)->text(), caption);
        // During the splash the file menu is off, and its shortcuts do nothing either.
        QSignalSpy ended(h.form.get(), &Form1::programEnded);
        h.fake.files.openAnswers << kSamples + "precip_30y.csv";
        h.action(item)->trigger();
        QCOMPARE(ended.count(), 0);
        QCOMPARE(h.state.study.series.recordCount, 0);
        QCOMPARE(h.fake.files.openAnswers.size(), 1);
    }

    void helpTopicsOfTheAdditions_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("results") << "mnuMessListItem"
                                 << "SLSC";
        QTest::newRow("band") << "mnuMessBandItem"
                              << "推定誤差の幅を表示";
        QTest::newRow("presets") << "mnuMessPlotPosItem"
                                 << "Gringorten";
        QTest::newRow("command line") << "mnuMessCommandItem"
                                      << "--pdf";
        QTest::newRow("comparison") << "mnuMessCompareItem"
                                    << "ジャックナイフ誤差が最も小さい";
        QTest::newRow("durations") << "mnuMessDurationItem"
                                   << "--durations";
        QTest::newRow("intensity") << "mnuMessIntensityItem"
                                   << "--fit-durations";
        QTest::newRow("report") << "mnuMessReportItem"
                                << "Mann–Kendall";
    }
    void helpTopicsOfTheAdditions() {
        QFETCH(QString, item);
        QFETCH(QString, mentions);
        Harness h;
        QAction* action = h.action(item);
        QVERIFY(h.child<QMenu>("mnuMess")->actions().contains(action));
        action->trigger();
        QCOMPARE(h.fake.messages.shown.size(), 1);
        const ShownMessage& shown = h.fake.messages.shown.first();
        QVERIFY(!shown.caption.isEmpty() && shown.caption != kAppTitle);
        QVERIFY2(shown.text.contains(mentions), qPrintable(shown.text));
        // Lines end with a lone CR, as in the first three topics.
        QVERIFY(shown.text.endsWith('\r') && !shown.text.contains('\n'));
    }

    void printerCommandsReachThePrinter() {
        Harness h;
        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        h.action("mnuPrinterItem")->trigger();
        QCOMPARE(h.printer.dialogs, 1);
        h.box("Text7")->setText("5");
        h.box("Text8")->setText("-3");
        h.action("mnuPrintOutItem")->trigger();
        h.action("mnuPrintOutItem")->trigger();
        QCOMPARE(h.printer.pages, 2);
        QCOMPARE(h.state.settings.printOffsetX, 50.0);
        QCOMPARE(h.state.settings.printOffsetY, -30.0);
        QCOMPARE(h.state.redrawMode, 0);
        QVERIFY(h.fake.messages.shown.isEmpty());
    }

    // The file named on the command line, opened while the splash still runs.
    void fileArgumentOpensDuringTheSplash_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("loads");
        QTest::newRow("good") << kSamples + "precip_100y.csv" << true;
        QTest::newRow("missing") << kSamples + "nothing.csv" << false;
    }
    void fileArgumentOpensDuringTheSplash() {
        QFETCH(QString, file);
        QFETCH(bool, loads);
        Harness h(false);
        h.form->OpenDataFile(file);
        h.finishSplash();
        QCOMPARE(h.state.study.series.recordCount, loads ? 100 : 0);
        QCOMPARE(h.fake.messages.shown.size(), loads ? 0 : 1);
        if (!loads)
            QVERIFY(h.fake.messages.shown[0].text.contains(file));
        QCOMPARE(h.enabled("mnuFile"), true);
        for (const QString& name : kDataMenus)
            QVERIFY2(h.enabled(name) == loads, qPrintable(name));
    }

    // Only a local file is taken, and only while the open command itself is available.
    void dropOpensLocalFiles_data() {
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<bool>("finishSplash");
        QTest::addColumn<int>("records");
        const QUrl local = QUrl::fromLocalFile(kSamples + "precip_30y.csv");
        QTest::newRow("local") << local << true << 30;
        QTest::newRow("remote") << QUrl("https://example.org/precip_30y.csv") << true << 0;
        QTest::newRow("during the splash") << local << false << 0;
    }
    void dropOpensLocalFiles() {
        QFETCH(QUrl, url);
        QFETCH(bool, finishSplash);
        QFETCH(int, records);
        Harness h(finishSplash);
        QMimeData data;
        data.setUrls({url});
        // As a drag arrives: entered first, which makes the window the drop's target.
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(h.form.get(), &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(h.form.get(), &drop);
        QCOMPARE(h.state.study.series.recordCount, records);
        QCOMPARE(h.text("Text1").isEmpty(), records == 0);
    }

    // グラフに表示 of the whole table: the loaded series is the first duration's, and the menu
    // 継続時間 (before the help menu) switches among them through the load, caption and axis
    // title following. One duration shown on its own afterwards has no menu.
    void importedTableGivesTheDurationMenu_data() {
        QTest::addColumn<int>("choose");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::newRow("three hours") << 1 << "3 時間"
                                     << "年最大3時間降水量　(mm)";
        QTest::newRow("two days") << 2 << "2 日"
                                  << "年最大2日降水量　(mm)";
    }
    void importedTableGivesTheDurationMenu() {
        QFETCH(int, choose);
        QFETCH(QString, name);
        QFETCH(QString, title);
        QTemporaryDir dir;
        const QString observation = dir.filePath(QStringLiteral("hourly.csv"));
        QVERIFY(QFile::copy(kSamples + "agency_hourly_synthetic.csv", observation));
        Harness h;
        auto* menu = h.form->findChild<QMenu*>(QStringLiteral("mnuDuration"));
        QVERIFY(menu && !menu->menuAction()->isVisible());
        h.fake.files.openAnswers << observation;
        h.action("mnuFileImportItem")->trigger();
        auto* window = h.form->findChild<frmImport*>();
        Child<QPushButton>(window, QStringLiteral("FileButton"))->click();
        for (QCheckBox* box : window->findChildren<QCheckBox*>())
            if (box->objectName().startsWith(QStringLiteral("Duration_")))
                box->setChecked(QStringList{"Duration_1h", "Duration_3h", "Duration_48h"}.contains(
                    box->objectName()));
        auto* shown = Child<QComboBox>(window, QStringLiteral("ShownDuration"));
        shown->setCurrentIndex(shown->count() - 1);
        Child<QPushButton>(window, QStringLiteral("ShowButton"))->click();
        QVERIFY2(h.fake.messages.shown.isEmpty(), qPrintable(h.lastMessages().value(0)));

        const QList<QAction*> bar = h.form->menuBar()->actions();
        const qsizetype at = bar.indexOf(menu->menuAction());
        QVERIFY(menu->menuAction()->isVisible());
        QCOMPARE(bar.value(at + 1), h.form->findChild<QMenu*>("mnuMess")->menuAction());
        QCOMPARE(menu->title(), QStringLiteral("継続時間"));
        auto marks = [&] {
            QStringList texts;
            for (QAction* item : menu->actions())
                texts << (item->isChecked() ? "* " : "  ") + item->text();
            return texts;
        };
        QCOMPARE(marks(), (QStringList{"* 1 時間", "  3 時間", "  2 日"}));
        const QString caption = QStringLiteral("非超過確率分布の作図（対数軸バージョン）  < ");
        QCOMPARE(h.form->windowTitle(), caption + observation + " - 1 時間 > ");
        QCOMPARE(h.text("Text10"), QStringLiteral("年最大1時間降水量　(mm)"));
        auto loadedIs = [&](const DurationSeries& built) {
            QCOMPARE(h.state.study.series.recordCount, built.includedCount());
            for (int i = 0; i < built.years.size(); ++i) {
                QCOMPARE(h.state.study.series.years[i], built.years[i].year);
                QCOMPARE(h.state.study.series.values[i], built.years[i].value);
            }
        };
        loadedIs(window->durations()->series[0]);

        const int studies = h.state.studiesComputed;
        h.action(QStringLiteral("mnuDurationItem_%1").arg(choose))->trigger();
        QVERIFY2(h.fake.messages.shown.isEmpty(), qPrintable(h.lastMessages().value(0)));
        QCOMPARE(h.state.studiesComputed, studies + 1);
        loadedIs(window->durations()->series[choose]);
        QCOMPARE(h.state.durations.shown, choose);
        QCOMPARE(marks().filter(QStringLiteral("* ")), QStringList{"* " + name});
        QCOMPARE(h.form->windowTitle(), caption + observation + " - " + name + " > ");
        QCOMPARE(h.text("Text1"), observation + " - " + name);
        QTEST(h.text("Text10"), "title");
        QCOMPARE(h.state.settings.axisTitle, title);
        QCOMPARE(h.state.dataFileName, observation);
        // Choosing the duration shown computes nothing.
        h.action(QStringLiteral("mnuDurationItem_%1").arg(choose))->trigger();
        QCOMPARE(h.state.studiesComputed, studies + 1);
        QCOMPARE(marks().filter(QStringLiteral("* ")), QStringList{"* " + name});

        // One duration on its own is a series of no table.
        shown->setCurrentIndex(1);
        Child<QPushButton>(window, QStringLiteral("ShowButton"))->click();
        QVERIFY(!menu->menuAction()->isVisible());
        QVERIFY(!h.state.durations.loaded());
        loadedIs(window->durations()->series[1]);
        QVERIFY2(
            h.form->windowTitle().contains(observation + QStringLiteral("：年最大 3 時間合計")),
            qPrintable(h.form->windowTitle()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"hourly.csv"});
    }

    // 開く on a duration table gives the menu with the first duration that can be analysed;
    // a plain file afterwards reads as ever and takes the menu away.
    void openedDurationTableGivesTheMenu_data() {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("records");
        QTest::addColumn<QString>("title");
        QTest::newRow("as the import writes it")
            << QByteArray("year,1h,24h\r\n2001,30,120\r\n2002,40,150\r\n2003,35,\r\n")
            << QStringList{"1 時間", "1 日"} << 0 << 3 << "年最大1時間降水量　(mm)";
        QTest::newRow("flow-duration values")
            << QByteArray("year,q95,q355\n2001,10,2\n2002,12,3\n")
            << QStringList{"豊水流量（95 日）", "渇水流量（355 日）"} << 0 << 2
            << "豊水流量（95 日）";
        QTest::newRow("a first duration too short to analyse")
            << QByteArray("year,10min,1h\n2001,8,30\n2002,,40\n") << QStringList{"10 分", "1 時間"}
            << 1 << 2 << "年最大1時間降水量　(mm)";
    }
    void openedDurationTableGivesTheMenu() {
        QFETCH(QByteArray, table);
        QFETCH(QStringList, names);
        QFETCH(int, shown);
        QTemporaryDir dir;
        const QString path = WriteFile(dir, QStringLiteral("table.csv"), table);
        Harness h;
        QVERIFY2(h.open(path), qPrintable(h.lastMessages().value(0)));
        auto* menu = h.form->findChild<QMenu*>(QStringLiteral("mnuDuration"));
        QVERIFY(menu->menuAction()->isVisible());
        QStringList items;
        for (QAction* item : menu->actions()) {
            items << item->text();
            QCOMPARE(item->isChecked(), items.size() - 1 == shown);
        }
        QCOMPARE(items, names);
        QCOMPARE(h.state.durations.shown, shown);
        QTEST(h.state.study.series.recordCount, "records");
        QTEST(h.text("Text10"), "title");
        QCOMPARE(h.text("Text1"), path + " - " + names[shown]);
        for (const QString& name : kDataMenus)
            QVERIFY2(h.enabled(name), qPrintable(name));

        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        QVERIFY(!menu->menuAction()->isVisible());
        QVERIFY(menu->actions().isEmpty());
        QVERIFY(!h.state.durations.loaded());
        QCOMPARE(h.state.study.series.recordCount, 30);
        QCOMPARE(h.text("Text1"), kSamples + "precip_30y.csv");
    }

    // The intensity window opens only on a duration table, follows alpha and another duration
    // of the table without fitting it again, and closes when a plain series is loaded.
    void intensityWindowFollowsTheTable() {
        QByteArray table("year,10min,30min,1h,2h\n");
        for (int y = 0; y < 30; ++y) {
            const double f = 1 + 0.4 * std::sin(y * 1.7) + 0.01 * y;
            table += QByteArray::number(1990 + y) + ',' + QByteArray::number(12 * f) + ',' +
                     QByteArray::number(22 * f) + ',' + QByteArray::number(31 * f) + ',' +
                     QByteArray::number(40 * f) + '\n';
        }
        QTemporaryDir dir;
        const QString path = WriteFile(dir, QStringLiteral("table.csv"), table);
        Harness h;
        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        QVERIFY(!h.enabled("mnuAnaIntensityItem"));
        QVERIFY(h.open(path));
        QVERIFY(h.enabled("mnuAnaIntensityItem"));
        QCOMPARE(h.state.intensity.computed, 1);
        h.action("mnuAnaIntensityItem")->trigger();
        QPointer<frmIntensity> window = h.form->findChild<frmIntensity*>();
        QVERIFY(window && window->isVisible());
        auto* rows = window->findChild<QTableWidget*>(QStringLiteral("DurationsTable"));
        QCOMPARE(rows->rowCount(), 4);
        QCOMPARE(rows->item(3, 0)->text(), QStringLiteral("2h"));

        QVERIFY(rows->item(0, 0)->font().bold());
        h.action(QStringLiteral("mnuDurationItem_2"))->trigger();
        QCOMPARE(h.state.durations.shown, 2);
        QCOMPARE(h.state.intensity.computed, 1);
        // The window marks the duration on show.
        QVERIFY(!rows->item(0, 0)->font().bold());
        QVERIFY(rows->item(2, 0)->font().bold());
        h.box("Text11")->setText("0.4");
        h.child<QPushButton>("Command1")->click();
        QCOMPARE(h.state.intensity.computed, 2);
        QCOMPARE(rows->item(0, 2)->text(),
                 QString::number(*h.state.intensity.study->durations[0].slsc, 'f', 4));
        QVERIFY(window->CopyText().contains(QStringLiteral("α\t0.4")));

        QVERIFY(h.open(kSamples + "precip_30y.csv"));
        QTRY_VERIFY(!window);
        QVERIFY(!h.enabled("mnuAnaIntensityItem"));
        QVERIFY(!h.state.intensity.study);
    }

    // A duration the analysis refuses is told with its name; the one shown stays, marked.
    void refusedDurationKeepsTheShownOne() {
        QTemporaryDir dir;
        const QString path =
            WriteFile(dir, QStringLiteral("table.csv"), "year,10min,1h\n2001,8,30\n2002,,40\n");
        Harness h;
        QVERIFY(h.open(path));
        const QString caption = h.form->windowTitle();
        const int studies = h.state.studiesComputed;
        h.action(QStringLiteral("mnuDurationItem_0"))->trigger();
        QCOMPARE(h.fake.messages.shown.size(), 1);
        const QString message = h.lastMessages().first();
        QVERIFY2(message.contains(QStringLiteral("2 件以上")) &&
                     message.contains(QStringLiteral("10 分")) && message.contains(path),
                 qPrintable(message));
        QCOMPARE(h.state.studiesComputed, studies);
        QCOMPARE(h.state.durations.shown, 1);
        QCOMPARE(h.state.dataFileName, path);
        QVERIFY(!h.action(QStringLiteral("mnuDurationItem_0"))->isChecked());
        QVERIFY(h.action(QStringLiteral("mnuDurationItem_1"))->isChecked());
        QCOMPARE(h.form->windowTitle(), caption);
    }
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
