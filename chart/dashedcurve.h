#pragma once

#include "chart/drawingsurface.h"

#include <QPointF>
#include <QRectF>

#include <optional>
#include <vector>

// Draws a polyline as dashes of `dash` units with gaps of `gap`, the pattern running on across
// the corners, through solid Line calls only, so the dashes look alike on every surface and
// at every pen width. Only what lies inside frame is drawn. A missing point breaks the curve.
void DrawDashedCurve(DrawingSurface& surface, const std::vector<std::optional<QPointF>>& points,
                     const QRectF& frame, double dash, double gap, const QColor& colour);
