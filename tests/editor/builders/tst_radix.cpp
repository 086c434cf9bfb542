#include "editor/builders/radix.h"

#include <QTest>

#include <limits>

using namespace tw;

class TestRadix : public QObject {
    Q_OBJECT
private slots:
    void convertRadix_data();
    void convertRadix();
    void digitValue_data();
    void digitValue();
    void digitChar_data();
    void digitChar();
    void toDecimal_data();
    void toDecimal();
    void fromDecimal_data();
    void fromDecimal();
    void everyColourComponentRoundTrips();
};

void TestRadix::convertRadix_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("ok");
    QTest::newRow("FF to decimal") << 16 << 10 << "FF"
                                   << "255" << true;
    QTest::newRow("10 to hex gets a leading 0") << 10 << 16 << "10"
                                                << "0A" << true;
    QTest::newRow("0 to hex") << 10 << 16 << "0"
                              << "00" << true;
    QTest::newRow("0A to decimal") << 16 << 10 << "0A"
                                   << "10" << true;
    QTest::newRow("lower-case digits") << 16 << 10 << "ff"
                                       << "255" << true;
    QTest::newRow("255 to hex") << 10 << 16 << "255"
                                << "FF" << true;
    QTest::newRow("one-digit decimal result") << 16 << 10 << "7"
                                              << "07" << true;
    QTest::newRow("binary") << 10 << 2 << "5"
                            << "101" << true;
    QTest::newRow("radix 36") << 10 << 36 << "35"
                              << "0Z" << true;
    QTest::newRow("empty text is 0") << 16 << 10 << ""
                                     << "00" << true;
    QTest::newRow("digit beyond the radix") << 16 << 10 << "G1"
                                            << "" << false;
    QTest::newRow("letter in decimal") << 10 << 16 << "1A"
                                       << "" << false;
    QTest::newRow("sign") << 10 << 16 << "-1"
                          << "" << false;
    QTest::newRow("space") << 16 << 10 << "F F"
                           << "" << false;
    QTest::newRow("radix 1 refused") << 1 << 10 << "1"
                                     << "" << false;
    QTest::newRow("target radix 37 refused") << 10 << 37 << "1"
                                             << "" << false;
    QTest::newRow("target radix 0 refused") << 10 << 0 << "1"
                                            << "" << false;
}

void TestRadix::convertRadix()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, text);
    QFETCH(QString, result);
    QFETCH(bool, ok);
    bool valid = !ok;
    QCOMPARE(ConvertRadix(from, to, text, &valid), result);
    QCOMPARE(valid, ok);
}

void TestRadix::digitValue_data()
{
    QTest::addColumn<QChar>("ch");
    QTest::addColumn<int>("value");
    QTest::newRow("0") << QChar(u'0') << 0;
    QTest::newRow("9") << QChar(u'9') << 9;
    QTest::newRow("A") << QChar(u'A') << 10;
    QTest::newRow("a") << QChar(u'a') << 10;
    QTest::newRow("Z") << QChar(u'Z') << 35;
    QTest::newRow("z") << QChar(u'z') << 35;
    QTest::newRow("@ just below A") << QChar(u'@') << -1;
    QTest::newRow("[ just above Z") << QChar(u'[') << -1;
    QTest::newRow("#") << QChar(u'#') << -1;
    QTest::newRow("long s is no S") << QChar(u'\u017F') << -1;
    QTest::newRow("full-width A") << QChar(u'\uFF21') << -1;
}

void TestRadix::digitValue()
{
    QFETCH(QChar, ch);
    QFETCH(int, value);
    QCOMPARE(DigitValue(ch), value);
}

void TestRadix::digitChar_data()
{
    QTest::addColumn<int>("digit");
    QTest::addColumn<QChar>("ch");
    QTest::newRow("0") << 0 << QChar(u'0');
    QTest::newRow("9") << 9 << QChar(u'9');
    QTest::newRow("10") << 10 << QChar(u'A');
    QTest::newRow("35") << 35 << QChar(u'Z');
    QTest::newRow("36") << 36 << QChar();
    QTest::newRow("-1") << -1 << QChar();
}

void TestRadix::digitChar()
{
    QFETCH(int, digit);
    QFETCH(QChar, ch);
    QCOMPARE(DigitChar(digit), ch);
}

void TestRadix::toDecimal_data()
{
    QTest::addColumn<int>("radix");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<bool>("ok");
    QTest::newRow("hex") << 16 << "1f" << qint64(31) << true;
    QTest::newRow("octal") << 8 << "777" << qint64(511) << true;
    QTest::newRow("largest") << 16 << "7FFFFFFFFFFFFFFF" << std::numeric_limits<qint64>::max() << true;
    QTest::newRow("one beyond the largest") << 16 << "8000000000000000" << qint64(0) << false;
    QTest::newRow("long text") << 10 << QString(40, QLatin1Char('9')) << qint64(0) << false;
    QTest::newRow("leading zeros") << 10 << QString(40, QLatin1Char('0')) + "12" << qint64(12) << true;
    QTest::newRow("non-ASCII digit") << 10 << QString::fromUtf8("１") << qint64(0) << false;
}

void TestRadix::toDecimal()
{
    QFETCH(int, radix);
    QFETCH(QString, text);
    QFETCH(qint64, value);
    QFETCH(bool, ok);
    bool valid = !ok;
    QCOMPARE(ToDecimal(radix, text, &valid), value);
    QCOMPARE(valid, ok);
}

void TestRadix::fromDecimal_data()
{
    QTest::addColumn<int>("radix");
    QTest::addColumn<qint64>("n");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 16 << qint64(0) << "0";
    QTest::newRow("255") << 16 << qint64(255) << "FF";
    QTest::newRow("256") << 16 << qint64(256) << "100";
    QTest::newRow("binary") << 2 << qint64(10) << "1010";
    QTest::newRow("radix 36") << 36 << qint64(36 * 36 - 1) << "ZZ";
    QTest::newRow("negative") << 16 << qint64(-255) << "-FF";
    QTest::newRow("most negative") << 16 << std::numeric_limits<qint64>::min() << "-8000000000000000";
    QTest::newRow("largest") << 16 << std::numeric_limits<qint64>::max() << "7FFFFFFFFFFFFFFF";
    QTest::newRow("radix 1 gives nothing") << 1 << qint64(5) << "";
    QTest::newRow("radix 0 gives nothing") << 0 << qint64(5) << "";
}

void TestRadix::fromDecimal()
{
    QFETCH(int, radix);
    QFETCH(qint64, n);
    QFETCH(QString, text);
    QCOMPARE(FromDecimal(radix, n), text);
}

// The gradation builder turns each two-digit component to decimal and back.
void TestRadix::everyColourComponentRoundTrips()
{
    for (int v = 0; v < 256; ++v) {
        const QString hex = QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
        const QString dec = ConvertRadix(16, 10, hex);
        QCOMPARE(dec.toInt(), v);
        QCOMPARE(ConvertRadix(10, 16, dec), hex);
    }
}

QTEST_GUILESS_MAIN(TestRadix)
#include "tst_radix.moc"
