#include "print/printersurface.h"

#include "platform/widgets.h"
#include "statistics/dataerror.h"

#include <QPaintDevice>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMmPerInch = 25.4;

// A dotted line of one dot at 1200 dpi with dots one dot long would read as a faint solid
// line; the dots are made as long as a screen pixel, about a quarter of a millimetre.
constexpr double kDotLengthMm = 0.25;

float TextExtentMm(double dots, double dotsPerMm) {
    return static_cast<float>(dots / dotsPerMm);
}

} // namespace

PrinterSurface::PrinterSurface(QPaintDevice& device)
    : DrawingSurface(kFaceMincho)
    , device_(device)
    , dotsPerMmX_(device.logicalDpiX() / kMmPerInch)
    , dotsPerMmY_(device.logicalDpiY() / kMmPerInch) {
    fontChanged();
}

PrinterSurface::~PrinterSurface() {
    // A job that failed half-way still has to let go of the device.
    if (painter_.isActive())
        painter_.end();
}

void PrinterSurface::begin() {
    if (painter_.isActive())
        return;
    if (!painter_.begin(&device_))
        throw DataError(QStringLiteral("プリンタに印刷を始められませんでした。"
                                       "プリンタの設定と接続を確かめてください。"));
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    // Copy pen: every line, outline and glyph is drawn in its own colour over what is there.
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

bool PrinterSurface::EndDoc() {
    if (!painter_.isActive())
        return true;
    return painter_.end();
}

QPointF PrinterSurface::toDevice(double x, double y) const {
    return QPointF(x * dotsPerMmX_, y * dotsPerMmY_);
}

QPen PrinterSurface::pen(const QColor& color) const {
    // The pen works in device dots directly: nothing is drawn through a scaled painter.
    QPen result(color, std::max(drawWidth_, 1));
    result.setCapStyle(Qt::SquareCap);
    result.setJoinStyle(Qt::MiterJoin);
    if (drawStyle_ == kDrawStyleDotted && drawWidth_ <= 1) {
        const double dot = std::max(1.0, std::round(kDotLengthMm * dotsPerMmX_));
        result.setCapStyle(Qt::FlatCap);
        result.setDashPattern({dot, dot});
    }
    return result;
}

void PrinterSurface::Line(float x1, float y1, float x2, float y2, std::optional<QColor> color) {
    begin();
    painter_.setPen(pen(color.value_or(foreColor_)));
    painter_.drawLine(toDevice(x1, y1), toDevice(x2, y2));
}

void PrinterSurface::FillBox(float x1, float y1, float x2, float y2, const QColor& color) {
    begin();
    painter_.fillRect(QRectF(toDevice(x1, y1), toDevice(x2, y2)).normalized(), color);
}

void PrinterSurface::Circle(float x, float y, float radius, std::optional<QColor> color) {
    begin();
    painter_.setPen(pen(color.value_or(foreColor_)));
    painter_.setBrush(fillStyle_ == kFillSolid ? QBrush(fillColor_) : QBrush(Qt::NoBrush));
    // The radius is a length in x units; both device axes get the same physical length.
    painter_.drawEllipse(toDevice(x, y), radius * dotsPerMmX_, radius * dotsPerMmY_);
    painter_.setBrush(Qt::NoBrush);
}

void PrinterSurface::Print(const QString& text) {
    begin();
    const QFontMetricsF& fm = metrics();
    painter_.setFont(font_);
    painter_.setPen(QPen(foreColor_));
    painter_.setBackgroundMode(fontTransparent_ ? Qt::TransparentMode : Qt::OpaqueMode);
    painter_.setBackground(QBrush(Qt::white));
    // The current position is the top of the text cell; Qt places text by its baseline.
    const QPointF topLeft = toDevice(currentX_, currentY_);
    painter_.drawText(QPointF(topLeft.x(), topLeft.y() + fm.ascent()), text);
}

float PrinterSurface::TextWidth(const QString& text) {
    return TextExtentMm(metrics().horizontalAdvance(text), dotsPerMmX_);
}

float PrinterSurface::TextHeight(const QString&) {
    // The line pitch: one height for every text in the font, Japanese or digits.
    return TextExtentMm(metrics().lineSpacing(), dotsPerMmY_);
}

void PrinterSurface::SetFontName(const QString& face) {
    fontName_ = face;
    fontChanged();
}

void PrinterSurface::SetFontSize(float points) {
    fontSize_ = points;
    fontChanged();
}

void PrinterSurface::Cls() {
    currentX_ = 0;
    currentY_ = 0;
}

void PrinterSurface::fontChanged() {
    font_ = JapaneseFont(fontName_, fontSize_);
    // Outline glyphs at the device resolution: what is measured is what is printed.
    font_.setHintingPreference(QFont::PreferNoHinting);
    font_.setStyleStrategy(QFont::PreferOutline);
    metrics_.reset();
}

const QFontMetricsF& PrinterSurface::metrics() {
    // Measured against the device, so the size in points becomes the same dots Print uses.
    if (!metrics_)
        metrics_.emplace(font_, &device_);
    return *metrics_;
}
