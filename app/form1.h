#pragma once

#include "chart/chartimage.h"
#include "editor/form3.h"
#include "importer/frmimport.h"
#include "info/helptexts.h"
#include "platform/commandguard.h"
#include "platform/platform.h"
#include "state/appstate.h"
#include "state/loading.h"

#include <QByteArray>
#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPagedPaintDevice;
class QPlainTextEdit;
class QPushButton;
class PictureBox;
class PrinterAccess;
class BootstrapRunner;
class Form2;
class Form9;
class frmAbout;
class frmResults;
class frmComparison;
class frmIntensity;

// The main window: file and statistics on the left, the chart on the right, every command in
// the menu bar. Each command stores its setting in AppState and asks Redraw for the rest.
class Form1 : public QMainWindow, public EditorHost, public ImportHost {
    Q_OBJECT
public:
    Form1(AppState& state, Platform& platform, PrinterAccess& printer, QWidget* parent = nullptr);

    // Start-up: centre and show, disable the menus, splash, help texts, start directory, deviate
    // table, alpha and axis title. Throws DataError when ndlist.txt is missing or short.
    void Form_Load();

    // The dispatcher: 2 load, 1 redraw, 3 re-analyse, 0 print, -1 exit. Throws DataError when a
    // load, an analysis or a print fails; what the user had stays as it was. Drawing itself
    // never fails. The handlers below let a failure reach their command guard.
    void Redraw();

    // Opens path as the open command does once its dialog has answered: load, analyse, draw,
    // and the data commands enabled; a failure is shown in the usual message box. The file
    // named on the command line and a file dropped on the window come the same way.
    void OpenDataFile(const QString& path);

    void mnuFileOpenItem_Click();
    void mnuFileImportItem_Click();
    void mnuPrinterItem_Click();
    void mnuPrintOutItem_Click();
    // The chart as a PNG or SVG file; Ctrl+Shift+C puts it on the clipboard.
    void mnuSaveChartItem_Click();
    void CopyChart();
    // The study report: its pages in a preview, then saved as a PDF whose name is asked for.
    void mnuReportItem_Click();
    // What shows the report's pages before they are saved (ShowPagesPreview's form): a test
    // puts one that answers without a modal dialog.
    using PagesPreview =
        std::function<bool(QWidget* parent, const QString& title,
                           const std::function<void(QPagedPaintDevice&)>& drawPages)>;
    void SetPagesPreview(PagesPreview preview) { pagesPreview_ = std::move(preview); }
    void mnuEndItem_Click();
    void mnuScaleMinVal_Click(int16_t index);
    void mnuScaleMaxVal_Click(int16_t index);
    // The scale the first load would take for the series on show.
    void mnuScaleFitItem_Click();
    void mnuPrntWakuVal_Click(int16_t index);
    void mnuPrntDottVal_Click(int16_t index);
    void mnuPrntKaikVal_Click(int16_t index);
    void mnuSetPosItem_Click();
    void mnuEditFile_Click();
    void mnuAnaNot_Click();
    void mnuAnaLine_Click();
    void mnuAnaAll_Click();
    void mnuAnaBand_Click();
    void mnuAnaInterval_Click();
    void mnuAnaCurves_Click();
    void mnuAnaListItem_Click();
    void mnuAnaCompareItem_Click();
    // The T-year rainfall by duration and the intensity formulas of the loaded duration table.
    void mnuAnaIntensityItem_Click();
    void mnuMessEditItem_Click();
    void mnuMessUseItem_Click();
    void mnuMessAnaItem_Click();
    void mnuMessVerItem_Click();
    // The duration table's menu: that duration's series becomes the loaded one.
    void mnuDurationItem_Click(int index);
    void Command1_Click();
    void mnuPlotPosVal_Click(int16_t index);
    // The comparison's offer of Cunnane's alpha, taken as its preset would be.
    void applyCunnaneAlpha();
    void Text1_Change();
    void Text10_Change();

    // EditorHost
    void EditorSavedAndFinished() override;
    void EditorForcedEnd() override;

    // ImportHost
    bool ImportOpenInEditor(const QString& editorText, const QString& axisTitle,
                            const SeriesOrigin& origin) override;
    void ImportShowSeries(const SeriesData& series, const QString& axisTitle) override;
    void ImportShowDurations(const LoadedDurations& durations) override;
    QStringList ImportInputFiles() const override;

signals:
    // The exit command has restored the start directory and closed the windows.
    void programEnded();
    // The study of the loaded series was replaced (a load, a new alpha): every window that shows
    // it refreshes from it.
    void studyChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption,
                     void (Form1::*handler)(), const QKeySequence& shortcut = {});
    std::array<QAction*, 5> addArray(QMenu* menu, const QString& name, const QStringList& captions,
                                     void (Form1::*handler)(int16_t));
    void setMenusEnabled(std::initializer_list<QObject*> items, bool enabled);
    void splashFinished();
    bool dropOpensFiles() const;

    // Every handler is connected through this: it runs behind the one command guard.
    template <typename Handler> auto guarded(Handler handler) {
        return Guarded(platform_.messages, this, std::move(handler));
    }

    // newSeries: the series or its analysis changed, so a refused scale empties the picture.
    void drawChart(bool newSeries);
    void showResults(const ResultTexts& texts);
    void showLoadedFile();
    // The menu of the loaded duration table's durations, one checked; gone without a table.
    void showDurationMenu();
    // The axis title of the duration shown, when it has one.
    void showDurationTitle();
    // Tells the windows that show the study that it changed.
    void refreshAnalysisWindows();
    // Keeps a window of the program's to close with it; with a refresh, the window also follows
    // every new study.
    void adoptWindow(QWidget* window, std::function<void()> refresh = {});
    // Offers the curves item while the comparison ticks a model, and redraws when the chart
    // shows them and the change came from the user rather than a refit before a redraw.
    void comparisonTicksChanged(const std::vector<ModelId>& ticked);
    // Starts the bootstrap of the study when something shows it: the comparison window, the
    // interval on the charts, or the selection by its error.
    void ensureBootstrap();
    // Draws the chart again when it shows an interval, whose figures or model changed.
    void redrawInterval();
    void applyFirstLoadDefaults();
    void setAnalysisModeControls(int mode);
    void selectAnalysisMode(int mode);
    void showScaleMarks();
    void showAlphaMark();
    // "再計算": applies the alpha box, or tells why not and shows the alpha in use again. True
    // when the box's alpha is in use.
    bool recalculate();
    // Before a command that uses alpha: the box's alpha, if typed and not yet applied, is
    // applied as "再計算" would. False when it was refused, and the command then does not run.
    bool applyTypedAlpha();
    // After a later load: when not one point lies on the scale in use, the scale that fits the
    // series, with the note line's text that says so; else nothing changes and the text is empty.
    QString fitScaleWhenNothingShows();
    void setPrintWidth(int32_t& width, QLabel* label, const std::array<QAction*, 5>& items,
                       int16_t index);
    static void checkOnly(const std::array<QAction*, 5>& items, int index);
    void endProgram();
    void showOutsideNote();
    void showHelpTopic(HelpTopicId id);
    void tell(const QString& text);
    ChartPicture chartPicture() const;

    AppState& state_;
    Platform& platform_;
    PrinterAccess& printer_;
    bool ending_ = false;
    // The file of the series on show; a refused load goes back to it.
    QString loadedFileName_;

    QPlainTextEdit* text1_ = nullptr;
    QLineEdit* text2_ = nullptr;
    QLineEdit* text3_ = nullptr;
    QLineEdit* text4_ = nullptr;
    QLineEdit* text5_ = nullptr;
    QLineEdit* text6_ = nullptr;
    QLineEdit* text7_ = nullptr;
    QLineEdit* text8_ = nullptr;
    QLineEdit* text9_ = nullptr;
    QLineEdit* text10_ = nullptr;
    QLineEdit* text11_ = nullptr;
    QLabel* label17_ = nullptr;
    QLabel* label18_ = nullptr;
    QLabel* label23_ = nullptr;
    QLabel* label24_ = nullptr;
    QLabel* label25_ = nullptr;
    QPushButton* command1_ = nullptr;
    PictureBox* picture1_ = nullptr;
    QLabel* outsideNote_ = nullptr;

    QMenu* mnuFile_ = nullptr;
    QMenu* mnuSellect_ = nullptr;
    QMenu* mnuAna_ = nullptr;
    QMenu* mnuMess_ = nullptr;
    QMenu* mnuDuration_ = nullptr;
    QAction* mnuEditFile_ = nullptr;
    QAction* mnuPrinterItem_ = nullptr;
    QAction* mnuPrintOutItem_ = nullptr;
    QAction* mnuSaveChartItem_ = nullptr;
    QAction* mnuReportItem_ = nullptr;
    PagesPreview pagesPreview_;
    QAction* copyChartAction_ = nullptr;
    QAction* mnuAnaNot_ = nullptr;
    QAction* mnuAnaLine_ = nullptr;
    QAction* mnuAnaAll_ = nullptr;
    QAction* mnuAnaBand_ = nullptr;
    QAction* mnuAnaInterval_ = nullptr;
    QAction* mnuAnaCurves_ = nullptr;
    // Only while a duration table is loaded: a plain series has no durations.
    QAction* mnuAnaIntensityItem_ = nullptr;
    // True while the analysis windows refit: the redraw that follows draws their curves.
    bool refreshingWindows_ = false;
    std::array<QAction*, 5> mnuScaleMinVal_{};
    std::array<QAction*, 5> mnuScaleMaxVal_{};
    std::array<QAction*, 5> mnuPrntWakuVal_{};
    std::array<QAction*, 5> mnuPrntDottVal_{};
    std::array<QAction*, 5> mnuPrntKaikVal_{};
    std::array<QAction*, 5> mnuPlotPosVal_{};

    QPointer<Form9> form9_;
    QPointer<Form2> form2_;
    QPointer<Form3> form3_;
    QPointer<frmAbout> frmAbout_;
    QPointer<frmResults> frmResults_;
    QPointer<frmComparison> frmComparison_;
    QPointer<frmIntensity> frmIntensity_;
    // Where the intensity window was when last closed; empty until then.
    QByteArray intensityGeometry_;
    // Runs the bootstrap of the study off the interface thread.
    BootstrapRunner* bootstrap_ = nullptr;
    // Where the comparison was when last closed; empty until then.
    QByteArray comparisonGeometry_;
    QPointer<frmImport> frmImport_;
    // Every window the program opened beside the main one, closed with it.
    std::vector<QPointer<QWidget>> windows_;
    // The item name of an imported series, offered as the axis title when the editor hands
    // that series over.
    QString importedAxisTitle_;
    // What the import knew of the series it gave the editor: the editor's saved file is that
    // series, so its left-out years are the import's choice and not faults of the file.
    std::optional<SeriesOrigin> importedOrigin_;
    // Set while the editor's file is loaded.
    bool loadingEditorFile_ = false;
    // The usage topics of the help menu, filled at start-up.
    HelpTexts help_;
    // A series handed over in memory: the next load takes it instead of reading dataFileName.
    std::optional<SeriesData> pendingSeries_;
    // A duration table handed over, with the duration to load (-1: the first that can be).
    struct PendingDurations {
        LoadedDurations durations;
        int index = -1;
    };
    std::optional<PendingDurations> pendingDurations_;
};
