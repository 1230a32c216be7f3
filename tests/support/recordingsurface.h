#pragma once

#include "chart/drawingsurface.h"

#include <QList>

// A DrawingSurface that remembers every call with the state in force, so tests can assert
// coordinates. Text is measured as if every character were a fixed cell: width charWidth and
// height lineHeight at 10 points, scaled with the font size.
class RecordingSurface : public DrawingSurface {
public:
    enum class Kind { Line, Circle, Print, Cls };
    struct Op {
        Kind kind;
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0; // Line ends; Circle centre in x1,y1; Print at x1,y1
        float radius = 0;
        QString text;
        std::optional<QColor> color;
        int drawWidth = 1;
        int drawStyle = 0;
        int fillStyle = 1;
        QColor fillColor;
        QString fontName;
        float fontSize = 0;
    };

    explicit RecordingSurface(float charWidthAt10pt = 100, float lineHeightAt10pt = 200);

    QList<Op> ops;
    QList<Op> lines() const { return ofKind(Kind::Line); }
    QList<Op> circles() const { return ofKind(Kind::Circle); }
    QList<Op> prints() const { return ofKind(Kind::Print); }
    QList<Op> ofKind(Kind kind) const;
    // The first Print of exactly this text, or nothing.
    std::optional<Op> printOf(const QString& text) const;

    void Line(float x1, float y1, float x2, float y2, std::optional<QColor> color) override;
    void Circle(float x, float y, float radius, std::optional<QColor> color) override;
    void Print(const QString& text) override;
    float TextWidth(const QString& text) override;
    float TextHeight(const QString& text) override;
    void SetCurrentX(float x) override { currentX_ = x; }
    void SetCurrentY(float y) override { currentY_ = y; }
    float CurrentX() const override { return currentX_; }
    float CurrentY() const override { return currentY_; }
    void SetDrawWidth(int width) override { drawWidth_ = width; }
    void SetDrawStyle(int style) override { drawStyle_ = style; }
    void SetFillStyle(int style) override { fillStyle_ = style; }
    void SetFillColor(const QColor& color) override { fillColor_ = color; }
    int DrawWidth() const override { return drawWidth_; }
    int DrawStyle() const override { return drawStyle_; }
    int FillStyle() const override { return fillStyle_; }
    void SetFontName(const QString& face) override { fontName_ = face; }
    void SetFontSize(float points) override { fontSize_ = points; }
    QString FontName() const override { return fontName_; }
    float FontSize() const override { return fontSize_; }
    void Cls() override;

private:
    Op stamp(Kind kind) const;
    float charWidth_;
    float lineHeight_;
    float currentX_ = 0, currentY_ = 0;
    int drawWidth_ = 1, drawStyle_ = 0, fillStyle_ = 1;
    QColor fillColor_ = Qt::black;
    QString fontName_;
    float fontSize_ = 8.25f;
};
