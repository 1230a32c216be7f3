#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

// How the bytes of an edited file map to text, so that saving gives back what was read.
enum class TextEncoding {
    Utf8,
    Utf8WithBom,
    ShiftJis, // Windows code page 932
    // Neither UTF-8 nor Shift-JIS: every byte stands for one character, so the file still
    // survives a save byte for byte.
    Bytes,
};

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
};

// UTF-8 when the bytes are valid UTF-8, else Shift-JIS when they are valid there, else Bytes.
DecodedText DecodeEditorBytes(QByteArrayView bytes);

// Encodes in the given encoding; text that encoding cannot hold falls back to UTF-8, which
// can hold anything. Returns the encoding actually used.
TextEncoding EncodeEditorText(const QString& text, TextEncoding encoding, QByteArray& bytes);

// The lines of a text. A line ends at CR, CR LF or LF; the end test comes before each line, so
// a final line end adds no empty line and an unterminated last line is still a line.
QStringList SplitEditorLines(QStringView text);

// Text box contents to file text: every kind of line break becomes CR LF.
QString BoxTextToFileText(QStringView boxText);
// File text (CR LF between lines) to what the text box holds.
QString FileTextToBoxText(QStringView fileText);

struct EditorFile {
    QStringList lines;
    TextEncoding encoding = TextEncoding::Utf8;
};

// Reads a whole file. Throws DataError when it is missing, unreadable or far too large.
EditorFile ReadEditorFile(const QString& path);

// Replaces the file with the text through a temporary file in the same folder, so a failure
// leaves the old file whole. Throws DataError on failure. Returns the encoding written.
TextEncoding WriteEditorFile(const QString& path, const QString& text, TextEncoding encoding);
