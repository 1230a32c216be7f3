#pragma once

#include "chart/drawingsurface.h"

#include <QFrame>

// STUB (to be replaced by the screen surface): the picture area of the main window.
class PictureBox : public QFrame, public DrawingSurface {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
};
