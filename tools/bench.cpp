#include "tools/bench.h"
#include "statistics/numeric.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <utility>

int main(int argc, char** argv) {
    // Text measuring needs a GUI application; the offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ClearUpperVectorState();
    const std::pair<const char*, void (*)()> benches[] = {
        {"analysis", BenchAnalysis},
        {"jackknife", BenchJackknife},
        {"distributions", BenchDistributions},
        {"bootstrap", BenchBootstrap},
        {"intensity", BenchIntensity},
        {"comparison", BenchComparisonWindow},
        {"load", BenchLoadWithWindows},
        {"screen", BenchScreenChart},
        {"print", BenchPrint},
        {"report", BenchReport},
    };
    // With names on the command line only those run, so a profiler sees one at a time.
    const QStringList chosen = application.arguments().mid(1);
    for (const auto& [name, bench] : benches)
        if (chosen.isEmpty() || chosen.contains(QLatin1String(name)))
            bench();
    return 0;
}
