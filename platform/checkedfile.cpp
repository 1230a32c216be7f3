#include "platform/checkedfile.h"

#include "analysis/dataerror.h"

#include <QSaveFile>

// First version: QSaveFile with its commit checked. To be hardened (deferred writes, fsync,
// Japanese reasons, mode and owner).
void WriteFileAllOrNothing(const QString& path, QByteArrayView bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), bytes.size()) != bytes.size() || !file.commit())
        throw DataError(QStringLiteral("ファイル %1 に書き込めませんでした。").arg(path));
}
