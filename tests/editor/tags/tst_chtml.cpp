#include "editor/tags/chtml.h"
#include "editor/document/editbuffer.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

using namespace tw;

namespace {

QString red(const QString& k)
{
    return QStringLiteral("<FONT color=\"red\"><B>") + k + QStringLiteral("</B></FONT>");
}
QString blue(const QString& k)
{
    return QStringLiteral("<FONT color=\"blue\"><B>") + k + QStringLiteral("</B></FONT>");
}
QString purple(const QString& k)
{
    return QStringLiteral("<FONT color=\"purple\"><B>") + k + QStringLiteral("</B></FONT>");
}
QString green(const QString& k)
{
    return QStringLiteral("<FONT color=\"green\"><B>") + k + QStringLiteral("</B></FONT>");
}

}  // namespace

class TestCHtml : public QObject {
    Q_OBJECT
private slots:
    void replaceAllText_data();
    void replaceAllText();
    void passTable_data();
    void passTable();
    void convert_data();
    void convert();
    void sameAsPassByPass_data();
    void sameAsPassByPass();
    void randomTextsSameAsPassByPass();
    void command_data();
    void command();
    void emptyDocumentGivesTenLinePage();
    void linearOnLargeInput_data();
    void linearOnLargeInput();
};

void TestCHtml::replaceAllText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("result");
    QTest::newRow("every occurrence") << "abab"
                                      << "ab"
                                      << "x"
                                      << "xx";
    QTest::newRow("replacement not searched again") << "aaa"
                                                    << "a"
                                                    << "aa"
                                                    << "aaaaaa";
    QTest::newRow("replacement contains find in the middle") << "ab ab"
                                                             << "ab"
                                                             << "xaby"
                                                             << "xaby xaby";
    QTest::newRow("non-overlapping from the left") << "aaaa"
                                                   << "aa"
                                                   << "b"
                                                   << "bb";
    QTest::newRow("odd overlap") << "aaa"
                                 << "aa"
                                 << "a"
                                 << "aa";
    QTest::newRow("case-sensitive") << "Xx"
                                    << "x"
                                    << "y"
                                    << "Xy";
    QTest::newRow("empty replacement deletes") << "a-b-c"
                                               << "-"
                                               << ""
                                               << "abc";
    QTest::newRow("empty find changes nothing") << "abc"
                                                << ""
                                                << "x"
                                                << "abc";
    QTest::newRow("find longer than text") << "ab"
                                           << "abc"
                                           << "x"
                                           << "ab";
    QTest::newRow("empty text") << ""
                                << "a"
                                << "b"
                                << "";
    QTest::newRow("no match") << "abc"
                              << "d"
                              << "e"
                              << "abc";
    QTest::newRow("surrogate pair") << QString::fromUtf8("😀a😀") << QString::fromUtf8("😀") << "b"
                                    << "bab";
}

void TestCHtml::replaceAllText()
{
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(QString, result);
    QCOMPARE(ReplaceAllText(text, find, replacement), result);
}

void TestCHtml::passTable_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::newRow("escape <") << 0 << "<"
                              << "&lt";
    QTest::newRow("escape >") << 1 << ">"
                              << "&gt";
    QTest::newRow("first bold") << 2 << "asm"
                                << "<b>asm</b>";
    QTest::newRow("last bold") << 15 << "NULL"
                               << "<b>NULL</b>";
    QTest::newRow("first purple") << 16 << "private" << purple("private");
    QTest::newRow("static_cast before static") << 21 << "static_cast" << purple("static_cast");
    QTest::newRow("last purple") << 28 << "static" << purple("static");
    QTest::newRow("first blue") << 29 << "__classid" << blue("__classid");
    QTest::newRow("last blue") << 56 << "while" << blue("while");
    QTest::newRow("comment open") << 57 << "/*"
                                  << "<FONT color=\"blue\">/*";
    QTest::newRow("comment close") << 58 << "*/"
                                   << "*/</FONT>";
    QTest::newRow("first red, space after markup") << 59 << "Char " << red("Char") + " ";
    QTest::newRow("last red") << 78 << "bool " << red("bool") + " ";
    QTest::newRow("first green") << 79 << "#define" << green("#define");
    QTest::newRow("green with space") << 82 << "#End If" << green("#End If");
    QTest::newRow("last green") << 90 << "#include" << green("#include");
    QTest::newRow("printf") << 91 << "printf("
                            << "printf(<FONT color=\"green\">";
    QTest::newRow("scanf") << 92 << "scanf("
                           << "scanf(<FONT color=\"green\">";
    QTest::newRow("closing before )") << 93 << "\")"
                                      << "\"</FONT>)";
    QTest::newRow("closing before ,") << 94 << "\","
                                      << "\"</FONT>,";
    QTest::newRow("closing before space comma") << 95 << "\" ,"
                                                << "\"</FONT> ,";
}

void TestCHtml::passTable()
{
    QFETCH(int, index);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    const QList<CHtmlPass>& passes = cToHtmlPasses();
    QCOMPARE(passes.size(), 96);
    QCOMPARE(passes.at(index).find, find);
    QCOMPARE(passes.at(index).replacement, replacement);
}

void TestCHtml::convert_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("result");
    QTest::newRow("< without semicolon") << "a<b"
                                         << "a&ltb";
    QTest::newRow("> without semicolon") << "x>y"
                                         << "x&gty";
    QTest::newRow("& not escaped") << "&lt;"
                                   << "&lt;";
    QTest::newRow("int with space") << "int x;" << red("int") + " x;";
    QTest::newRow("int without space") << "int*p"
                                       << "int*p";
    QTest::newRow("do inside double") << "double d;" << blue("do") + "uble d;";
    QTest::newRow("comment") << "/* note */"
                             << "<FONT color=\"blue\">/* note */</FONT>";
    QTest::newRow("line comment untouched") << "// note"
                                            << "// note";
    QTest::newRow("printf format") << "printf(\"%d\", i);"
                                   << "printf(<FONT color=\"green\">\"%d\"</FONT>, i);";
    QTest::newRow("scanf format, space comma") << "scanf(\"%d\" ,&x)"
                                               << "scanf(<FONT color=\"green\">\"%d\"</FONT> ,&x)";
    QTest::newRow("stray closing") << "f(\"a\")"
                                   << "f(\"a\"</FONT>)";
    QTest::newRow("this inside thistle") << "thistle"
                                         << "<b>this</b>tle";
    QTest::newRow("for inside format") << "format" << blue("for") + "mat";
    QTest::newRow("static inside static_cast")
        << "static_cast" << QStringLiteral("<FONT color=\"purple\"><B>") + purple("static") + "_cast</B></FONT>";
    QTest::newRow("if inside #ifdef") << "#ifdef X"
                                      << "#" + blue("if") + "def X";
    QTest::newRow("#define") << "#define N 1" << green("#define") + " N 1";
    QTest::newRow("#include with escaped name") << "#include <stdio.h>" << green("#include") + " &ltstdio.h&gt";
    QTest::newRow("#End If") << "#End If" << green("#End If");
    QTest::newRow("escape letters join a keyword") << "<his"
                                                   << "&l<b>this</b>";
    QTest::newRow("keywords are case-sensitive") << "IF Int "
                                                 << "IF Int ";
    QTest::newRow("upper-case variants listed") << "Do Else " << blue("Do") + " " + blue("Else") + " ";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("lone CR") << "\r"
                             << "\r";
    QTest::newRow("lone LF") << "int\nx"
                             << "int\nx";
    QTest::newRow("keyword across a line break") << "in\r\nt x"
                                                 << "in\r\nt x";
    QTest::newRow("< with no >") << "a < b"
                                 << "a &lt b";
    QTest::newRow("outside the BMP") << QString::fromUtf8("😀int 😀")
                                     << QString::fromUtf8("😀") + red("int") + " " + QString::fromUtf8("😀");
    QTest::newRow("Japanese") << QString::fromUtf8("値int 値")
                              << QString::fromUtf8("値") + red("int") + " " + QString::fromUtf8("値");
}

void TestCHtml::convert()
{
    QFETCH(QString, source);
    QFETCH(QString, result);
    QCOMPARE(cToHtmlText(source), result);
    QCOMPARE(cToHtmlTextByPasses(source), result);
}

// Longer real-looking sources, compared with the plain pass-by-pass form.
void TestCHtml::sameAsPassByPass_data()
{
    QTest::addColumn<QString>("source");
    QTest::newRow("function") << "#include <stdio.h>\r\n"
                                 "/* sum of squares */\r\n"
                                 "static unsigned long sum(const int *v, int n)\r\n"
                                 "{\r\n"
                                 "    unsigned long s = 0;\r\n"
                                 "    for (int i = 0; i < n; ++i) { s += (unsigned long)v[i] * v[i]; }\r\n"
                                 "    if (s > 100) printf(\"big %lu\\n\", s); else printf(\"small\");\r\n"
                                 "    return s;\r\n"
                                 "}\r\n";
    QTest::newRow("c++ casts") << "auto p = static_cast<double>(x); reinterpret_cast<char *>(q);\r\n"
                                  "template <typename T> class Foo : public Bar { virtual void f() const; };";
    QTest::newRow("preprocessor") << "#ifdef A\r\n#ifndef B\r\n#elif C\r\n#else\r\n#endif\r\n#pragma once\r\n#undef X";
    QTest::newRow("strings") << "f(\"a\", \"b\" , \"c\"); scanf(\"%s\",buf);";
    QTest::newRow("one long line") << QString("int x = y; /* c */ if (a<b) return NULL; ").repeated(5000);
    QTest::newRow("long word") << QString("thisthis").repeated(10000);
    QTest::newRow("escapes only") << QString("<>").repeated(5000);
}

void TestCHtml::sameAsPassByPass()
{
    QFETCH(QString, source);
    QCOMPARE(cToHtmlText(source), cToHtmlTextByPasses(source));
}

// Random mixtures of search texts, their fragments and separators: the fast
// form must give exactly the pass-by-pass text.
void TestCHtml::randomTextsSameAsPassByPass()
{
    QStringList parts;
    for (const CHtmlPass& p : cToHtmlPasses()) {
        parts << p.find;
        if (p.find.size() > 1)
            parts << p.find.left(p.find.size() - 1) << p.find.mid(1);
    }
    parts << " "
          << "\""
          << ","
          << ")"
          << "("
          << "<"
          << ">"
          << "&"
          << "t"
          << "h"
          << "l"
          << "g"
          << "x"
          << "\r\n"
          << "\r"
          << "\n"
          << "1"
          << "*"
          << "/"
          << "#"
          << "_"
          << "I"
          << "If" << QString::fromUtf8("é") << QString::fromUtf8("😀") << QString(QChar(0xD800));
    const QString loose = QStringLiteral("asmthisNULL_#<>\"), */ Ifdoc");
    QRandomGenerator gen(20240601);
    for (int round = 0; round < 30000; ++round) {
        QString s;
        const int pieces = gen.bounded(1, 14);
        for (int i = 0; i < pieces; ++i)
            s += parts.at(gen.bounded(int(parts.size())));
        const int extra = gen.bounded(4) == 0 ? gen.bounded(8) : 0;
        for (int i = 0; i < extra; ++i)
            s.insert(gen.bounded(int(s.size()) + 1), loose.at(gen.bounded(int(loose.size()))));
        const QString fast = cToHtmlText(s);
        const QString plain = cToHtmlTextByPasses(s);
        if (fast != plain)
            QFAIL(qPrintable(QStringLiteral("differs for [%1]: [%2] vs [%3]").arg(s, fast, plain)));
    }
}

void TestCHtml::command_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("caret");
    QTest::newRow("single letter selected") << "axb" << 1 << 1 << "a<PRE>x\r\n</PRE>b" << 15;
    QTest::newRow("selection converted") << "[int i;]" << 1 << 6 << "[<PRE>" + red("int") + " i;\r\n</PRE>]" << 52;
    QTest::newRow("no selection: whole page")
        << "int i;" << 2 << 0
        << "<HTML lang=\"ja\">\r\n<HEAD>\r\n"
           "<META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html; charset=SHIFT_JIS\">\r\n"
           "<TITLE>タイトル</TITLE></HEAD>\r\n<BODY>\r\n<PRE>\r\n"
               + red("int") + " i;\r\n</PRE>\r\n</BODY>\r\n</HTML>"
        << 0;
}

void TestCHtml::command()
{
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, result);
    QFETCH(int, caret);
    MemoryEditBuffer b(text);
    int changes = 0;
    QObject::connect(&b, &EditBuffer::changed, [&] { ++changes; });
    b.SetSelection(selStart, selLength);
    ConvertCToHtml(b);
    QCOMPARE(b.text(), result);
    QCOMPARE(b.selectionStart(), caret);
    QCOMPARE(b.selectionLength(), 0);
    QCOMPARE(changes, 1);
}

void TestCHtml::emptyDocumentGivesTenLinePage()
{
    MemoryEditBuffer b;
    ConvertCToHtml(b);
    const QStringList lines = b.text().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 10);
    QCOMPARE(lines.at(0), QStringLiteral("<HTML lang=\"ja\">"));
    QCOMPARE(lines.at(2),
             QStringLiteral("<META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html; charset=SHIFT_JIS\">"));
    QCOMPARE(lines.at(3), QStringLiteral("<TITLE>タイトル</TITLE></HEAD>"));
    QCOMPARE(lines.at(5), QStringLiteral("<PRE>"));
    QCOMPARE(lines.at(6), QString());
    QCOMPARE(lines.at(9), QStringLiteral("</HTML>"));
    QCOMPARE(cToHtmlPage(QString()), b.text());
    QCOMPARE(cToHtmlBlock(QStringLiteral("x")), QStringLiteral("<PRE>x\r\n</PRE>"));
}

// A few megabytes in well under the test's limit; a conversion that rebuilt
// the string per occurrence would need many minutes.
void TestCHtml::linearOnLargeInput_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("ReplaceAllText, 2M hits") << "replace";
    QTest::newRow("C source, 4 MB") << "source";
    QTest::newRow("one long piece, 1 MB") << "piece";
}

void TestCHtml::linearOnLargeInput()
{
    QFETCH(QString, kind);
    QElapsedTimer t;
    if (kind == QLatin1String("replace")) {
        const QString text = QString("ab").repeated(2 * 1024 * 1024);
        t.start();
        const QString out = ReplaceAllText(text, QStringLiteral("a"), QStringLiteral("xyz"));
        QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(out.size(), text.size() * 2);
        QVERIFY(out.startsWith(QStringLiteral("xyzbxyzb")) && out.endsWith(QStringLiteral("xyzb")));
    } else if (kind == QLatin1String("source")) {
        const QString line = QStringLiteral("    if (a < b) { printf(\"%d\", a); return NULL; } /* x */\r\n");
        const QString text = line.repeated(4 * 1024 * 1024 / line.size());
        t.start();
        const QString out = cToHtmlText(text);
        QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(out, cToHtmlText(line).repeated(text.size() / line.size()));
    } else {
        const QString text = QString("thisthis").repeated(128 * 1024);
        t.start();
        const QString out = cToHtmlText(text);
        QVERIFY2(t.elapsed() < 10000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(out, QStringLiteral("<b>this</b>").repeated(256 * 1024));
    }
}

QTEST_GUILESS_MAIN(TestCHtml)
#include "tst_chtml.moc"
