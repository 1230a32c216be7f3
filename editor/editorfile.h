#pragma once

#include "formats/textencoding.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// A longer line would freeze the word-wrapping text box; a year and a value need a few dozen.
inline constexpr qsizetype kMaxEditorLineLength = 4096;

// The text box takes a few characters (U+2029 and two of Qt's internal markers) as paragraph
// ends. In a file they are text inside a line, so the box shows stand-ins that the file does
// not contain, and the save turns them back.
using BoxStandIns = QList<std::pair<char16_t, char32_t>>;

// File text (lines joined by CR LF) to what the text box is given.
QString FileTextToBoxText(QStringView fileText, BoxStandIns& standIns);
// The box's raw text (paragraphs joined by U+2029) to file text with CR LF between lines.
QString BoxTextToFileText(QStringView boxText, const BoxStandIns& standIns);

struct EditorFile {
    QStringList lines;
    FileEncoding encoding;
};

// Reads a whole regular file; devices and pipes are refused before they are opened for
// reading, so they never block. Throws DataError when the file is missing, unreadable, not a
// regular file or far too large.
EditorFile ReadEditorFile(const QString& path);

// Encodes the text and replaces the file with it, all or nothing. Throws DataError, writing
// nothing, when a character cannot be stored or the file cannot be written.
void WriteEditorFile(const QString& path, const QString& text, const FileEncoding& encoding);
