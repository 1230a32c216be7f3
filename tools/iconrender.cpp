// Writes the program's icon for the desktop's icon theme: iconrender OUTDIR gives
// OUTDIR/hicolor/<n>x<n>/apps/quorvel.png for each size and
// OUTDIR/hicolor/scalable/apps/quorvel.svg, all from the one drawing the program shows in its own
// windows.

#include "info/programicon.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

bool Fail(const QString& what) {
    std::fprintf(stderr, "iconrender: %s\n", qPrintable(what));
    return false;
}

bool WritePng(const QString& folder, int size) {
    const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps").arg(folder).arg(size);
    if (!QDir().mkpath(dir))
        return Fail(QStringLiteral("cannot create %1").arg(dir));
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        DrawProgramIcon(painter, size);
    }
    const QString path = dir + QStringLiteral("/quorvel.png");
    if (!image.save(path, "PNG"))
        return Fail(QStringLiteral("cannot write %1").arg(path));
    return true;
}

bool WriteSvg(const QString& folder) {
    const QString dir = folder + QStringLiteral("/hicolor/scalable/apps");
    if (!QDir().mkpath(dir))
        return Fail(QStringLiteral("cannot create %1").arg(dir));
    const QString path = dir + QStringLiteral("/quorvel.svg");
    QFile::remove(path);
    {
        QSvgGenerator generator;
        generator.setFileName(path);
        generator.setSize(QSize(32, 32));
        generator.setViewBox(QRectF(0, 0, 32, 32));
        generator.setTitle(QStringLiteral("Quorvel"));
        QPainter painter;
        if (!painter.begin(&generator))
            return Fail(QStringLiteral("cannot write %1").arg(path));
        DrawProgramIcon(painter, 32);
    }
    // The generator reports no write errors of its own; an empty or missing file is one.
    if (QFileInfo(path).size() == 0)
        return Fail(QStringLiteral("cannot write %1").arg(path));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: iconrender OUTDIR\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (const int size : kSizes)
        if (!WritePng(folder, size))
            return 1;
    return WriteSvg(folder) ? 0 : 1;
}
