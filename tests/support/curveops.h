#pragma once

// The compared curves on a recorded chart, told apart from everything else drawn.

#include "chart/modelcurves.h"
#include "recordingsurface.h"
#include "statistics/distributions.h"

#include <QList>
#include <QStringList>

struct CurveOps {
    QList<RecordingSurface::Op> curves; // strokes in the models' colours, legend labels
    QList<RecordingSurface::Op> others; // the rest, in drawing order
};

// label: the name the legend gives a model (ModelName on paper, ModelShortName on screen).
inline CurveOps SplitCurveOps(const RecordingSurface& surface, const QList<ModelId>& models,
                              QString (*label)(ModelId)) {
    QList<QColor> colours;
    QStringList labels;
    for (const ModelId id : models) {
        colours << ModelColour(id);
        // The legend marks the selected model.
        labels << label(id) << label(id) + QStringLiteral(" ◎");
    }
    CurveOps split;
    for (const RecordingSurface::Op& op : surface.ops)
        // The legend's background belongs to the legend.
        ((op.color && colours.contains(*op.color)) || labels.contains(op.text) ||
                 op.kind == RecordingSurface::Kind::Box
             ? split.curves
             : split.others)
            << op;
    return split;
}

// Empty when both draw the same calls at the same places with the same texts, font sizes and
// pen widths; otherwise where they first part.
inline QString FirstDifference(const QList<RecordingSurface::Op>& a,
                               const QList<RecordingSurface::Op>& b) {
    if (a.size() != b.size())
        return QStringLiteral("%1 calls against %2").arg(a.size()).arg(b.size());
    for (qsizetype i = 0; i < a.size(); ++i) {
        const RecordingSurface::Op& x = a[i];
        const RecordingSurface::Op& y = b[i];
        if (x.kind != y.kind || x.x1 != y.x1 || x.y1 != y.y1 || x.x2 != y.x2 || x.y2 != y.y2 ||
            x.text != y.text || x.fontSize != y.fontSize || x.drawWidth != y.drawWidth)
            return QStringLiteral("call %1 (%2)").arg(i).arg(x.text);
    }
    return {};
}
