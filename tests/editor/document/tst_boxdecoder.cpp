// Opening decodes a file's bytes straight to the edit box's UTF-8 in one
// pass. Whatever the bytes, in one piece or in several, the result must be
// exactly what decoding to text, making every break CR LF and converting
// that to the box's UTF-8 gives: the same text, the same kept bytes, the same
// count of breaks, the same verdict on binary files and on UTF-8.

#include "common/textcodec.h"
#include "common/textfile.h"
#include "editor/document/boxdecoder.h"

#include <QRandomGenerator>
#include <QTest>

using namespace tw;

Q_DECLARE_METATYPE(tw::TextEncoding)

namespace {

struct Decoded {
    QByteArray utf8;
    QList<QPair<qsizetype, int>> marks;
    qsizetype crLf = 0, lf = 0, cr = 0;
    bool binary = false;

    friend bool operator==(const Decoded&, const Decoded&) = default;
};

char* toString(const Decoded& d)
{
    QByteArray s = "utf8=" + d.utf8.toHex(' ') + " marks=";
    for (const auto& m : d.marks)
        s += QByteArray::number(m.first) + ":" + QByteArray::number(m.second, 16) + " ";
    s += " breaks=" + QByteArray::number(d.crLf) + "/" + QByteArray::number(d.lf) + "/" + QByteArray::number(d.cr);
    s += d.binary ? " binary" : "";
    return qstrdup(s.constData());
}

// The way the whole file has always been read: decoded to text, breaks
// made CR LF, then converted to the box's UTF-8.
Decoded throughText(const QByteArray& bytes, TextEncoding enc)
{
    Decoded d;
    LineEndCount count;
    const QString text = normaliseLineBreaks(decodeText(bytes, enc), &count);
    std::vector<CharMark> marks;
    d.utf8 = boxUtf8(text, marks);
    for (const CharMark& m : marks)
        d.marks.append({m.at, int(m.unit)});
    d.crLf = count.crLf;
    d.lf = count.lf;
    d.cr = count.cr;
    d.binary = looksLikeBinary(bytes);
    return d;
}

// The one pass, the bytes given in pieces that end at the cuts.
Decoded inOnePass(const QByteArray& bytes, TextEncoding enc, QList<qsizetype> cuts = {})
{
    BoxDecoder decoder(enc);
    Decoded d;
    cuts.append(bytes.size());
    qsizetype from = 0;
    for (const qsizetype cut : cuts) {
        QByteArray out("stale");  // what the caller had in the buffer stays in front
        std::vector<CharMark> marks;
        decoder.decode(QByteArrayView(bytes).sliced(from, cut - from), out, marks);
        for (const CharMark& m : marks)
            d.marks.append({d.utf8.size() + m.at, int(m.unit)});
        d.utf8 += out.mid(5);
        from = cut;
    }
    d.crLf = decoder.breaks().crLf;
    d.lf = decoder.breaks().lf;
    d.cr = decoder.breaks().cr;
    d.binary = decoder.looksBinary();
    return d;
}

// Where a piece may end: after a byte below 0x40 (a character of its own in
// both encodings), or between the CR and the LF of a break.
QList<qsizetype> pieceEnds(const QByteArray& bytes, QRandomGenerator& random)
{
    QList<qsizetype> cuts;
    for (qsizetype i = 0; i + 1 < bytes.size(); ++i) {
        if (uchar(bytes[i]) < 0x40 && random.bounded(3) == 0)
            cuts.append(i + 1);
    }
    return cuts;
}

}  // namespace

class TestBoxDecoder : public QObject {
    Q_OBJECT
private slots:
    void sameAsThroughText_data();
    void sameAsThroughText();
    void everyCp932PairAsTheConverterReadsIt();
    void randomBytesInRandomPieces();
    void utf8VerdictAsDetection_data();
    void utf8VerdictAsDetection();
};

void TestBoxDecoder::sameAsThroughText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<QList<qsizetype>>("cuts");
    const auto cp932 = TextEncoding::Cp932;
    const auto utf8 = TextEncoding::Utf8;
    const auto bom = TextEncoding::Utf8Bom;
    const QList<qsizetype> whole;
    QTest::newRow("CP932 kanji and half-width kana")
        << QByteArray("\x93\xfa\x96\x7b\x8c\xea \xb1\xb2\xb3\xdf\r\n\x83\x5c\x83\x74\x83\x67") << cp932 << whole;
    QTest::newRow("CP932 bytes it cannot read") << QByteArray("\x80\xa0\xfd\xfe\xff a\x85\x40 \x81") << cp932 << whole;
    QTest::newRow("CP932 lead byte before a break") << QByteArray("\x82\r\n\x82\n\x82\r") << cp932 << whole;
    QTest::newRow("CP932 lead byte before ASCII") << QByteArray("\x81\x39\x81 x\x9f\x7f") << cp932 << whole;
    QTest::newRow("CP932 yen and overline bytes") << QByteArray("\\~\x5c\x7e") << cp932 << whole;
    QTest::newRow("UTF-8 BOM taken off") << QByteArray("\xEF\xBB\xBF<p>\xE3\x81\x82</p>\r\n") << bom << whole;
    QTest::newRow("UTF-8 BOM only at the start") << QByteArray(
        "\xEF\xBB\xBF"
        "a\xEF\xBB\xBF") << bom << QList<qsizetype>{4};
    QTest::newRow("BOM inside UTF-8 text stays") << QByteArray(
        "a\xEF\xBB\xBF"
        "b") << utf8 << whole;
    QTest::newRow("BOM after a kept byte stays") << QByteArray(
        "\xFF\xEF\xBB\xBF\xEF\xBB\xBF"
        "b") << utf8 << whole;
    QTest::newRow("mixed CR, LF and CR LF") << QByteArray("a\rb\nc\r\nd\n\re\r\r\nf\r") << utf8 << whole;
    QTest::newRow("mixed breaks in CP932") << QByteArray("\x82\xa0\r\x82\xa0\n\x82\xa0\r\n") << cp932 << whole;
    QTest::newRow("CR LF split between pieces")
        << QByteArray("ab\r\ncd\r\n\r\nef") << utf8 << QList<qsizetype>{3, 7, 8};
    QTest::newRow("CR at a piece's end, then no LF") << QByteArray("ab\rcd\r") << cp932 << QList<qsizetype>{3};
    QTest::newRow("LF alone after a piece") << QByteArray("ab\n\ncd") << utf8 << QList<qsizetype>{3};
    QTest::newRow("NUL makes it binary") << QByteArray("text\0more", 9) << utf8 << whole;
    QTest::newRow("control byte makes it binary") << QByteArray("a\x01z\x7f") << cp932 << whole;
    QTest::newRow("tab, form feed and escape are text") << QByteArray("a\tb\fc\x1b[0m") << utf8 << whole;
    QTest::newRow("invalid UTF-8 kept byte by byte")
        << QByteArray("\xC3\x28 \xE0\x80\x80 \xED\xA0\x80 \xF4\x90\x80\x80 \xFF \xC0\xAF \xE3\x81") << utf8 << whole;
    QTest::newRow("UTF-8 of every length")
        << QByteArray("a\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF") << utf8 << whole;
    QTest::newRow("special byte at each place of a word") << QByteArray(
        "0123456\n01234567\n\xE3\x81\x82"
        "0123456789abcde\r01234567890123456789\t") << utf8 << whole;
    QTest::newRow("empty") << QByteArray() << cp932 << whole;
}

void TestBoxDecoder::sameAsThroughText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TextEncoding, encoding);
    QFETCH(QList<qsizetype>, cuts);
    QCOMPARE(inOnePass(bytes, encoding, cuts), throughText(bytes, encoding));
}

void TestBoxDecoder::everyCp932PairAsTheConverterReadsIt()
{
    // Each pair of bytes, alone and with an ASCII byte after it, reads as
    // the converter reads it: a character, or the byte kept and the next
    // one read on its own.
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            QByteArray bytes;
            bytes.append(char(a)).append(char(b));
            QCOMPARE(inOnePass(bytes, TextEncoding::Cp932), throughText(bytes, TextEncoding::Cp932));
            bytes.append('x');
            QCOMPARE(inOnePass(bytes, TextEncoding::Cp932), throughText(bytes, TextEncoding::Cp932));
        }
    }
}

void TestBoxDecoder::randomBytesInRandomPieces()
{
    // Bytes that mean something in either encoding, in any order.
    static const char kAlphabet[] =
        "\x00\x01\t\n\r\x1b a<~\\\x40\x7f\x80\x81\x82\x9f\xa0\xa1\xb1\xc2\xc3\xdf"
        "\xe0\xe3\xed\xef\xbb\xbf\xf0\xf4\x8f\x90\x98\xfc\xfd\xff";
    const QByteArray alphabet(kAlphabet, sizeof kAlphabet - 1);
    QRandomGenerator random(28);
    for (int round = 0; round < 20000; ++round) {
        QByteArray bytes;
        const int length = int(random.bounded(48));
        for (int i = 0; i < length; ++i)
            bytes.append(alphabet[random.bounded(alphabet.size())]);
        const QList<qsizetype> cuts = pieceEnds(bytes, random);
        for (const TextEncoding enc : {TextEncoding::Cp932, TextEncoding::Utf8, TextEncoding::Utf8Bom}) {
            const Decoded expected = throughText(bytes, enc);
            if (inOnePass(bytes, enc, cuts) != expected) {
                QStringList ends;
                for (const qsizetype cut : cuts)
                    ends << QString::number(cut);
                QFAIL(qPrintable(QStringLiteral("bytes %1, encoding %2, pieces ending at %3")
                                     .arg(QString::fromLatin1(bytes.toHex(' ')))
                                     .arg(int(enc))
                                     .arg(ends.join(QLatin1Char(' ')))));
            }
        }
    }
}

void TestBoxDecoder::utf8VerdictAsDetection_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("Japanese UTF-8") << QByteArray("<p>\xE3\x81\x82\xE3\x81\x84</p>");
    QTest::newRow("accented Latin") << QByteArray("caf\xC3\xA9 cr\xC3\xA8me");
    QTest::newRow("half-width kana pairs in CP932") << QByteArray("\xC8\xBA\xC8\xBA");
    QTest::newRow("accents, then kana pairs") << QByteArray("caf\xC3\xA9 \xC8\xBA");
    QTest::newRow("ASCII only") << QByteArray("<p>plain</p>");
    QTest::newRow("CP932 kanji") << QByteArray("\x93\xfa\x96\x7b");
    QTest::newRow("UTF-8, then a byte that is none") << QByteArray("\xE3\x81\x82 \xFF");
}

void TestBoxDecoder::utf8VerdictAsDetection()
{
    QFETCH(QByteArray, bytes);
    BoxDecoder decoder(TextEncoding::Utf8);
    QByteArray out;
    std::vector<CharMark> marks;
    decoder.decode(bytes, out, marks);
    QCOMPARE(decoder.utf8Verdict(), detectDocumentEncoding(bytes));
}

QTEST_APPLESS_MAIN(TestBoxDecoder)
#include "tst_boxdecoder.moc"
