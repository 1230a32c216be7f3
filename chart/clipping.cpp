#include "chart/clipping.h"

#include <cmath>

bool ClipParameters(double x, double y, double dx, double dy, double left, double top, double right,
                    double bottom, double& tEnter, double& tLeave) {
    // Each side narrows the range of t, running from the first end along the segment, that lies
    // inside.
    const double towards[4] = {-dx, dx, -dy, dy};
    const double room[4] = {x - left, right - x, y - top, bottom - y};
    for (int side = 0; side < 4; ++side) {
        if (towards[side] == 0) {
            if (room[side] < 0)
                return false; // parallel to this side and outside it
            continue;
        }
        const double t = room[side] / towards[side];
        if (towards[side] < 0)
            tEnter = std::fmax(tEnter, t);
        else
            tLeave = std::fmin(tLeave, t);
    }
    return tEnter <= tLeave;
}

std::optional<Segment> ClipSegment(const Segment& segment, double limit) {
    const double dx = segment.x2 - segment.x1;
    const double dy = segment.y2 - segment.y1;
    if (!std::isfinite(dx) || !std::isfinite(dy))
        return std::nullopt;
    double tEnter = 0;
    double tLeave = 1;
    if (!ClipParameters(segment.x1, segment.y1, dx, dy, -limit, -limit, limit, limit, tEnter,
                        tLeave))
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
