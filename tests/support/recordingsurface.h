#pragma once

#include "chart/drawingsurface.h"

#include <QList>

// A DrawingSurface that remembers every call with the state in force, so tests can assert
// coordinates. Text is measured as if every character were a fixed cell: width charWidth and
// height lineHeight at 10 points, scaled with the font size.
class RecordingSurface : public DrawingSurface {
public:
    enum class Kind { Line, Circle, Print, Cls, Box };
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
    QList<Op> boxes() const { return ofKind(Kind::Box); }
    QList<Op> ofKind(Kind kind) const;
    // The first Print of exactly this text, or nothing.
    std::optional<Op> printOf(const QString& text) const;

    void Line(float x1, float y1, float x2, float y2, std::optional<QColor> color) override;
    void Circle(float x, float y, float radius, std::optional<QColor> color) override;
    void FillBox(float x1, float y1, float x2, float y2, const QColor& color) override;
    void Print(const QString& text) override;
    float TextWidth(const QString& text) override;
    float TextHeight(const QString& text) override;
    void Cls() override;

private:
    Op stamp(Kind kind) const;
    float charWidth_;
    float lineHeight_;
};
