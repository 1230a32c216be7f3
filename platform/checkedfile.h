#pragma once

#include <QByteArrayView>
#include <QString>

// Replaces the file at path with bytes, all or nothing: the bytes go into a temporary file in
// the same folder, every write and the flush are checked, the data is synced to disk, and only
// then does the temporary file take the target's name. An existing file keeps its mode (and its
// owner where the process may). On any failure the previous file is left byte for byte, the
// temporary file is removed, and DataError names the file and the reason in Japanese.
void WriteFileAllOrNothing(const QString& path, QByteArrayView bytes);
