#pragma once

// The chart on both surfaces, with what must hold of every drawing whatever the series or table.

#include "state/appstate.h"
#include "chart/screenchart.h"
#include "fuzzcheck.h"
#include "print/printedchart.h"
#include "recordingsurface.h"

#include <cmath>

// The integer part of a number shown on paper: more than 15 digits means it was printed digit
// for digit where the exponent form belongs.
inline bool HasOverlongInteger(const QString& text) {
    int run = 0;
    bool fraction = false;
    for (QChar c : text) {
        if (c.isDigit()) {
            if (!fraction && ++run > 15)
                return true;
        } else {
            fraction = c == u'.';
            run = 0;
        }
    }
    return false;
}

inline void CheckDrawn(const RecordingSurface& surface, const char* where, qsizetype limit) {
    Require(surface.ops.size() < limit, where, QStringLiteral("too many drawing calls"));
    for (const RecordingSurface::Op& op : surface.ops) {
        Require(std::isfinite(op.x1) && std::isfinite(op.y1) && std::isfinite(op.x2) &&
                    std::isfinite(op.y2),
                where, QStringLiteral("a coordinate is not finite"));
        if (op.kind != RecordingSurface::Kind::Print)
            continue;
        Require(!ShowsNonFinite(op.text), where, op.text);
        Require(!HasOverlongInteger(op.text), where, op.text);
    }
}

// Screen and paper: nothing thrown, every coordinate finite, every text a finite number in its
// short form.
inline void DrawBothChecked(const AppState& state) {
    // A monotone curve crosses the frame once: at most a few hundred segments or dashes each.
    const qsizetype limit =
        4000 + (state.compared.show ? 600 * qsizetype(state.compared.models.size()) : 0);
    RecordingSurface screen;
    MustNotThrow("DrawScreenChart", [&] { DrawScreenChart(state, screen); });
    CheckDrawn(screen, "screen", limit);
    RecordingSurface paper;
    MustNotThrow("DrawPrintedChart", [&] {
        DrawPrintedChart(state, paper);
        DrawPrintedCurves(state, paper);
        DrawPrintedPoints(state, paper);
    });
    CheckDrawn(paper, "paper", limit);
}
