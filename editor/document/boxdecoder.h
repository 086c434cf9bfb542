#pragma once
// A document's bytes decoded straight to the edit box's UTF-8 in one pass:
// every line break made CR LF, a byte the encoding cannot read kept as U+FFFD
// with a mark carrying it, and on the way the breaks counted, the bytes that
// do not belong in a text file noticed and, for UTF-8, what is no UTF-8. The
// result is what boxUtf8(normaliseLineBreaks(decodeText(bytes))) gives.

#include "common/textfile.h"
#include "editor/document/editbuffer.h"

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

namespace tw {

class BoxDecoder {
public:
    // Utf8Bom: a BOM at the very start is no text.
    explicit BoxDecoder(TextEncoding encoding);

    // Appends the box UTF-8 of the next piece of the file to out, and the
    // marks of its kept bytes (offsets from where this piece's text starts
    // in out) to marks. A piece ends where a character ends; it may end
    // between the CR and the LF of a break.
    void decode(QByteArrayView piece, QByteArray& out, std::vector<CharMark>& marks);

    const LineEndCount& breaks() const { return m_breaks; }
    // NUL or control characters other than tab, line breaks, form feed and
    // escape (as looksLikeBinary tells of the bytes).
    bool looksBinary() const { return m_binary; }
    // UTF-8 only: what detectDocumentEncoding would tell of all the bytes
    // decoded, leaving a BOM and a declared charset aside.
    TextEncoding utf8Verdict() const;

private:
    char* decodeUtf8(const uchar* p, qsizetype n, char* o, char* base, std::vector<CharMark>& marks);
    char* decodeCp932(const uchar* p, qsizetype n, char* o, char* base, std::vector<CharMark>& marks);
    // A control byte at p[i] (below 0x20): writes what it becomes, returns
    // how many bytes it took.
    qsizetype control(const uchar* p, qsizetype n, qsizetype i, char*& o);
    // Whether the valid sequence tells UTF-8 from CP932, while nothing has yet.
    void judge(const uchar* seq, int len);

    TextEncoding m_encoding;
    bool m_atStart = true;
    bool m_afterCr = false;  // the piece before ended with a CR
    LineEndCount m_breaks;
    bool m_binary = false;
    bool m_invalid = false;  // some bytes were no UTF-8
    bool m_high = false;     // some bytes were 0x80 or above
    int m_plausible = -1;    // 1 or 0 once a sequence decided it
    bool m_sawTwoByte = false;
};

}  // namespace tw
