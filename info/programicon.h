#pragma once

#include <QIcon>
#include <QPixmap>

// The program's icon: a small sheet of log-normal probability paper with a few plotted points
// and their fitted line. Drawn in code so it stays sharp at every size it is asked for.
QPixmap ProgramIconPixmap(int size = 32);
QIcon ProgramIcon();
