#pragma once

#include <optional>

// Screen and printed charts keep every coordinate within this distance of their origin before
// it is rounded: twenty times the screen's 4000 x 5000 scale, ten metres on the printed design
// grid. Whatever lies beyond is far off the picture and the page, and a whole number there
// would no longer fit the drawing calls.
inline constexpr double kCoordinateLimit = 100000;

struct Segment {
    double x1;
    double y1;
    double x2;
    double y2;
};

// Liang-Barsky: narrows [tEnter, tLeave], the parameters of the segment from (x, y) along
// (dx, dy), to the part inside the rectangle left..right, top..bottom. False when nothing of the
// segment lies inside.
bool ClipParameters(double x, double y, double dx, double dy, double left, double top, double right,
                    double bottom, double& tEnter, double& tLeave);

// The part of the segment inside the square of half-side limit around the origin, its ends
// moved along the segment to where it enters and leaves. Nothing when the segment misses the
// square or a coordinate is not finite. A segment inside is returned exactly as it came.
std::optional<Segment> ClipSegment(const Segment& segment, double limit = kCoordinateLimit);

// A single coordinate held to [-limit, limit]; a coordinate that is not a number gives -limit.
double LimitCoordinate(double value, double limit = kCoordinateLimit);
