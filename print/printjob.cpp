#include "print/printjob.h"

#include "platform/checkedfile.h"
#include "platform/filenames.h"
#include "platform/samefile.h"
#include "platform/widgets.h"
#include "print/printedchart.h"
#include "print/printersurface.h"
#include "statistics/dataerror.h"
#include "statistics/numeric.h"

#include <QBuffer>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>

#include <cmath>

namespace {

constexpr int kPdfResolution = 1200;

// Beyond this the image is far off the sheet, and the page coordinates would stop being
// numbers a printer can take.
constexpr double kMaxOffsetMm = 1e6;

// The probability axis runs from 0.1 % to 99.9 %: about 3.09 deviates either side of 50 %.
constexpr double kOuterDeviate = 3.0902;
constexpr double kSheetWidth = 2100;  // tenths of a millimetre
constexpr double kSheetHeight = 2970; // tenths of a millimetre

} // namespace

PrintOffsetRange AllowedPrintOffsets() {
    // The grid's frame stays wholly on the A4 sheet; the limits are whole millimetres inside.
    const double top = kPrintMedianLine - kPrintDeviateUnit * kOuterDeviate;
    const double bottom = kPrintMedianLine + kPrintDeviateUnit * kOuterDeviate;
    PrintOffsetRange range;
    range.leftMost = std::ceil(-kPrintAxisLeft / 10);
    range.rightMost = std::floor((kSheetWidth - kPrintAxisLeft - kPrintAxisLength) / 10);
    range.downMost = std::ceil((bottom - kSheetHeight) / 10);
    range.upMost = std::floor(top / 10);
    return range;
}

void CheckPrintOffsets(double offsetX, double offsetY) {
    const PrintOffsetRange range = AllowedPrintOffsets();
    const double right = offsetX / 10;
    const double up = offsetY / 10;
    if (right >= range.leftMost && right <= range.rightMost && up >= range.downMost &&
        up <= range.upMost)
        return;
    throw DataError(QStringLiteral("印刷位置（右へ %1 mm、上へ %2 mm）では、グラフが用紙から"
                                   "はみ出します。右方向は %3～%4 mm、上方向は %5～%6 mm の"
                                   "範囲にしてください。")
                        .arg(FormatReal(right), FormatReal(up), FormatReal(range.leftMost),
                             FormatReal(range.rightMost), FormatReal(range.downMost),
                             FormatReal(range.upMost)));
}

double ReadPrintOffset(const QString& text) {
    const double mm = ReadNumericPrefix(text);
    if (!std::isfinite(mm) || std::fabs(mm) > kMaxOffsetMm)
        throw DataError(QStringLiteral("印刷位置の値「%1」が大きすぎます。").arg(text.trimmed()));
    return mm * 10;
}

void SetUpA4Page(QPagedPaintDevice& device) {
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(QPageLayout::Portrait);
    // Origin at the corner of the printable area: the margins are the unprintable border
    // only, which a PDF does not have.
    const QPageLayout layout = device.pageLayout();
    device.setPageMargins(layout.minimumMargins(), layout.units());
}

QtPrinterAccess::QtPrinterAccess(Platform& platform)
    : platform_(platform)
    , printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

QtPrinterAccess::~QtPrinterAccess() = default;

bool QtPrinterAccess::ShowPrinterDialog(QWidget* parent) {
    NormalPointer pointer;
    QPrintDialog dialog(printer_.get(), parent);
    // This command chooses the printer; "印刷" runs the page. The button says so.
    dialog.setWindowTitle(QStringLiteral("プリンタの設定"));
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("このプリンタを使う(&U)"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

bool QtPrinterAccess::PrintPage(QWidget* parent, const QString& suggestedPdfPath,
                                const QStringList& inputs,
                                const std::function<void(QPagedPaintDevice&)>& drawPage) {
    // A printer that writes to a file: each page is a document of its own, so the file name
    // is asked for every time, and the save dialog asks before it replaces a file.
    const bool filePrinter = !printer_->outputFileName().isEmpty();
    if (!filePrinter && printer_->outputFormat() == QPrinter::NativeFormat &&
        !QPrinterInfo::availablePrinters().isEmpty() && printer_->isValid()) {
        printer_->setFullPage(false);
        printer_->setCopyCount(1);
        printer_->setDocName(kAppTitle);
        drawPage(*printer_);
        return true;
    }
    // A file printer chosen in the printer dialog, or no printer on this machine (or a file
    // printer without a name): the page goes to a PDF file whose name is asked for, the
    // chart's own name offered in the folder the last PDF went to.
    QString initial = suggestedPdfPath;
    if (!lastPdfPath_.isEmpty())
        initial = suggestedPdfPath.isEmpty()
                      ? lastPdfPath_
                      : QFileInfo(lastPdfPath_).absolutePath() + QLatin1Char('/') +
                            QFileInfo(suggestedPdfPath).fileName();
    if (initial.isEmpty() && filePrinter)
        initial = printer_->outputFileName();
    const QString title = filePrinter ? QStringLiteral("印刷紙面を保存する PDF ファイル")
                                      : QStringLiteral("プリンタがインストールされていないため、"
                                                       "印刷紙面を PDF ファイルに保存します");
    const std::optional<QString> path = AskPdfPath(parent, initial, title);
    if (!path)
        return false;
    RefuseOverwritingInput(*path, inputs);
    lastPdfPath_ = *path;
    // The next print through the file printer goes to the name this one went to.
    if (filePrinter)
        printer_->setOutputFileName(*path);
    WritePdfFile(*path, drawPage);
    return true;
}

std::optional<QString> QtPrinterAccess::AskPdfPath(QWidget* parent, const QString& offered,
                                                   const QString& title) {
    std::optional<QString> path =
        platform_.files.getSaveFileName(parent, kPdfFileFilter, offered, title);
    if (!path || path->isEmpty())
        return std::nullopt;
    return WithDefaultSuffix(*path, QStringLiteral("pdf"));
}

std::unique_ptr<PrinterAccess> MakeQtPrinterAccess(Platform& platform) {
    return std::make_unique<QtPrinterAccess>(platform);
}

void CheckPrintScale(const AppState& state) {
    if (!ScaleIsValid(state.settings))
        throw DataError(kScaleMessage);
}

void RunPrintJob(AppState& state, const QString& text7, const QString& text8,
                 DrawingSurface& surface) {
    CheckPrintScale(state);
    const double offsetX = ReadPrintOffset(text7);
    const double offsetY = ReadPrintOffset(text8);
    // An empty page is not a print: the offsets are refused before anything is drawn.
    CheckPrintOffsets(offsetX, offsetY);
    state.settings.printOffsetX = offsetX;
    state.settings.printOffsetY = offsetY;

    const QString face = surface.FontName();
    surface.SetDrawStyle(kDrawStyleSolid);
    surface.SetDrawWidth(state.settings.solidLineWidth);
    surface.SetFillStyle(kFillTransparent);
    surface.SetFontName(kFaceMincho);
    surface.SetFontSize(10);

    DrawPrintedChart(state, surface);
    DrawPrintedCurves(state, surface);
    DrawPrintedPoints(state, surface);
    DrawPrintedBand(state, surface);
    DrawPrintedInterval(state, surface);

    // Only the face goes back; the size stays as the chart left it.
    surface.SetFontName(face);
}

void PrintChartOn(AppState& state, const QString& text7, const QString& text8,
                  QPagedPaintDevice& device) {
    CheckPrintScale(state);
    SetUpA4Page(device);
    PrinterSurface surface(device);
    surface.SetFontTransparent(true);
    try {
        RunPrintJob(state, text7, text8, surface);
    } catch (...) {
        // Half a chart is not sent to the printer.
        if (auto* printer = dynamic_cast<QPrinter*>(&device); printer && surface.Started())
            printer->abort();
        throw;
    }
    if (!surface.EndDoc())
        throw DataError(QStringLiteral("印刷を最後まで終えられませんでした。"
                                       "プリンタの状態を確かめてください。"));
}

void WritePdfFile(const QString& path, const std::function<void(QPagedPaintDevice&)>& drawPage) {
    // The page is made in memory first, so a failure half-way leaves any earlier file as it was.
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfResolution);
        writer.setCreator(kAppTitle);
        writer.setTitle(QFileInfo(path).completeBaseName());
        drawPage(writer);
    }
    if (bytes.isEmpty())
        throw DataError(QStringLiteral("PDF ファイル「%1」を作れませんでした。").arg(path));
    WriteFileAllOrNothing(path, bytes);
}

void PrintChartToPdf(AppState& state, const QString& text7, const QString& text8,
                     const QString& path) {
    WritePdfFile(path,
                 [&](QPagedPaintDevice& device) { PrintChartOn(state, text7, text8, device); });
}

QString SuggestedPdfPath(const QString& dataFileName) {
    if (dataFileName.isEmpty())
        return {};
    const QFileInfo data(dataFileName);
    return data.absolutePath() + QLatin1Char('/') + data.completeBaseName() +
           QStringLiteral(".pdf");
}

bool PrintChart(AppState& state, PrinterAccess& printer, const QString& text7, const QString& text8,
                QWidget* parent) {
    // Checked before a file name is asked for or a printer is touched.
    CheckPrintScale(state);
    CheckPrintOffsets(ReadPrintOffset(text7), ReadPrintOffset(text8));
    return printer.PrintPage(
        parent, SuggestedPdfPath(state.dataFileName),
        {state.dataFileName, state.deviateTableFileName},
        [&](QPagedPaintDevice& device) { PrintChartOn(state, text7, text8, device); });
}
