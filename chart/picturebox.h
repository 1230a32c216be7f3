#pragma once

#include "chart/drawingsurface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QFrame>
#include <QImage>

#include <map>
#include <memory>
#include <utility>

class QPainter;

// The picture area of the main window: a white box with a sunken border whose inner area carries
// the fixed user scale of 4000 x 5000 units. Drawing goes into a retained image, so the chart
// survives the window being covered or minimised; painting only shows that image.
//
// The image has the size of the inner area in device pixels (logical size times the device pixel
// ratio). Pen widths and font sizes are given in screen pixels and points and are multiplied by
// the ratio, so the chart looks the same on a high-density screen, only sharper.
class PictureBox : public QFrame, public DrawingSurface {
    Q_OBJECT
public:
    static constexpr float kScaleWidth = 4000;
    static constexpr float kScaleHeight = 5000;

    explicit PictureBox(QWidget* parent = nullptr);
    ~PictureBox() override;

    // The retained picture, in device pixels, with everything drawn so far.
    const QImage& image() const;

    void Line(float x1, float y1, float x2, float y2,
              std::optional<QColor> color = std::nullopt) override;
    void Lines(const std::vector<Segment>& segments, const QColor& color) override;
    void FillBox(float x1, float y1, float x2, float y2, const QColor& color) override;
    void Circle(float x, float y, float radius,
                std::optional<QColor> color = std::nullopt) override;
    void Print(const QString& text) override;
    float TextWidth(const QString& text) override;
    float TextHeight(const QString& text) override;

    void SetDrawWidth(int width) override;

    void SetFontName(const QString& face) override;
    void SetFontSize(float points) override;

    void Cls() override;

    // The colour of lines, outlines and text drawn without a colour of their own.
    void SetForeColor(const QColor& color) { foreColor_ = color; }
    QColor ForeColor() const { return foreColor_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct TextFont {
        QFont font;
        QFontMetricsF metrics;
    };

    // Brings the image to the inner area's current device size and returns the open painter.
    QPainter& painter();
    void endPainting() const;
    void syncImageSize(bool recheckRatio = false) const;
    double scaleX() const;
    double scaleY() const;
    double deviceRatio() const;
    QPointF pixelCorner(float x, float y) const;
    QPointF pixelCentre(float x, float y) const;
    QPen currentPen(const QColor& color) const;
    const TextFont& textFont();

    mutable QImage image_;
    mutable double ratio_ = 1; // device pixel ratio the image was made for
    mutable bool updatePending_ = false;

    // The last circle drawn, smoothed once, for the many identical points of a chart.
    struct DotKey {
        double radius;
        QRgb pen;
        double penWidth;
        int style;
        Qt::BrushStyle fill;
        QRgb fillColor;
        bool operator==(const DotKey&) const = default;
    };
    DotKey dotKey_{};
    QImage dotSprite_;
    mutable std::unique_ptr<QPainter> painter_;
    mutable std::map<std::pair<QString, int>, TextFont> fonts_; // by face and pixel size
    mutable const TextFont* currentFont_ = nullptr;

    QColor foreColor_ = Qt::black;
};
