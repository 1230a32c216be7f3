#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>

// Text files in the encodings the program meets: the editor reads and writes them, the import
// reads them. How the bytes of a file map to text, so that saving gives back what was read.
enum class TextEncoding {
    Utf8,
    Utf8WithBom,
    ShiftJis, // Windows code page 932, the system's narrow character set
    // UTF-16 with its byte-order mark, as a spreadsheet's "Unicode テキスト" is written.
    Utf16LeWithBom,
    Utf16BeWithBom,
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

// UTF-16 with a leading byte-order mark (little- or big-endian) is UTF-16; plain ASCII and valid
// Shift-JIS that reads back to the same bytes are Shift-JIS; UTF-8 with or
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
