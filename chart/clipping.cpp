#include "chart/clipping.h"

#include <cmath>

std::optional<Segment> ClipSegment(const Segment& segment, double limit) {
    const double dx = segment.x2 - segment.x1;
    const double dy = segment.y2 - segment.y1;
    if (!std::isfinite(dx) || !std::isfinite(dy))
        return std::nullopt;
    // Liang-Barsky: t runs from 0 at the first end to 1 at the second; each side of the square
    // narrows the range of t that lies inside.
    double tEnter = 0;
    double tLeave = 1;
    const double towards[4] = {-dx, dx, -dy, dy};
    const double room[4] = {segment.x1 + limit, limit - segment.x1, segment.y1 + limit,
                            limit - segment.y1};
    for (int side = 0; side < 4; ++side) {
        if (towards[side] == 0) {
            if (room[side] < 0)
                return std::nullopt; // parallel to this side and outside it
            continue;
        }
        const double t = room[side] / towards[side];
        if (towards[side] < 0)
            tEnter = std::fmax(tEnter, t);
        else
            tLeave = std::fmin(tLeave, t);
    }
    if (tEnter > tLeave)
        return std::nullopt;
    Segment clipped = segment;
    if (tEnter > 0) {
        clipped.x1 = LimitCoordinate(segment.x1 + tEnter * dx, limit);
        clipped.y1 = LimitCoordinate(segment.y1 + tEnter * dy, limit);
    }
    if (tLeave < 1) {
        clipped.x2 = LimitCoordinate(segment.x1 + tLeave * dx, limit);
        clipped.y2 = LimitCoordinate(segment.y1 + tLeave * dy, limit);
    }
    return clipped;
}

double LimitCoordinate(double value, double limit) {
    if (!(value > -limit))
        return -limit;
    return value < limit ? value : limit;
}
