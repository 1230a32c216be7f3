#include "chart/chartimage.h"

#include "platform/checkedfile.h"
#include "platform/filenames.h"
#include "platform/platform.h"
#include "platform/samefile.h"
#include "platform/widgets.h"
#include "statistics/dataerror.h"

#include <QBuffer>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace {

// The screen's pixels per point: the charts are laid out for a 96 dpi screen.
constexpr double kPixelsPerPoint = 96.0 / 72.0;

QSize PictureSize(const ChartPicture& chart, int height) {
    const QSize screen = chart.screenSize.expandedTo(QSize(1, 1));
    const int h = std::max(1, height);
    return QSize(
        std::max(1, static_cast<int>(std::lround(double(h) * screen.width() / screen.height()))),
        h);
}

void Paint(const ChartPicture& chart, QPainter& painter, QSize size) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double scale = double(size.height()) / std::max(1, chart.screenSize.height());
    PainterSurface surface(painter, chart.units, QSizeF(size), scale, chart.fontName);
    surface.Cls();
    chart.draw(surface);
}

// The SVG's font-family attributes name the faces the picture was drawn in, then the generic
// family of their kind, where they name the Japanese faces the program asks for.
QByteArray NameSvgFonts(const QByteArray& svg) {
    QString text = QString::fromUtf8(svg);
    static const QRegularExpression family(QStringLiteral("font-family=\"([^\"]*)\""));
    QString out;
    qsizetype from = 0;
    for (auto it = family.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(from, m.capturedStart() - from);
        out += QStringLiteral("font-family=\"") + CssFontFamilies(m.captured(1)).toHtmlEscaped() +
               QLatin1Char('"');
        from = m.capturedEnd();
    }
    out += QStringView(text).mid(from);
    return out.toUtf8();
}

} // namespace

PainterSurface::PainterSurface(QPainter& painter, QSizeF units, QSizeF device, double pixelScale,
                               QString fontName)
    : DrawingSurface(std::move(fontName))
    , painter_(painter)
    , sx_(device.width() / std::max(1e-9, units.width()))
    , sy_(device.height() / std::max(1e-9, units.height()))
    , pixelScale_(pixelScale) {}

QPointF PainterSurface::device(float x, float y) const {
    return QPointF(x * sx_, y * sy_);
}

QPen PainterSurface::pen(const QColor& color) const {
    QPen p(color);
    p.setWidthF(drawWidth_ * pixelScale_);
    if (drawWidth_ == 1 && drawStyle_ == kDrawStyleDotted) {
        // One pen width on, two off, as on the screen.
        p.setCapStyle(Qt::FlatCap);
        p.setDashPattern({1.0, 2.0});
    } else {
        p.setCapStyle(drawWidth_ == 1 ? Qt::SquareCap : Qt::RoundCap);
    }
    p.setJoinStyle(Qt::RoundJoin);
    return p;
}

QFont PainterSurface::font() const {
    QFont f(fontName_);
    // Pixel sizes, so the picture's resolution (72 dpi for an image or an SVG) plays no part.
    const double pixels = double(fontSize_) * kPixelsPerPoint * pixelScale_;
    f.setPixelSize(pixels >= 1 && pixels < 10000 ? static_cast<int>(std::lround(pixels)) : 1);
    return f;
}

void PainterSurface::SetDrawWidth(int width) {
    DrawingSurface::SetDrawWidth(std::max(1, width));
}

void PainterSurface::Line(float x1, float y1, float x2, float y2, std::optional<QColor> color) {
    if (!FinitePoint(x1, y1) || !FinitePoint(x2, y2))
        return;
    painter_.setPen(pen(color.value_or(Qt::black)));
    painter_.drawLine(device(x1, y1), device(x2, y2));
    currentX_ = x2;
    currentY_ = y2;
}

void PainterSurface::FillBox(float x1, float y1, float x2, float y2, const QColor& color) {
    if (!FinitePoint(x1, y1) || !FinitePoint(x2, y2))
        return;
    painter_.fillRect(QRectF(device(x1, y1), device(x2, y2)).normalized(), color);
}

void PainterSurface::Circle(float x, float y, float radius, std::optional<QColor> color) {
    if (!FinitePoint(x, y) || !std::isfinite(radius))
        return;
    painter_.setPen(pen(color.value_or(Qt::black)));
    painter_.setBrush(fillStyle_ == kFillSolid ? QBrush(fillColor_) : QBrush(Qt::NoBrush));
    // The radius is in x units for both directions.
    const double r = std::fabs(radius) * sx_;
    painter_.drawEllipse(device(x, y), r, r);
    painter_.setBrush(Qt::NoBrush);
    currentX_ = x;
    currentY_ = y;
}

void PainterSurface::Print(const QString& text) {
    const float height = TextHeight(text);
    if (!text.isEmpty() && FinitePoint(currentX_, currentY_)) {
        const QFont f = font();
        const QFontMetricsF metrics(f);
        painter_.setFont(f);
        painter_.setPen(Qt::black);
        const QPointF corner = device(currentX_, currentY_);
        double top = corner.y();
        // The current position is the top-left corner of the text cell, not the baseline.
        for (const QString& line : TextLines(text)) {
            painter_.drawText(QPointF(corner.x(), top + metrics.ascent()), line);
            top += metrics.lineSpacing();
        }
    }
    currentX_ = 0;
    currentY_ += height;
}

float PainterSurface::TextWidth(const QString& text) {
    const QFontMetricsF metrics(font());
    double widest = 0;
    for (const QString& line : TextLines(text))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return static_cast<float>(widest / sx_);
}

float PainterSurface::TextHeight(const QString& text) {
    const QFontMetricsF metrics(font());
    const auto lines = text.count(QLatin1Char('\n')) + 1;
    return static_cast<float>(lines * metrics.lineSpacing() / sy_);
}

void PainterSurface::Cls() {
    const QRect all = painter_.window();
    painter_.fillRect(all, Qt::white);
    currentX_ = 0;
    currentY_ = 0;
}

QImage RenderChartImage(const ChartPicture& chart, int height) {
    const QSize size = PictureSize(chart, height);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    Paint(chart, painter, size);
    painter.end();
    return image;
}

QByteArray ChartPng(const ChartPicture& chart, int height) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!RenderChartImage(chart, height).save(&buffer, "PNG"))
        throw DataError(QStringLiteral("図を PNG 画像にできませんでした"));
    return bytes;
}

QByteArray ChartSvg(const ChartPicture& chart, int height, const QString& title) {
    const QSize size = PictureSize(chart, height);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(title);
    // A pixel of the picture is a pixel of a 96 dpi screen, as elsewhere in the program.
    svg.setResolution(96);
    QPainter painter;
    if (!painter.begin(&svg))
        throw DataError(QStringLiteral("図を SVG 図形にできませんでした"));
    Paint(chart, painter, size);
    painter.end();
    return NameSvgFonts(bytes);
}

bool SaveChartImage(QWidget* parent, FileDialogService& files, const ChartPicture& chart,
                    const QString& offered, const QStringList& inputs) {
    const std::optional<QString> answer =
        files.getSaveFileName(parent, kChartImageFilter, offered, QStringLiteral("図を保存"));
    if (!answer || answer->isEmpty())
        return false;
    const QString path = WithDefaultSuffix(*answer, QStringLiteral("png"));
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("svg"))
        throw DataError(QStringLiteral("図は PNG 画像（.png）か SVG 図形（.svg）で保存します：") +
                        QFileInfo(path).fileName());
    RefuseOverwritingInput(path, inputs);
    const QByteArray bytes =
        suffix == QLatin1String("svg")
            ? ChartSvg(chart, kChartImageHeight, QFileInfo(path).completeBaseName())
            : ChartPng(chart, kChartImageHeight);
    WriteFileAllOrNothing(path, bytes);
    return true;
}

void CopyChartImage(const ChartPicture& chart) {
    QGuiApplication::clipboard()->setImage(RenderChartImage(chart, kChartImageHeight));
}

QString SuggestedChartPath(const QString& dataFileName, const QString& suffixOfName) {
    if (dataFileName.isEmpty())
        return QString();
    const QFileInfo data(dataFileName);
    return data.absolutePath() + QLatin1Char('/') + data.completeBaseName() + suffixOfName +
           QStringLiteral(".png");
}
