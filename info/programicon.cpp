#include "info/programicon.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

void DrawProgramIcon(QPainter& p, double size) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // Everything is laid out on a 32-unit sheet and scaled, so the glyph keeps its proportions.
    p.scale(size / 32.0, size / 32.0);

    const QRectF sheet(2.5, 2.5, 27, 27);
    p.setPen(QPen(QColor(40, 70, 120), 1.0));
    p.setBrush(QColor(255, 253, 240));
    p.drawRect(sheet);

    // Value axis: two logarithmic decades, the sub-decade lines crowding toward each decade end.
    p.setPen(QPen(QColor(150, 190, 220), 0.5));
    const double decade = sheet.width() / 2.0;
    for (int d = 0; d < 2; ++d)
        for (int k = 2; k <= 9; ++k) {
            const double x = sheet.left() + decade * (d + std::log10(k));
            p.drawLine(QPointF(x, sheet.top()), QPointF(x, sheet.bottom()));
        }
    // Probability axis: lines at equal probability steps sit far apart in the tails and close
    // together around the median, as on real probability paper.
    static const double deviates[] = {-1.64, -1.04, -0.52, 0.0, 0.52, 1.04, 1.64};
    for (const double z : deviates) {
        const double y = sheet.center().y() - z * sheet.height() / 4.2;
        p.drawLine(QPointF(sheet.left(), y), QPointF(sheet.right(), y));
    }
    p.setPen(QPen(QColor(40, 70, 120), 0.8));
    p.drawLine(QPointF(sheet.left() + decade, sheet.top()),
               QPointF(sheet.left() + decade, sheet.bottom()));

    p.setPen(QPen(QColor(210, 30, 30), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5.5, 26.5), QPointF(26.5, 5.5));

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 40, 160));
    static const QPointF points[] = {{7.5, 23.0},  {11.5, 21.5}, {14.0, 17.0},
                                     {17.5, 15.5}, {19.5, 11.0}, {24.0, 9.5}};
    for (const QPointF& pt : points)
        p.drawEllipse(pt, 1.5, 1.5);
    p.restore();
}

QPixmap ProgramIconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    DrawProgramIcon(p, size);
    return pixmap;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64})
        icon.addPixmap(ProgramIconPixmap(size));
    return icon;
}
