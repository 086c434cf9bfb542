#include "common/textcodec.h"

#include <QTest>

using namespace tw;

Q_DECLARE_METATYPE(tw::TextEncoding)

static QString u16(std::initializer_list<char16_t> units)
{
    return QString(reinterpret_cast<const QChar*>(units.begin()), qsizetype(units.size()));
}

static QByteArray hex(const char* h)
{
    return QByteArray::fromHex(h);
}

class TestTextCodec : public QObject {
    Q_OBJECT

private slots:
    // bytes read as text; text is written as "written" (the same bytes unless
    // CP932 has a preferred second code); "jisForm" is written the same way.
    void cp932_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QString>("jisForm");
        QTest::newRow("ascii") << QByteArray("<p>\\~") << QString("<p>\\~") << QByteArray("<p>\\~") << QString();
        QTest::newRow("81 60 reads as U+FF5E") << hex("8160") << u16({0xFF5E}) << hex("8160") << u16({0x301C});
        QTest::newRow("minus") << hex("817c") << u16({0xFF0D}) << hex("817c") << u16({0x2212});
        QTest::newRow("em dash") << hex("815c") << u16({0x2015}) << hex("815c") << u16({0x2014});
        QTest::newRow("① 髙 﨑 ｱｲｳ") << hex("8740fbfcfab1b1b2b3") << QString("①髙﨑ｱｲｳ") << hex("8740fbfcfab1b1b2b3")
                                     << QString();
        QTest::newRow("user area") << hex("f040f9fc") << u16({0xE000, 0xE757}) << hex("f040f9fc") << QString();
        QTest::newRow("bad bytes kept") << hex("4180a0fdfeff") << u16({'A', 0xDC80, 0xDCA0, 0xDCFD, 0xDCFE, 0xDCFF})
                                        << hex("4180a0fdfeff") << QString();
        QTest::newRow("cut-off lead byte") << hex("4181") << u16({'A', 0xDC81}) << hex("4181") << QString();
        QTest::newRow("lead byte, break") << hex("810a") << u16({0xDC81, '\n'}) << hex("810a") << QString();
        QTest::newRow("unmapped pair") << hex("858160") << u16({0xDC85, 0xFF5E}) << hex("858160") << QString();
        QTest::newRow("NEC ≒ is 81 E0") << hex("8790") << QString("≒") << hex("81e0") << QString();
        QTest::newRow("NEC-selected IBM") << hex("ed40") << QString("纊") << hex("fa5c") << QString();
    }
    void cp932()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QByteArray, written);
        QFETCH(QString, jisForm);
        QCOMPARE(decodeCp932(bytes), text);
        const EncodeResult r = encodeCp932(text);
        QVERIFY(r.ok);
        QCOMPARE(r.bytes, written);
        if (!jisForm.isEmpty())
            QCOMPARE(encodeCp932(jisForm).bytes, written);
    }

    // Nothing is dropped or replaced: the first character that cannot be
    // held fails the text and is named.
    void cannotEncode_data()
    {
        QTest::addColumn<TextEncoding>("enc");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("badIndex");
        QTest::addColumn<QString>("described");
        const auto cp = TextEncoding::Cp932;
        QTest::newRow("emoji") << cp << QString("ab😀c😀") << qsizetype(2) << QString("😀 (U+1F600)");
        QTest::newRow("e acute") << cp << QString("café") << qsizetype(3) << QString("é (U+00E9)");
        QTest::newRow("after 5000") << cp << QString("あ").repeated(5000).append(u'한') << qsizetype(5000)
                                    << QString("한 (U+D55C)");
        QTest::newRow("yen sign is no backslash") << cp << QString("\u00A51") << qsizetype(0) << QString("¥ (U+00A5)");
        QTest::newRow("overline is no tilde") << cp << QString("x\u203E") << qsizetype(1) << QString("‾ (U+203E)");
        QTest::newRow("byte order mark") << cp << u16({0xFEFF, 'a'}) << qsizetype(0) << QString("U+FEFF");
        QTest::newRow("lone high surrogate") << cp << u16({'a', 0xD83D, 'b'}) << qsizetype(1) << QString("U+D83D");
        QTest::newRow("not a kept byte") << cp << u16({0xDC80, 0xDC41}) << qsizetype(1) << QString("U+DC41");
        QTest::newRow("tab after kept byte")
            << TextEncoding::Utf8 << u16({'a', 0xDC81, '\t'}) << qsizetype(1) << QString("U+DC81");
        QTest::newRow("utf-8 bom, cut pair")
            << TextEncoding::Utf8Bom << u16({'a', 0xD83D}) << qsizetype(1) << QString("U+D83D");
    }
    void cannotEncode()
    {
        QFETCH(TextEncoding, enc);
        QFETCH(QString, text);
        QFETCH(qsizetype, badIndex);
        QFETCH(QString, described);
        const EncodeResult r = encodeText(text, enc);
        QVERIFY(!r.ok);
        QCOMPARE(r.badIndex, badIndex);
        QCOMPARE(describeChar(r.badChar), described);
        QVERIFY(r.bytes.isEmpty());
    }

    // The encoding a document is read in, the text read, and writing it back
    // in that encoding. Settings and data files are CP932 unless they carry
    // a BOM, whatever their bytes look like.
    void detect_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TextEncoding>("expected");
        QTest::addColumn<QString>("text");
        const QByteArray a(1001, 'a');
        const auto cp = TextEncoding::Cp932;
        const auto u8 = TextEncoding::Utf8;
        QTest::newRow("empty") << QByteArray() << cp << QString();
        QTest::newRow("ascii") << a << cp << QString(a);
        QTest::newRow("utf-8 after ascii") << a + "\xe6\x97\xa5" << u8 << QString(a + "日");
        QTest::newRow("U+10FFFF") << hex("f48fbfbf") << u8 << u16({0xDBFF, 0xDFFF});
        QTest::newRow("bom") << hex("efbbbff09f9880") << TextEncoding::Utf8Bom << QString("😀");
        QTest::newRow("cp932 kana") << hex("b1b2b3") << cp << QString("ｱｲｳ");
        QTest::newRow("overlong") << hex("c0af") << cp << u16({0xFF80, 0xFF6F});
        QTest::newRow("overlong 3") << hex("e080af") << cp << u16({0x70D9, 0xFF6F});
        QTest::newRow("overlong 4") << hex("f08282ac") << cp << u16({0xE041, 0x304E});
        QTest::newRow("あ, surrogate") << hex("e38182eda080") << cp << u16({0x7E3A, 0x308F, 0xDCA0, 0xDC80});
        QTest::newRow("above U+10FFFF") << hex("f4908080") << cp << u16({0xE33F, 0xDC80, 0xDC80});
        QTest::newRow("stray continuation") << a + "\x80" << cp << QString(a).append(QChar(0xDC80));
        QTest::newRow("cut off") << hex("e697a5e381") << cp << u16({0x8B4C, 0xFF65, 0x7E3A});
        // Half-width katakana pairs that are also valid two-byte UTF-8.
        const char* const kana[][2] = {{"c8ba", "ﾈｺ"}, {"d0bd", "ﾐｽ"}, {"d1bc", "ﾑｼ"},
                                       {"d0be", "ﾐｾ"}, {"ccb8", "ﾌｸ"}, {"caba", "ﾊｺ"}};
        for (const auto& k : kana) {
            const QString word = QString::fromUtf8(k[1]);
            QTest::addRow("%s alone", k[1]) << hex(k[0]) << cp << word;
            QTest::addRow("<p>%s</p>", k[1]) << "<p>" + hex(k[0]) + "</p>\r\n" << cp << "<p>" + word + "</p>\r\n";
            const QByteArray meta = "<meta charset=\"Shift_JIS\">";
            QTest::addRow("%s declared Shift_JIS", k[1]) << meta + hex(k[0]) << cp << QString(meta) + word;
        }
        QTest::newRow("utf-8 japanese") << QByteArray("<p>日本語</p>") << u8 << QString("<p>日本語</p>");
        QTest::newRow("utf-8 café") << QByteArray("caf\xc3\xa9 na\xc3\xafve") << u8 << QString("café naïve");
        QTest::newRow("utf-8 ß") << QByteArray(
            "Stra\xc3\x9f"
            "e") << u8 << QString("Straße");
        const QByteArray sjisMeta = "<META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html; charset=SHIFT_JIS\">";
        QTest::newRow("declared SHIFT_JIS, utf-8 bytes")
            << sjisMeta + "\xe6\x97\xa5" << cp << QString(sjisMeta) + u16({0x8B4C, 0xFF65});
        QTest::newRow("declared utf-8, kana pair")
            << QByteArray("<meta charset=utf-8>\xd0\xbd") << u8 << QString("<meta charset=utf-8>н");
        QTest::newRow("declared EUC-JP: bytes decide")
            << QByteArray("<meta charset=euc-jp>\xe6\x97\xa5") << u8 << QString("<meta charset=euc-jp>日");
        QTest::newRow("bom before a Shift_JIS meta")
            << "\xef\xbb\xbf" + sjisMeta << TextEncoding::Utf8Bom << QString(sjisMeta);
    }
    void detect()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(TextEncoding, expected);
        QFETCH(QString, text);
        QCOMPARE(detectDocumentEncoding(bytes), expected);
        QCOMPARE(decodeText(bytes, expected), text);
        QCOMPARE(encodeText(text, expected).bytes, bytes);
        const TextEncoding data = detectDataEncoding(bytes);
        QCOMPARE(data, expected == TextEncoding::Utf8Bom ? TextEncoding::Utf8Bom : TextEncoding::Cp932);
        // Whatever it is read as, the bytes come back unchanged.
        QCOMPARE(encodeText(decodeText(bytes, data), data).bytes, bytes);
    }

    void tenMegabytesRoundTrip()
    {
        // Its speed is the conversions bench's business; here the bytes must come back whole.
        const QByteArray bytes = hex("93fa967b8cea3c703e41420d0aff8182").repeated(640000);
        const EncodeResult r = encodeCp932(decodeCp932(bytes));
        QVERIFY(r.ok && r.bytes == bytes);
    }
};

QTEST_GUILESS_MAIN(TestTextCodec)
#include "tst_textcodec.moc"
