#include "chart/picturebox.h"

#include "platform/widgets.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>

PictureBox::PictureBox(QWidget* parent)
    : QFrame(parent)
    , DrawingSurface(kFaceMincho) {
    // The classic two-pixel sunken well; at 96 dpi that is the 30 twips between the outer and
    // the inner size of the box.
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setLineWidth(2);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    // Everything inside the frame comes from the retained image.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

PictureBox::~PictureBox() {
    endPainting();
}

const QImage& PictureBox::image() const {
    syncImageSize(true);
    endPainting();
    return image_;
}

double PictureBox::deviceRatio() const {
    return std::max(1.0, devicePixelRatioF());
}

void PictureBox::syncImageSize(bool recheckRatio) const {
    // Asking the screen for its ratio is slow next to drawing a line, so it is asked once a
    // redraw (on Cls) and when the picture is shown.
    const double ratio = recheckRatio || image_.isNull() ? deviceRatio() : ratio_;
    const QSize logical = contentsRect().size().expandedTo(QSize(1, 1));
    const QSize wanted(static_cast<int>(std::lround(logical.width() * ratio)),
                       static_cast<int>(std::lround(logical.height() * ratio)));
    if (!image_.isNull() && image_.size() == wanted && ratio_ == ratio)
        return;
    ratio_ = ratio;
    endPainting();
    QImage resized(wanted, QImage::Format_RGB32);
    resized.fill(Qt::white);
    if (!image_.isNull()) {
        // Keep what was drawn, stretched to the new area, until the next redraw replaces it.
        QPainter copy(&resized);
        copy.setRenderHint(QPainter::SmoothPixmapTransform);
        copy.drawImage(QRectF(resized.rect()), image_);
    }
    image_ = resized;
    // Pixel sizes of the fonts depend on the ratio.
    fonts_.clear();
    currentFont_ = nullptr;
}

QPainter& PictureBox::painter() {
    syncImageSize();
    if (!painter_) {
        // The painter stays open between drawing calls: opening one per call costs more than the
        // drawing itself, and a redraw makes several hundred calls.
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::TextAntialiasing);
        painter_->setBackgroundMode(Qt::TransparentMode);
    }
    if (!updatePending_) {
        updatePending_ = true;
        update(); // one repaint after the whole redraw
    }
    return *painter_;
}

void PictureBox::endPainting() const {
    if (painter_) {
        painter_->end();
        painter_.reset();
    }
}

double PictureBox::scaleX() const {
    return image_.width() / double(kScaleWidth);
}

double PictureBox::scaleY() const {
    return image_.height() / double(kScaleHeight);
}

// Positions snap to whole screen pixels, so one-pixel lines fall on one pixel column or row and
// stay crisp. The result is the device position of the screen pixel's top-left corner.
QPointF PictureBox::pixelCorner(float x, float y) const {
    return QPointF(std::floor(x * scaleX() / ratio_ + 0.5) * ratio_,
                   std::floor(y * scaleY() / ratio_ + 0.5) * ratio_);
}

QPointF PictureBox::pixelCentre(float x, float y) const {
    return pixelCorner(x, y) + QPointF(ratio_ / 2, ratio_ / 2);
}

QPen PictureBox::currentPen(const QColor& color) const {
    QPen pen(color);
    pen.setWidthF(drawWidth_ * ratio_);
    pen.setCosmetic(true);
    if (drawWidth_ == 1 && drawStyle_ == kDrawStyleDotted) {
        // In pen widths: one pixel on, two off. Caps would lengthen every dot.
        pen.setCapStyle(Qt::FlatCap);
        pen.setDashPattern({1.0, 2.0});
    } else if (drawWidth_ == 1) {
        // A one-pixel line includes both end points.
        pen.setCapStyle(Qt::SquareCap);
    } else {
        // Wider pens are always solid, whatever the style says, and end round.
        pen.setCapStyle(Qt::RoundCap);
    }
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void PictureBox::SetDrawWidth(int width) {
    DrawingSurface::SetDrawWidth(std::max(1, width));
}

void PictureBox::SetFontName(const QString& face) {
    fontName_ = face;
    currentFont_ = nullptr;
}

void PictureBox::SetFontSize(float points) {
    fontSize_ = points;
    currentFont_ = nullptr;
}

const PictureBox::TextFont& PictureBox::textFont() {
    syncImageSize();
    if (currentFont_)
        return *currentFont_;
    // Text is drawn and measured in device pixels: a font chosen under a scaled painter would be
    // rounded to whole pixels in user units and come out the wrong size. The character height
    // is rounded to whole device pixels, as the screen's font mapper does.
    const double pixels = double(fontSize_) * logicalDpiY() * ratio_ / 72.0;
    const int pixelSize = pixels >= 1 && pixels < 10000 ? static_cast<int>(std::lround(pixels)) : 1;
    const auto key = std::make_pair(fontName_, pixelSize);
    auto found = fonts_.find(key);
    if (found == fonts_.end()) {
        QFont font(fontName_);
        font.setPixelSize(pixelSize);
        found = fonts_.emplace(key, TextFont{font, QFontMetricsF(font)}).first;
    }
    currentFont_ = &found->second;
    return *currentFont_;
}

void PictureBox::Line(float x1, float y1, float x2, float y2, std::optional<QColor> color) {
    if (!FinitePoint(x1, y1) || !FinitePoint(x2, y2))
        return;
    QPainter& p = painter();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(currentPen(color.value_or(foreColor_)));
    // Through the pixel centres: with square caps a one-pixel line then covers both end pixels.
    p.drawLine(pixelCentre(x1, y1), pixelCentre(x2, y2));
    currentX_ = x2;
    currentY_ = y2;
}

void PictureBox::Lines(const std::vector<Segment>& segments, const QColor& color) {
    std::vector<QLineF> lines;
    lines.reserve(segments.size());
    const Segment* last = nullptr;
    for (const Segment& s : segments) {
        if (FinitePoint(s.x1, s.y1) && FinitePoint(s.x2, s.y2)) {
            lines.emplace_back(pixelCentre(s.x1, s.y1), pixelCentre(s.x2, s.y2));
            last = &s;
        }
    }
    if (!last)
        return;
    // Each line is drawn as Line draws it, in one call to the painter.
    QPainter& p = painter();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(currentPen(color));
    p.drawLines(lines.data(), static_cast<int>(lines.size()));
    currentX_ = last->x2;
    currentY_ = last->y2;
}

void PictureBox::FillBox(float x1, float y1, float x2, float y2, const QColor& color) {
    if (!FinitePoint(x1, y1) || !FinitePoint(x2, y2))
        return;
    QPainter& p = painter();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRectF(pixelCorner(x1, y1), pixelCorner(x2, y2)).normalized(), color);
}

void PictureBox::Circle(float x, float y, float radius, std::optional<QColor> color) {
    if (!FinitePoint(x, y) || !std::isfinite(radius))
        return;
    QPainter& p = painter();
    const QPen pen = currentPen(color.value_or(foreColor_));
    const QBrush brush = fillStyle_ == kFillSolid ? QBrush(fillColor_) : QBrush(Qt::NoBrush);
    // The radius is in x units for both directions. The centre sits in the middle of the pixel a
    // line through the same point would light.
    const double r = std::fabs(radius) * scaleX();
    const QPointF corner = pixelCorner(x, y);
    currentX_ = x;
    currentY_ = y;

    // The points of a chart are hundreds of identical small circles: smoothing one costs more
    // than all the lines together, so each kind is smoothed once and then copied.
    const double reach = r + pen.widthF() + 2;
    const bool wholePixels = corner.x() == std::floor(corner.x()) && ratio_ == std::floor(ratio_);
    if (reach <= 64 && wholePixels) {
        const DotKey key{r,          pen.color().rgba(), pen.widthF(),
                         drawStyle_, brush.style(),      brush.color().rgba()};
        const int half = static_cast<int>(std::ceil(reach));
        if (dotSprite_.isNull() || !(key == dotKey_)) {
            dotKey_ = key;
            const int side = 2 * half + static_cast<int>(ratio_);
            dotSprite_ = QImage(side, side, QImage::Format_ARGB32_Premultiplied);
            dotSprite_.fill(Qt::transparent);
            QPainter sprite(&dotSprite_);
            sprite.setRenderHint(QPainter::Antialiasing);
            sprite.setPen(pen);
            sprite.setBrush(brush);
            sprite.drawEllipse(QPointF(half + ratio_ / 2, half + ratio_ / 2), r, r);
        }
        p.drawImage(QPointF(corner.x() - half, corner.y() - half), dotSprite_);
        return;
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(pen);
    p.setBrush(brush);
    p.drawEllipse(corner + QPointF(ratio_ / 2, ratio_ / 2), r, r);
    p.setBrush(Qt::NoBrush);
}

void PictureBox::Print(const QString& text) {
    const TextFont& tf = textFont();
    const float height = TextHeight(text);
    if (!text.isEmpty() && FinitePoint(currentX_, currentY_)) {
        QPainter& p = painter();
        p.setFont(tf.font);
        p.setPen(foreColor_);
        const QPointF corner = pixelCorner(currentX_, currentY_);
        const double left = corner.x();
        double top = corner.y();
        // The current position is the top-left corner of the text cell, not the baseline.
        for (const QString& line : TextLines(text)) {
            p.drawText(QPointF(left, top + tf.metrics.ascent()), line);
            top += tf.metrics.lineSpacing();
        }
    }
    currentX_ = 0;
    currentY_ += height;
}

float PictureBox::TextWidth(const QString& text) {
    const TextFont& tf = textFont();
    double widest = 0;
    for (const QString& line : TextLines(text))
        widest = std::max(widest, tf.metrics.horizontalAdvance(line));
    return static_cast<float>(widest / scaleX());
}

float PictureBox::TextHeight(const QString& text) {
    const TextFont& tf = textFont();
    const auto lines = text.count(QLatin1Char('\n')) + 1;
    return static_cast<float>(lines * tf.metrics.lineSpacing() / scaleY());
}

void PictureBox::Cls() {
    syncImageSize(true);
    QPainter& p = painter();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(image_.rect(), Qt::white);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    currentX_ = 0;
    currentY_ = 0;
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    syncImageSize(true);
    endPainting();
    updatePending_ = false;
    QPainter p(this);
    p.drawImage(QRectF(contentsRect()), image_);
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    syncImageSize(true);
}
