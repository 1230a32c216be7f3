#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The real executable and the PDF tools, for the tests that run the program end to end.

struct Run {
    int status = -1;
    QString out;
    QString err;
    QByteArray outBytes;
};

// The real executable, started in the folder that holds the deviate table.
inline Run Quorvel(const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(QStringLiteral(QUORVEL_BIN_DIR));
    process.start(QStringLiteral(QUORVEL_BIN_DIR "/quorvel"), arguments);
    if (!process.waitForFinished(30000))
        return {};
    const QByteArray out = process.readAllStandardOutput();
    return {process.exitCode(), QString::fromUtf8(out),
            QString::fromUtf8(process.readAllStandardError()), out};
}

// What a tool of the PDF utilities prints on standard output; empty when it cannot run.
inline QString ToolOutput(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline QString PdfText(const QString& path) {
    return ToolOutput(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
}
