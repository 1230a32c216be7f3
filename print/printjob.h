#pragma once

#include "platform/platform.h"
#include "state/appstate.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class DrawingSurface;
class QPagedPaintDevice;
class QPrinter;
class QWidget;

// Where printed pages go: the printer chosen in the printer dialog, or a PDF file when the
// machine has no printer.
class PrinterAccess {
public:
    virtual ~PrinterAccess() = default;
    // The platform's printer dialog; false when cancelled. The choice is kept for the next print.
    virtual bool ShowPrinterDialog(QWidget* parent) = 0;
    // One document: drawPage draws and finishes it on a high-resolution paged device. False
    // when the user cancelled before anything was printed (e.g. no PDF file name chosen).
    // Throws DataError when the printer or the file fails; a failed PDF is not left behind.
    // suggestedPdfPath names the file a PDF would be offered as (may be empty). A PDF file
    // that is one of inputs (links followed) is refused with DataError before it is written.
    virtual bool PrintPage(QWidget* parent, const QString& suggestedPdfPath,
                           const QStringList& inputs,
                           const std::function<void(QPagedPaintDevice&)>& drawPage) = 0;
};

// The printer of the platform, kept for the whole run. A printer that writes to a file (chosen
// in the printer dialog) and, without any installed printer, the PDF fallback both ask for
// the file name through platform.files at every print.
class QtPrinterAccess : public PrinterAccess {
public:
    explicit QtPrinterAccess(Platform& platform);
    ~QtPrinterAccess() override;
    bool ShowPrinterDialog(QWidget* parent) override;
    bool PrintPage(QWidget* parent, const QString& suggestedPdfPath, const QStringList& inputs,
                   const std::function<void(QPagedPaintDevice&)>& drawPage) override;
    // The printer the dialog sets up.
    QPrinter& printer() { return *printer_; }

private:
    std::optional<QString> AskPdfPath(QWidget* parent, const QString& offered,
                                      const QString& title);

    Platform& platform_;
    std::unique_ptr<QPrinter> printer_;
    QString lastPdfPath_;
};

std::unique_ptr<PrinterAccess> MakeQtPrinterAccess(Platform& platform);

inline const QString kPdfFileFilter = QStringLiteral("PDF ファイル (*.pdf)|*.pdf");

// The PDF a data file's chart is offered as: beside it, with its base name ("rain.csv" gives
// "rain.pdf"). Empty without a data file.
QString SuggestedPdfPath(const QString& dataFileName);

// Prints the chart on one A4 page. text7 and text8 are the offset boxes' texts in millimetres.
// Returns false when the user cancelled; throws DataError with a message when printing fails
// or the scale does not span a decade (checked before anything is printed).
bool PrintChart(AppState& state, PrinterAccess& printer, const QString& text7, const QString& text8,
                QWidget* parent);

// The job on one device: A4 portrait with the printable area's corner as origin, one page,
// ended when the chart is complete. Throws DataError as PrintChart does.
void PrintChartOn(AppState& state, const QString& text7, const QString& text8,
                  QPagedPaintDevice& device);

// The job into a PDF file at 1200 dpi, the whole sheet printable. The file is replaced only
// when the page is complete. Throws DataError naming the file when it cannot be written.
void PrintChartToPdf(AppState& state, const QString& text7, const QString& text8,
                     const QString& path);

// A4 portrait with the printable area's corner as origin, as every printed page is set up.
void SetUpA4Page(QPagedPaintDevice& device);

// Writes whatever drawPage puts on an A4 PDF page into path, all or nothing.
void WritePdfFile(const QString& path, const std::function<void(QPagedPaintDevice&)>& drawPage);

// The drawing part of the job on any surface: reads the offsets into state, sets the pen, fill
// and font, draws the chart and the points, and gives the surface its font face back.
void RunPrintJob(AppState& state, const QString& text7, const QString& text8,
                 DrawingSurface& surface);

// A print offset box's text in millimetres, read as the box is read, in tenths of a millimetre.
// Throws DataError when it lies so far off the sheet that no printer could take it.
double ReadPrintOffset(const QString& text);

// How far, in millimetres, the image may move before the grid leaves the A4 sheet.
struct PrintOffsetRange {
    double leftMost = 0;  // most negative shift to the right
    double rightMost = 0; // largest shift to the right
    double downMost = 0;  // most negative shift upward
    double upMost = 0;    // largest shift upward
};
PrintOffsetRange AllowedPrintOffsets();

// Throws DataError with the allowed ranges when offsets (tenths of a millimetre, right and up,
// as ReadPrintOffset gives them) would move the grid off the sheet.
void CheckPrintOffsets(double offsetX, double offsetY);

// Throws DataError("スケールを正しく選択してね") unless the scale spans at least one decade.
void CheckPrintScale(const AppState& state);
