#include "tools/bench.h"

#include <QApplication>

int main(int argc, char** argv) {
    // Text measuring needs a GUI application; the offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    BenchAnalysis();
    BenchJackknife();
    BenchDistributions();
    BenchComparisonWindow();
    BenchLoadWithWindows();
    BenchScreenChart();
    BenchPrint();
    return 0;
}
