#include "formats/deviatetablepath.h"

#include "formats/deviatetable.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

QStringList DeviateTableCandidates(const QString& startDirectory,
                                   const QString& executableDirectory) {
    // The start directory's path is kept as it was captured, so the message shows the folder the
    // user started in; a root ending in a separator gives two in a row, which is accepted.
    QStringList candidates{startDirectory + QLatin1Char('/') + kDeviateTableFileName};
    if (!executableDirectory.isEmpty()) {
        const QString installed = QStringLiteral("/../share/quorvel/");
        for (const QString& path :
             {executableDirectory + QLatin1Char('/') + kDeviateTableFileName,
              QDir::cleanPath(executableDirectory + installed + kDeviateTableFileName)}) {
            // Started in its own folder (as run.sh does), the program would name one file twice.
            const QString canonical = QDir::cleanPath(path);
            if (!std::any_of(candidates.cbegin(), candidates.cend(), [&](const QString& known) {
                    return QDir::cleanPath(known) == canonical;
                }))
                candidates << path;
        }
    }
    return candidates;
}

std::optional<QString> FindDeviateTablePath(const QString& startDirectory,
                                            const QString& executableDirectory) {
    // Anything of that name counts as found, so a folder or a pipe called ndlist.txt is reported
    // as what it is rather than passed over.
    for (const QString& path : DeviateTableCandidates(startDirectory, executableDirectory))
        if (QFileInfo::exists(path))
            return path;
    return std::nullopt;
}
