#pragma once

#include "chart/drawingsurface.h"

#include <QByteArray>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>

class QPainter;
class QWidget;
class FileDialogService;

// A DrawingSurface on any painter: the user scale of `units` stretched over `device` (pixels of
// the image, or of the SVG's view box). Pen widths in screen pixels and font sizes in points are
// multiplied by pixelScale, the picture's size over the size it has on screen, so the image
// looks like the screen chart, only larger. Nothing snaps to pixels: an SVG stays exact.
class PainterSurface : public DrawingSurface {
public:
    PainterSurface(QPainter& painter, QSizeF units, QSizeF device, double pixelScale,
                   QString fontName);

    void Line(float x1, float y1, float x2, float y2,
              std::optional<QColor> color = std::nullopt) override;
    void FillBox(float x1, float y1, float x2, float y2, const QColor& color) override;
    void Circle(float x, float y, float radius,
                std::optional<QColor> color = std::nullopt) override;
    void Print(const QString& text) override;
    float TextWidth(const QString& text) override;
    float TextHeight(const QString& text) override;
    void SetDrawWidth(int width) override;
    void Cls() override;

private:
    QPointF device(float x, float y) const;
    QPen pen(const QColor& color) const;
    QFont font() const;

    QPainter& painter_;
    double sx_;
    double sy_;
    double pixelScale_;
};

// A chart as the windows show it: how to draw it on a surface, the user scale it draws in, and
// its size on screen in pixels, which gives the picture's shape and the weight of its lines.
struct ChartPicture {
    std::function<void(DrawingSurface&)> draw;
    QSizeF units;
    QSize screenSize;
    QString fontName;
};

// The picture `height` pixels high, its width in the screen's proportion, on white.
QImage RenderChartImage(const ChartPicture& chart, int height);
QByteArray ChartPng(const ChartPicture& chart, int height);
// The same as vector graphics; `title` goes into the file's title element.
QByteArray ChartSvg(const ChartPicture& chart, int height, const QString& title);

// Images go out at least this high, a size a printed report can use.
inline constexpr int kChartImageHeight = 1200;

inline const QString kChartImageFilter =
    QStringLiteral("PNG 画像 (*.png)|*.png|SVG 図形 (*.svg)|*.svg");

// The one export of a chart for every window: asks for a name (offered: the suggestion), takes
// PNG or SVG by its extension (".png" added to a name without one), refuses a name that is one
// of inputs, and writes through the checked writer. False when the dialog is cancelled; throws
// DataError for any other extension and for a failed write.
bool SaveChartImage(QWidget* parent, FileDialogService& files, const ChartPicture& chart,
                    const QString& offered, const QStringList& inputs);

// Puts the chart on the clipboard as an image.
void CopyChartImage(const ChartPicture& chart);

// The name offered for a chart of dataFileName: its folder and base name with ".png".
QString SuggestedChartPath(const QString& dataFileName, const QString& suffixOfName = QString());
