// The editor's file text: whatever the bytes, they decode, and saving in the encoding they were
// read in gives them back.

#include "statistics/dataerror.h"
#include "editor/editorfile.h"
#include "fuzzcheck.h"

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The first Shift-JIS conversion opens a converter that lives for the run; opening it here
    // keeps it out of the first input's leak check.
    const DecodedText kana = DecodeEditorBytes("\x82\xa0");
    EncodeEditorText(kana.text, kana.encoding);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    DecodedText decoded;
    MustNotThrow("DecodeEditorBytes", [&] { decoded = DecodeEditorBytes(bytes); });

    QByteArray encoded;
    if (CatchOnly<DataError>("EncodeEditorText",
                             [&] { encoded = EncodeEditorText(decoded.text, decoded.encoding); })) {
        Require(encoded == bytes, "saving does not give back the bytes read",
                QStringLiteral("encoding %1, read %2, saved %3")
                    .arg(EncodingName(decoded.encoding.kind))
                    .arg(QString::fromLatin1(bytes.toHex(' ')),
                         QString::fromLatin1(encoded.toHex(' '))));
    }

    const QStringList lines = SplitEditorLines(decoded.text);
    QString joined;
    for (const QString& line : lines) {
        Require(!line.contains(u'\r') && !line.contains(u'\n'), "a line holds a line end");
        joined += line;
    }
    QString expected = decoded.text;
    expected.remove(u'\r').remove(u'\n');
    Require(joined == expected, "splitting lost or added characters");
    return 0;
}
