#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

// Replaces the file at path with bytes, all or nothing: the bytes go into a temporary file in
// the same folder, every write and the flush are checked, the data is synced to disk, and only
// then does the temporary file take the target's name. An existing file keeps its mode (and its
// owner where the process may). On any failure the previous file is left byte for byte, the
// temporary file is removed, and DataError names the file and the reason in Japanese.
// A link is written through: the file it leads to is replaced (made, for a link to nothing whose
// folder exists) and the link stays; a loop of links is refused. A file without its owner's
// write permission is refused, for root as well. The temporaries that killed runs left in the
// folder (of the program's naming, of this user, held by no running process) are removed first;
// nothing else is touched. The name is taken as the system's bytes (EncodeFileName).
void WriteFileAllOrNothing(const QString& path, QByteArrayView bytes);

class FileDialogService;
class QWidget;

// Asks for a CSV file name (".csv" added to a name without an extension), refuses one of
// inputs, and writes text in UTF-8 with a byte-order mark, so that spreadsheets read Japanese
// headers, through WriteFileAllOrNothing. False when the dialog is cancelled.
bool SaveCsvText(QWidget* parent, FileDialogService& files, const QString& text,
                 const QStringList& inputs);
