#pragma once

#include <QFileInfo>
#include <QString>

// A name typed without an extension gets the one its save dialog was for ("res30" becomes
// "res30.csv"); a name that has any extension is kept as typed.
inline QString WithDefaultSuffix(const QString& path, const QString& suffix) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + suffix;
}
