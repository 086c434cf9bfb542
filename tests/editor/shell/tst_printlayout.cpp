// The print layout over plain numbers: text rectangles, where the title and
// the page numbers go, the page loop, and the page-setup values.

#include "editor/shell/printlayout.h"

#include <QTest>

using namespace tw;

Q_DECLARE_METATYPE(tw::TwipsRect)
Q_DECLARE_METATYPE(tw::PrintSettings)
Q_DECLARE_METATYPE(tw::PrinterMetrics)
Q_DECLARE_METATYPE(tw::PageSettingTexts)

namespace {
// A4 in twips with a printable area 300 twips in from the left and 200 from the top.
PrinterMetrics a4(int offsetX = 300, int offsetY = 200)
{
    return {.width = 11906,
            .height = 16838,
            .innerWidth = 11906 - 2 * offsetX,
            .innerHeight = 16838 - 2 * offsetY,
            .offsetX = offsetX,
            .offsetY = offsetY,
            .fontPoints = 9};
}
PrintSettings margins(int left, int top, int right, int bottom)
{
    PrintSettings s;
    s.LeftMargin = std::int16_t(left);
    s.TopMargin = std::int16_t(top);
    s.RightMargin = std::int16_t(right);
    s.BottomMargin = std::int16_t(bottom);
    return s;
}

// Takes a fixed number of characters a page and records what it was told.
struct FakeTarget : PrintTarget {
    qsizetype perPage = 100;
    QStringList log;
    void printText(const Decoration& d) override
    {
        log << QStringLiteral("text %1,%2 %3pt '%4'").arg(d.x).arg(d.y).arg(d.points).arg(d.text);
    }
    qsizetype renderBand(qsizetype from, const TwipsRect&, const TwipsRect&) override
    {
        log << QStringLiteral("band %1").arg(from);
        return from + perPage;
    }
    void newPage() override { log << QStringLiteral("page"); }
};
}  // namespace

class TestPrintLayout : public QObject {
    Q_OBJECT
private slots:
    void preset();
    void rectangles_data();
    void rectangles();
    void decorations();
    void pageLoop_data();
    void pageLoop();
    void pageSetting_data();
    void pageSetting();
};

void TestPrintLayout::preset()
{
    const PrintSettings s = presetPrintSettings(10.5);
    QCOMPARE(s.TitleFontSize, 11);
    QCOMPARE(s.PageNumberFontSize, 11);
    QCOMPARE(s.PrintTitle, 1);
    QCOMPARE(s.PrintPageNumber, 1);
    QCOMPARE(s.LeftMargin + s.TopMargin + s.RightMargin + s.BottomMargin, 40);
}

void TestPrintLayout::rectangles_data()
{
    QTest::addColumn<PrintSettings>("settings");
    QTest::addColumn<PrinterMetrics>("printer");
    QTest::addColumn<TwipsRect>("text");
    QTest::newRow("10 mm, offsets taken off")
        << margins(10, 10, 10, 10) << a4() << TwipsRect{270, 370, 11906 - 570 - 300, 16838 - 570 - 200};
    QTest::newRow("no offsets") << margins(10, 20, 30, 40) << a4(0, 0)
                                << TwipsRect{570, 1140, 11906 - 1710, 16838 - 2280};
    // The printable edge, not the sheet's edge the printer cannot reach.
    QTest::newRow("margins of 0") << margins(0, 0, 0, 0) << a4() << TwipsRect{0, 0, 11906 - 600, 16838 - 400};
    QTest::newRow("negative margins") << margins(-5, -5, -5, -5) << a4() << TwipsRect{0, 0, 11906 - 600, 16838 - 400};
}

void TestPrintLayout::rectangles()
{
    QFETCH(PrintSettings, settings);
    QFETCH(PrinterMetrics, printer);
    QFETCH(TwipsRect, text);
    QCOMPARE(textRectangle(settings, printer), text);
    QCOMPARE(pageRectangle(printer), (TwipsRect{0, 0, printer.innerWidth, printer.innerHeight}));
}

void TestPrintLayout::decorations()
{
    PrintSettings s = margins(10, 10, 10, 10);
    s.TitleFontSize = 14;
    s.PageNumberFontSize = 12;
    const PrinterMetrics p = a4();
    const TwipsRect text = textRectangle(s, p);
    PageDecorations one = pageDecorations(s, p, 1, QStringLiteral("Tagwright - a.html"));
    QCOMPARE(*one.title, (Decoration{100, 100, 14, QStringLiteral("Tagwright - a.html")}));
    // Page 1: below by twice the title's size; later pages: at the text's bottom.
    QCOMPARE(*one.number, (Decoration{p.innerWidth / 2, p.innerHeight - 2 * 14 * 20, 12, QStringLiteral(" 1")}));
    const PageDecorations two = pageDecorations(s, p, 2, QStringLiteral("t"));
    QCOMPARE(*two.title, (Decoration{100, 100, 14, QStringLiteral("t")}));
    QCOMPARE(*two.number, (Decoration{text.right / 2, text.bottom, 12, QStringLiteral(" 2")}));

    // Without a title the printer's own size counts on page 1.
    s.PrintTitle = 0;
    one = pageDecorations(s, p, 1, QStringLiteral("t"));
    QVERIFY(!one.title);
    QCOMPARE(one.number->y, p.innerHeight - 2 * 9 * 20);
    s.PrintPageNumber = 0;
    QVERIFY(!pageDecorations(s, p, 3, QStringLiteral("t")).number);

    // A number at the sheet's very bottom is lifted so it is not cut.
    s = margins(0, 0, 0, 0);
    s.PageNumberFontSize = 40;
    const Decoration low = *pageDecorations(s, p, 2, QString()).number;
    QCOMPARE(low.y, p.innerHeight - 40 * 20 * 5 / 4);
}

void TestPrintLayout::pageLoop_data()
{
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<qsizetype>("perPage");
    QTest::addColumn<int>("pages");
    QTest::newRow("empty text") << qsizetype(0) << qsizetype(100) << 1;
    QTest::newRow("short") << qsizetype(99) << qsizetype(100) << 1;
    QTest::newRow("exactly one page") << qsizetype(100) << qsizetype(100) << 1;
    QTest::newRow("one more character") << qsizetype(101) << qsizetype(100) << 2;
    QTest::newRow("long") << qsizetype(1000) << qsizetype(100) << 10;
    QTest::newRow("a band that takes nothing ends") << qsizetype(500) << qsizetype(0) << 1;
}

void TestPrintLayout::pageLoop()
{
    QFETCH(qsizetype, length);
    QFETCH(qsizetype, perPage);
    QFETCH(int, pages);
    FakeTarget target;
    target.perPage = perPage;
    PrintSettings s;
    s.TitleFontSize = 11;
    const PrintOutcome r = printPages(s, a4(0, 0), QStringLiteral("T"), length, target);
    QVERIFY(r.error.isEmpty());
    QCOMPARE(r.pages, pages);
    QCOMPARE(target.log.count(QStringLiteral("page")), pages - 1);
    // Each page: title, number, band, in that order.
    for (int n = 1; n <= pages; ++n) {
        const qsizetype at = (n - 1) * 4;
        const PageDecorations d = pageDecorations(s, a4(0, 0), n, QStringLiteral("T"));
        QCOMPARE(target.log[at], QStringLiteral("text 100,100 11pt 'T'"));
        QCOMPARE(target.log[at + 1], QStringLiteral("text %1,%2 10pt ' %3'").arg(d.number->x).arg(d.number->y).arg(n));
        QCOMPARE(target.log[at + 2], QStringLiteral("band %1").arg((n - 1) * perPage));
    }

    FakeTarget none;
    const PrintOutcome full = printPages(margins(200, 10, 200, 10), a4(), QString(), length, none);
    QVERIFY(full.error.contains(QStringLiteral("余白が大きすぎる")));
    QVERIFY(none.log.isEmpty());
}

void TestPrintLayout::pageSetting_data()
{
    QTest::addColumn<PageSettingTexts>("texts");
    QTest::addColumn<int>("field");  // PageSettingField; None: taken
    auto t = [](QString left, QString title = QStringLiteral("12"), bool titleOn = true) {
        return PageSettingTexts{title,
                                QStringLiteral("8"),
                                titleOn,
                                false,
                                QStringLiteral("20"),
                                left,
                                QStringLiteral("-32768"),
                                QStringLiteral("32767")};
    };
    QTest::newRow("numbers") << t(QStringLiteral("5")) << int(PageSettingField::None);
    QTest::newRow("letters") << t(QStringLiteral("abc")) << int(PageSettingField::LeftMargin);
    QTest::newRow("empty") << t(QString()) << int(PageSettingField::LeftMargin);
    QTest::newRow("too large") << t(QStringLiteral("32768")) << int(PageSettingField::LeftMargin);
    QTest::newRow("too small") << t(QStringLiteral("-32769")) << int(PageSettingField::LeftMargin);
    QTest::newRow("title size 0") << t(QStringLiteral("5"), QStringLiteral("0"))
                                  << int(PageSettingField::TitleFontSize);
    QTest::newRow("greyed size keeps its value")
        << t(QStringLiteral("5"), QStringLiteral("x"), false) << int(PageSettingField::None);
}

void TestPrintLayout::pageSetting()
{
    QFETCH(PageSettingTexts, texts);
    QFETCH(int, field);
    const PrintSettings before;
    const PageSettingOutcome r = takePageSettingTexts(texts, before);
    QCOMPARE(int(r.field), field);
    QCOMPARE(r.settings.has_value(), field == int(PageSettingField::None));
    QCOMPARE(r.message.isEmpty(), r.settings.has_value());
    if (!r.settings)
        return;
    const PrintSettings& s = *r.settings;
    QCOMPARE(s.TitleFontSize, texts.title ? 12 : before.TitleFontSize);
    QCOMPARE(s.PrintTitle, texts.title ? 1 : 0);
    QCOMPARE(s.PageNumberFontSize, 8);
    QCOMPARE(s.PrintPageNumber, 0);
    QCOMPARE(s.RightMargin, 20);
    QCOMPARE(s.LeftMargin, 5);
    QCOMPARE(s.TopMargin, -32768);
    QCOMPARE(s.BottomMargin, 32767);
    // What the dialog shows is what it takes back.
    QCOMPARE(takePageSettingTexts(pageSettingTexts(s), before).settings->LeftMargin, 5);
}

QTEST_GUILESS_MAIN(TestPrintLayout)
#include "tst_printlayout.moc"
