#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// A longer line would freeze the word-wrapping text box; a year and a value need a few dozen.
inline constexpr qsizetype kMaxEditorLineLength = 4096;

// How the bytes of an edited file map to text, so that saving gives back what was read.
enum class TextEncoding {
    Utf8,
    Utf8WithBom,
    ShiftJis, // Windows code page 932, the system's narrow character set
    // Neither UTF-8 nor Shift-JIS: every byte stands for one character (Latin-1), so the file
    // still survives a save byte for byte.
    Bytes,
};

struct FileEncoding {
    TextEncoding kind = TextEncoding::ShiftJis;
    // Code page 932 has two codes for some characters (the NEC and IBM rows); the codes this
    // file used, where they are not the ones the encoder picks, so untouched text keeps them.
    QHash<char16_t, QByteArray> shiftJisCodes;
};

struct DecodedText {
    QString text;
    FileEncoding encoding;
};

// Plain ASCII and valid Shift-JIS that reads back to the same bytes are Shift-JIS; UTF-8 with or
// without one leading byte-order mark (a second one is text) is UTF-8; anything else is Bytes.
DecodedText DecodeEditorBytes(QByteArrayView bytes);

// Encodes in the file's encoding. Characters that Japanese input methods type and that code
// page 932 stores under another code point (the wave dash and its kin) are stored under that
// code. Throws DataError naming the first character the encoding cannot store and its line.
QByteArray EncodeEditorText(const QString& text, const FileEncoding& encoding);

// The name of an encoding in messages.
QString EncodingName(TextEncoding encoding);

// The lines of a text. A line ends at CR, CR LF or LF and at nothing else; the end test comes
// before each line, so a final line end adds no empty line and an unterminated last line is
// still a line.
QStringList SplitEditorLines(QStringView text);

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
