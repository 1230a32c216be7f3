// STUB: replaced by the screen chart implementation.
#include "chart/picturebox.h"
#include "chart/screenchart.h"

PictureBox::PictureBox(QWidget* parent)
    : QFrame(parent) {}
void DrawScreenChart(const AppState&, DrawingSurface&) {}
void DrawScreenAxes(const AppState&, DrawingSurface&) {}
void DrawScreenPoints(const AppState&, DrawingSurface&) {}
