#include "editor/settings/editorsettings.h"
#include "editor/shell/layout.h"

#include <QTest>

#include <cmath>

using namespace tw;

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void linkFileBox_data();
    void linkFileBox();
    void fontTag_data();
    void fontTag();
    void placement_data();
    void placement();
};

void TestLayout::linkFileBox_data()
{
    QTest::addColumn<double>("inner");
    QTest::addColumn<int>("width");
    QTest::newRow("narrow window fills the row") << 9000.0 << 9000 - 3000 - 400;
    QTest::newRow("just below the limit") << 11054.0 << 11054 - 3000 - 400;
    QTest::newRow("wide window keeps 5100") << 15000.0 << 5100;
    QTest::newRow("at the limit") << 11055.0 << 5100;
}

void TestLayout::linkFileBox()
{
    QFETCH(double, inner);
    QFETCH(int, width);
    QCOMPARE(linkFileBoxWidthTwips(inner, 3000, 400), width);
}

void TestLayout::fontTag_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("colour");
    QTest::addColumn<QString>("result");
    QTest::newRow("size and colour") << "3"
                                     << "red"
                                     << "<font size=\"3\" color=\"red\">text</font>";
    QTest::newRow("size only") << "3"
                               << "なし"
                               << "<font size=\"3\">text</font>";
    QTest::newRow("colour only") << "なし"
                                 << "#FF0000"
                                 << "<font color=\"#FF0000\">text</font>";
    QTest::newRow("typed size") << "+2"
                                << "なし"
                                << "<font size=\"+2\">text</font>";
    QTest::newRow("neither") << "なし"
                             << "なし"
                             << "";
}

void TestLayout::fontTag()
{
    QFETCH(QString, size);
    QFETCH(QString, colour);
    QFETCH(QString, result);
    QCOMPARE(fontTagText(size, colour, QStringLiteral("text")), result);
}

void TestLayout::placement_data()
{
    using P = std::optional<double>;
    QTest::addColumn<P>("width");
    QTest::addColumn<P>("height");
    QTest::addColumn<P>("left");
    QTest::addColumn<P>("top");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("expected");
    const QRect screen(0, 0, 1600, 1000);
    // 15 twips a pixel; the window starts at 1000 x 700 in the corner.
    QTest::newRow("first start: centred, 3/4 of the screen")
        << P() << P() << P() << P() << screen << QRect(200, 125, 1200, 750);
    QTest::newRow("first start, small screen: 1000 x 700 where it fits")
        << P() << P() << P() << P() << QRect(0, 0, 1024, 768) << QRect(12, 34, 1000, 700);
    QTest::newRow("first start, tiny screen: the whole screen")
        << P() << P() << P() << P() << QRect(0, 24, 800, 576) << QRect(0, 24, 800, 576);
    QTest::newRow("stored size, no position: centred")
        << P(9000) << P(6000) << P() << P() << screen << QRect(500, 300, 600, 400);
    QTest::newRow("stored placement kept")
        << P(9000) << P(6000) << P(1500) << P(3000) << screen << QRect(100, 200, 600, 400);
    QTest::newRow("off screen: pulled back, no larger than the screen")
        << P(90000) << P(6000) << P(-90000) << P(90000) << screen << QRect(0, 600, 1600, 400);
    QTest::newRow("not a number: the current size, centred")
        << P(std::nan("")) << P(6000) << P() << P() << screen << QRect(300, 300, 1000, 400);
}

void TestLayout::placement()
{
    using P = std::optional<double>;
    QFETCH(P, width);
    QFETCH(P, height);
    QFETCH(P, left);
    QFETCH(P, top);
    QFETCH(QRect, available);
    QFETCH(QRect, expected);
    WindowPlacement stored{width, height, left, top};
    QCOMPARE(clampPlacement(stored, available, QRect(0, 0, 1000, 700), 15.0), expected);
}

QTEST_APPLESS_MAIN(TestLayout)
#include "tst_layout.moc"
