#pragma once
// Text encodings of the suite's files: CP932 (the settings files and most
// documents) and UTF-8. Reading detects UTF-8; everything else is CP932.

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace tw {

enum class TextEncoding { Cp932, Utf8, Utf8Bom };

// Bytes of CP932 that do not decode are kept as lone surrogates U+DC80..U+DCFF
// (one per byte), so that encoding the text again gives the same bytes back.
QString decodeCp932(const QByteArray& bytes);

// CP932 one character at a time, exactly as decodeCp932 reads it, for
// decoders that go byte by byte: which bytes start a pair, and the UTF-8 of
// every byte and pair the converter takes. An entry holds the UTF-8 bytes
// from its lowest byte up and their count in its top byte; 0 where the
// converter refuses the byte or pair (decodeCp932 keeps the byte then, and a
// refused pair's second byte is read again on its own).
class Cp932Chars {
public:
    static const Cp932Chars& instance();
    bool isLead(uchar b) const { return m_lead[b]; }
    quint32 single(uchar b) const { return m_single[b]; }
    quint32 pair(uchar lead, uchar trail) const { return m_pairs[size_t(lead) << 8 | trail]; }
    // Every byte below 0x80 is its own character.
    bool asciiIsItself() const { return m_asciiIsItself; }

private:
    Cp932Chars();
    bool m_lead[256] = {};
    quint32 m_single[256] = {};
    std::vector<quint32> m_pairs;
    bool m_asciiIsItself = true;
};

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

// The programs' own settings and data files are CP932 unless they start
// with a UTF-8 BOM.
TextEncoding detectDataEncoding(const QByteArray& bytes);

// Documents: a BOM first, then the charset the page declares in its first
// few kilobytes, then UTF-8 that is valid and also plausible as UTF-8 (short
// runs of CP932 half-width katakana form valid two-byte UTF-8, so those stay
// CP932). Anything else, pure ASCII included, is CP932.
TextEncoding detectDocumentEncoding(const QByteArray& bytes);

// The encoding a page declares (meta charset or content="...; charset=..."),
// if it names one of ours.
std::optional<TextEncoding> declaredEncoding(const QByteArray& bytes);

// Where a page's text declares its encoding: the charset name's place.
struct DeclaredCharset {
    TextEncoding encoding;
    qsizetype start = 0;
    qsizetype length = 0;
};
std::optional<DeclaredCharset> declaredCharset(const QString& text);

QString decodeText(const QByteArray& bytes, TextEncoding enc);

// UTF-8 as text, U+FEFF at the start included: QString::fromUtf8 takes it
// for a byte order mark and drops it.
QString textFromUtf8(QByteArrayView utf8);

// Tells from a document's bytes, given piece by piece, what
// detectDocumentEncoding tells of them all at once. A piece ends where a
// character ends (after a byte below 0x40, say); the first piece holds the
// first 4096 bytes where the file has them.
class DocumentEncodingSniffer {
public:
    void feed(QByteArrayView piece);
    TextEncoding verdict() const;
    // A BOM or a declared charset settled it in the first piece.
    bool settled() const { return m_settled.has_value(); }

private:
    bool m_started = false;
    std::optional<TextEncoding> m_settled;
    bool m_valid = true;
    bool m_high = false;
    int m_plausible = -1;  // 1 or 0 once a sequence decided it
    bool m_sawTwoByte = false;
};

// Human-readable description of a character for messages: the character and
// its code point, e.g. "😀 (U+1F600)".
QString describeChar(const QString& ch);

}  // namespace tw
