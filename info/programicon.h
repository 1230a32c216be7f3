#pragma once

#include <QIcon>
#include <QPixmap>

class QPainter;

// The program's icon: a small sheet of log-normal probability paper with a few plotted points
// and their fitted line. Drawn in code so it stays sharp at every size it is asked for.
QPixmap ProgramIconPixmap(int size = 32);
QIcon ProgramIcon();

// The drawing itself, on a painter whose device is size by size units: the pixmaps above, the
// icon files of the installed package and its scalable form all come from here.
void DrawProgramIcon(QPainter& painter, double size);
