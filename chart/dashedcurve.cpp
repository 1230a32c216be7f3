#include "chart/dashedcurve.h"

#include <cmath>

namespace {

// Liang-Barsky: the part of a..b inside frame, as parameters of the segment.
bool ClipToFrame(QPointF a, QPointF b, const QRectF& frame, double& t0, double& t1) {
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - frame.left(), frame.right() - a.x(), a.y() - frame.top(),
                         frame.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    return t0 <= t1;
}

} // namespace

void DrawDashedCurve(DrawingSurface& surface, const std::vector<std::optional<QPointF>>& points,
                     const QRectF& frame, double dash, double gap, const QColor& colour) {
    const double period = dash + gap;
    double travelled = 0; // along the curve, for the pattern's phase
    for (size_t i = 1; i < points.size(); ++i) {
        if (!points[i - 1] || !points[i]) {
            travelled = 0;
            continue;
        }
        const QPointF a = *points[i - 1];
        const QPointF b = *points[i];
        const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
        if (!(length > 0) || !std::isfinite(length))
            continue;
        // Every dash that starts or runs into this segment.
        for (double start = -std::fmod(travelled, period); start < length; start += period) {
            double t0 = std::max(0.0, start) / length;
            double t1 = std::min(length, start + dash) / length;
            if (t1 <= t0 || !ClipToFrame(a, b, frame, t0, t1))
                continue;
            const QPointF p = a + (b - a) * t0;
            const QPointF q = a + (b - a) * t1;
            surface.Line(static_cast<float>(p.x()), static_cast<float>(p.y()),
                         static_cast<float>(q.x()), static_cast<float>(q.y()), colour);
        }
        travelled += length;
    }
}
