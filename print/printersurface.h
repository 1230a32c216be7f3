#pragma once

#include "chart/drawingsurface.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <optional>

class QPaintDevice;

// The printer side of the drawing surface: a painter on a paged device (a printer, or a PDF
// writer standing in for one). Coordinates and text extents are millimetres from the top left
// corner of the device's paintable area; pen widths stay in device dots.
//
// The document starts with the first drawing call, as it does on a printer; EndDoc finishes it.
class PrinterSurface : public DrawingSurface {
public:
    explicit PrinterSurface(QPaintDevice& device);
    ~PrinterSurface() override;
    PrinterSurface(const PrinterSurface&) = delete;
    PrinterSurface& operator=(const PrinterSurface&) = delete;

    void Line(float x1, float y1, float x2, float y2,
              std::optional<QColor> color = std::nullopt) override;
    void FillBox(float x1, float y1, float x2, float y2, const QColor& color) override;
    void Circle(float x, float y, float radius,
                std::optional<QColor> color = std::nullopt) override;
    void Print(const QString& text) override;
    float TextWidth(const QString& text) override;
    float TextHeight(const QString& text) override;

    void SetFontName(const QString& face) override;
    void SetFontSize(float points) override;

    // Paper cannot be wiped: only the current position goes back to the corner.
    void Cls() override;

    // Text leaves what lies under it visible when true (the default); otherwise it is drawn on
    // a white box.
    void SetFontTransparent(bool transparent) { fontTransparent_ = transparent; }
    bool FontTransparent() const { return fontTransparent_; }

    // True once the first drawing call has opened the document.
    bool Started() const { return painter_.isActive(); }
    // Finishes the document. False when the device could not complete it. A document that was
    // never started is left alone and counts as finished.
    bool EndDoc();
    // The painter, the document started: for pages drawn beside the chart in the same document,
    // which must leave it as they found it (save and restore).
    QPainter& Painter() {
        begin();
        return painter_;
    }

    // Dots per millimetre of the device, across and down.
    double DotsPerMmX() const { return dotsPerMmX_; }
    double DotsPerMmY() const { return dotsPerMmY_; }

private:
    void begin();
    QPointF toDevice(double x, double y) const;
    QPen pen(const QColor& color) const;
    const QFontMetricsF& metrics();
    void fontChanged();

    QPaintDevice& device_;
    QPainter painter_;
    double dotsPerMmX_;
    double dotsPerMmY_;
    QColor foreColor_ = Qt::black;
    bool fontTransparent_ = true;
    QFont font_;
    std::optional<QFontMetricsF> metrics_;
};
