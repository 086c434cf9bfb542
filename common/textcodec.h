#pragma once
// Text encodings of the suite's files: CP932 (the settings files and most
// documents) and UTF-8. Reading detects UTF-8; everything else is CP932.

#include <QByteArray>
#include <QString>

namespace tw {

enum class TextEncoding { Cp932, Utf8, Utf8Bom };

// Bytes of CP932 that do not decode are kept as lone surrogates U+DC80..U+DCFF
// (one per byte), so that encoding the text again gives the same bytes back.
QString decodeCp932(const QByteArray& bytes);

struct EncodeResult {
    bool ok = true;
    QByteArray bytes;
    qsizetype badIndex = -1;  // index into the text of the first character that cannot be held
    QString badChar;          // that character (a whole surrogate pair where it is one)
};

// Encodes without ever dropping or replacing a character: a character the
// encoding cannot hold makes the result fail and names it.
EncodeResult encodeCp932(const QString& text);
EncodeResult encodeText(const QString& text, TextEncoding enc);

// Valid UTF-8 (with or without BOM) reads as UTF-8, anything else as CP932.
// Pure ASCII counts as CP932.
TextEncoding detectEncoding(const QByteArray& bytes);
QString decodeText(const QByteArray& bytes, TextEncoding enc);
QString decodeAuto(const QByteArray& bytes, TextEncoding* detected = nullptr);

// Human-readable description of a character for messages: the character and
// its code point, e.g. "😀 (U+1F600)".
QString describeChar(const QString& ch);

}  // namespace tw
