#pragma once

#include <QString>

// A name typed without any dot gets the extension its save dialog was for ("res30" becomes
// "res30.csv"), the same rule by which the dialog adds it before asking about replacing a file,
// so the question is always about the file written. Any other name is kept as typed ("res30.",
// ".profile"). Only the text is looked at, so a name whose bytes are not UTF-8 keeps them.
inline QString WithDefaultSuffix(const QString& path, const QString& suffix) {
    const QString name = path.section(QLatin1Char('/'), -1);
    if (name.isEmpty() || name.contains(QLatin1Char('.')))
        return path;
    return path + QLatin1Char('.') + suffix;
}

// The open and save dialogs' filter for annual data files: every file first, then text files.
inline const QString kDataFileFilter =
    QStringLiteral("すべてのファイル (*)|*|テキスト ファイル (*.txt)|*.txt");
