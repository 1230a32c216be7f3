#include "chart/picturebox.h"
#include "chart/screenchart.h"
#include "formats/deviatetable.h"
#include "platform/widgets.h"
#include "state/loading.h"
#include "statistics/distributions.h"
#include "statistics/study.h"
#include "tools/bench.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

// Every keystroke in the axis-title box redraws the whole chart, so one redraw of the fullest
// chart (257 points and the line on the widest scale) has to stay well below a frame.
void BenchScreenChart() {
    InstallFontSubstitutions();
    AppState state;
    QFile table(QStringLiteral(QUORVEL_SOURCE_DIR "/data/ndlist.txt"));
    if (!table.open(QIODevice::ReadOnly)) {
        std::printf("screen redraw: %s not found\n", qPrintable(table.fileName()));
        return;
    }
    ParseDeviateTable(table.readAll(), state.deviateTable);

    // A smooth spread of values over four decades.
    SeriesData series;
    series.recordCount = kMaxRecords;
    for (int i = 0; i < kMaxRecords; ++i) {
        series.years[size_t(i)] = 1770 + i;
        series.values[size_t(i)] =
            std::pow(10.0, 1.0 + 4.0 * ((i * 97) % kMaxRecords) / kMaxRecords);
    }
    state.study = ComputeStudy(series, StudySettings{}, state.deviateTable);
    state.settings.analysisMode = 1;
    state.settings.scaleMinIndex = -1;
    state.settings.scaleMaxIndex = 5;

    PictureBox picture;
    picture.setGeometry(TwipsRect(3600, 120, 5655, 7095));
    const double micros = MedianMicroseconds(200, [&] {
        picture.Cls();
        DrawScreenChart(state, picture);
        picture.image(); // the drawing is finished when the picture can be shown
    });
    std::printf("screen redraw (257 points, widest scale): median %.3f ms\n", micros / 1000.0);

    // The compared curves are drawn from the study's fits; these three were the slowest to fit.
    state.compared.show = true;
    state.compared.models = {ModelId::Lp3, ModelId::Sqrtet, ModelId::Gev};
    state.compared.chosen = true;
    const double withCurves = MedianMicroseconds(100, [&] {
        picture.Cls();
        DrawScreenChart(state, picture);
        picture.image();
    });
    std::printf("screen redraw with lp3, sqrtet and gev curves: median %.3f ms\n",
                withCurves / 1000.0);
}
