#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Where ndlist.txt is looked for, in this order: the start directory (a user's own table there
// wins), beside the executable, then ../share/quorvel/ beside the executable's folder, which is
// where an installed package keeps it wherever the package was unpacked. Each place once.
QStringList DeviateTableCandidates(const QString& startDirectory,
                                   const QString& executableDirectory);

// The first candidate that exists (a file, or anything else of that name, which the reader then
// refuses by what it is); nothing when there is none.
std::optional<QString> FindDeviateTablePath(const QString& startDirectory,
                                            const QString& executableDirectory);
