#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <cmath>

#include <optional>
#include <vector>

// The drawing operations and sticky pen and font state that the screen picture and the printer
// share. Coordinates are single precision in the surface's own unit; text extents come back in
// the same unit.
class DrawingSurface {
public:
    explicit DrawingSurface(QString fontName = QString())
        : fontName_(std::move(fontName)) {}
    virtual ~DrawingSurface() = default;

    // Segment from (x1, y1) to (x2, y2), both ends included, with the current width and style.
    virtual void Line(float x1, float y1, float x2, float y2,
                      std::optional<QColor> color = std::nullopt) = 0;
    // The segments as so many Line calls, in order, all in one colour. A surface that can draw a
    // batch at once (the screen) does so: a curve is hundreds of segments.
    struct Segment {
        float x1, y1, x2, y2;
    };
    virtual void Lines(const std::vector<Segment>& segments, const QColor& color) {
        for (const Segment& s : segments)
            Line(s.x1, s.y1, s.x2, s.y2, color);
    }
    // Circle with the radius in x units; filled with FillColor when FillStyle is 0.
    virtual void Circle(float x, float y, float radius,
                        std::optional<QColor> color = std::nullopt) = 0;
    // The rectangle between the corners (x1, y1) and (x2, y2) filled with color, no outline.
    virtual void FillBox(float x1, float y1, float x2, float y2, const QColor& color) = 0;
    // Draws text with the top-left corner of its text cell at (CurrentX, CurrentY).
    virtual void Print(const QString& text) = 0;
    // Advance width and line height of exactly what Print draws, in surface units.
    virtual float TextWidth(const QString& text) = 0;
    virtual float TextHeight(const QString& text) = 0;

    // Sticky state: whatever is set stays in force for every later call, across routines.
    void SetCurrentX(float x) { currentX_ = x; }
    void SetCurrentY(float y) { currentY_ = y; }
    float CurrentX() const { return currentX_; }
    float CurrentY() const { return currentY_; }

    // Pen width in device pixels (screen pixels, printer dots) whatever the unit.
    virtual void SetDrawWidth(int width) { drawWidth_ = width; }
    // 0 solid, 2 dotted; dotted shows only at width 1.
    void SetDrawStyle(int style) { drawStyle_ = style; }
    // 0 solid fill, 1 transparent.
    void SetFillStyle(int style) { fillStyle_ = style; }
    void SetFillColor(const QColor& color) { fillColor_ = color; }
    int DrawWidth() const { return drawWidth_; }
    int DrawStyle() const { return drawStyle_; }
    int FillStyle() const { return fillStyle_; }

    // Setting the face keeps the size.
    virtual void SetFontName(const QString& face) { fontName_ = face; }
    virtual void SetFontSize(float points) { fontSize_ = points; }
    QString FontName() const { return fontName_; }
    float FontSize() const { return fontSize_; }

    // Clears to the background and puts the current position at the origin.
    virtual void Cls() = 0;

protected:
    float currentX_ = 0;
    float currentY_ = 0;
    int drawWidth_ = 1;
    int drawStyle_ = 0;
    int fillStyle_ = 1;
    QColor fillColor_ = Qt::black;
    QString fontName_;
    float fontSize_ = 8.25f;
};

inline constexpr int kDrawStyleSolid = 0;
inline constexpr int kDrawStyleDotted = 2;
inline constexpr int kFillSolid = 0;
inline constexpr int kFillTransparent = 1;

// The 16-colour palette: 0 black, 1 dark blue, 12 bright red, and the rest as the standard one.
QColor QBColor(int index);

// A position a painter can take: both coordinates are numbers.
inline bool FinitePoint(float x, float y) {
    return std::isfinite(x) && std::isfinite(y);
}

// The lines Print draws one under another: split at line feeds, carriage returns dropped.
inline QStringList TextLines(const QString& text) {
    QString plain = text;
    plain.remove(QLatin1Char('\r'));
    return plain.split(QLatin1Char('\n'));
}
