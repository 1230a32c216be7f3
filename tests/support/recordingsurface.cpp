#include "recordingsurface.h"

RecordingSurface::RecordingSurface(float charWidthAt10pt, float lineHeightAt10pt)
    : charWidth_(charWidthAt10pt)
    , lineHeight_(lineHeightAt10pt) {}

QList<RecordingSurface::Op> RecordingSurface::ofKind(Kind kind) const {
    QList<Op> out;
    for (const Op& op : ops)
        if (op.kind == kind)
            out << op;
    return out;
}

std::optional<RecordingSurface::Op> RecordingSurface::printOf(const QString& text) const {
    for (const Op& op : ops)
        if (op.kind == Kind::Print && op.text == text)
            return op;
    return std::nullopt;
}

RecordingSurface::Op RecordingSurface::stamp(Kind kind) const {
    Op op;
    op.kind = kind;
    op.drawWidth = drawWidth_;
    op.drawStyle = drawStyle_;
    op.fillStyle = fillStyle_;
    op.fillColor = fillColor_;
    op.fontName = fontName_;
    op.fontSize = fontSize_;
    return op;
}

void RecordingSurface::Line(float x1, float y1, float x2, float y2, std::optional<QColor> color) {
    Op op = stamp(Kind::Line);
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.color = color;
    ops << op;
}

void RecordingSurface::FillBox(float x1, float y1, float x2, float y2, const QColor& color) {
    Op op = stamp(Kind::Box);
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.color = color;
    ops << op;
}

void RecordingSurface::Circle(float x, float y, float radius, std::optional<QColor> color) {
    Op op = stamp(Kind::Circle);
    op.x1 = x;
    op.y1 = y;
    op.radius = radius;
    op.color = color;
    ops << op;
}

void RecordingSurface::Print(const QString& text) {
    Op op = stamp(Kind::Print);
    op.x1 = currentX_;
    op.y1 = currentY_;
    op.text = text;
    ops << op;
}

float RecordingSurface::TextWidth(const QString& text) {
    return charWidth_ * fontSize_ / 10.0f * static_cast<float>(text.size());
}

float RecordingSurface::TextHeight(const QString&) {
    return lineHeight_ * fontSize_ / 10.0f;
}

void RecordingSurface::Cls() {
    ops << stamp(Kind::Cls);
    currentX_ = 0;
    currentY_ = 0;
}
