#pragma once

#include <QColor>
#include <QString>

#include <optional>

// The drawing operations and sticky pen and font state that the screen picture and the printer
// share. Coordinates are single precision in the surface's own unit; text extents come back in
// the same unit.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    // Segment from (x1, y1) to (x2, y2), both ends included, with the current width and style.
    virtual void Line(float x1, float y1, float x2, float y2,
                      std::optional<QColor> color = std::nullopt) = 0;
    // Circle with the radius in x units; filled with FillColor when FillStyle is 0.
    virtual void Circle(float x, float y, float radius,
                        std::optional<QColor> color = std::nullopt) = 0;
    // Draws text with the top-left corner of its text cell at (CurrentX, CurrentY).
    virtual void Print(const QString& text) = 0;
    // Advance width and line height of exactly what Print draws, in surface units.
    virtual float TextWidth(const QString& text) = 0;
    virtual float TextHeight(const QString& text) = 0;

    virtual void SetCurrentX(float x) = 0;
    virtual void SetCurrentY(float y) = 0;
    virtual float CurrentX() const = 0;
    virtual float CurrentY() const = 0;

    // Pen width in device pixels (screen pixels, printer dots) whatever the unit.
    virtual void SetDrawWidth(int width) = 0;
    // 0 solid, 2 dotted; dotted shows only at width 1.
    virtual void SetDrawStyle(int style) = 0;
    // 0 solid fill, 1 transparent.
    virtual void SetFillStyle(int style) = 0;
    virtual void SetFillColor(const QColor& color) = 0;
    virtual int DrawWidth() const = 0;
    virtual int DrawStyle() const = 0;
    virtual int FillStyle() const = 0;

    // Setting the face keeps the size.
    virtual void SetFontName(const QString& face) = 0;
    virtual void SetFontSize(float points) = 0;
    virtual QString FontName() const = 0;
    virtual float FontSize() const = 0;

    // Clears to the background and puts the current position at the origin.
    virtual void Cls() = 0;
};

inline constexpr int kDrawStyleSolid = 0;
inline constexpr int kDrawStyleDotted = 2;
inline constexpr int kFillSolid = 0;
inline constexpr int kFillTransparent = 1;

// The 16-colour palette: 0 black, 1 dark blue, 12 bright red, and the rest as the standard one.
QColor QBColor(int index);
