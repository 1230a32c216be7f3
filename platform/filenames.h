#pragma once

#include <QString>

// A name typed without an extension gets the one its save dialog was for ("res30" becomes
// "res30.csv"); a name that has any extension is kept as typed. Only the text is looked at,
// so a name whose bytes are not UTF-8 keeps them.
inline QString WithDefaultSuffix(const QString& path, const QString& suffix) {
    const QString name = path.section(QLatin1Char('/'), -1);
    // A leading dot alone (".profile") is a hidden name, not an extension.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (name.isEmpty() || (dot > 0 && dot + 1 < name.size()))
        return path;
    // "res30." asks for an extension without giving one: it becomes "res30.csv", not "res30..csv".
    if (dot > 0 && dot + 1 == name.size())
        return path + suffix;
    return path + QLatin1Char('.') + suffix;
}
