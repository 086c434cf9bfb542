// Text conversions on a 10 MB document, each against a reference measured in
// the same run on the same input:
//   EraseTags       against sed 's/<[^>]*>//g' on the same file (outputs compared)
//   ConvertCToHtml  against one plain copy of the text
//   NumberLines     against nl -ba on the same file (outputs compared)
// Every time is the best of three runs. Our functions are timed in memory;
// the tools' times include reading and writing their files.
//
// A conversion writes a new text, and memory touched for the first time costs
// a page fault per page, which on some virtual machines is slower than the
// conversion itself. So the C-to-HTML ratio is given twice: with fresh memory
// for every result (the copy as well), which is what one command on a
// document costs, and with memory reused between runs, which leaves only the
// work per character.

#include "editor/tags/chtml.h"
#include "editor/tags/editbuffer.h"
#include "editor/tags/textconv.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

#include <malloc.h>

namespace {

constexpr qsizetype kSize = 10 * 1024 * 1024;

QString repeatTo(const QString& unit, qsizetype size)
{
    QString text;
    text.reserve(size + unit.size());
    while (text.size() < size)
        text += unit;
    text.truncate(size);
    return text;
}

double bestOf3(const std::function<void()>& run)
{
    double best = 1e300;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        best = std::min(best, double(t.nsecsElapsed()) / 1e6);
    }
    return best;
}

bool writeFile(const QString& path, const QString& text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) >= 0;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Milliseconds of one run of the tool with stdout to outPath; negative when
// it could not run.
double runTool(const QString& program, const QStringList& args, const QString& outPath)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    p.setProcessEnvironment(env);
    p.setStandardOutputFile(outPath);
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return -1;
    return double(t.nsecsElapsed()) / 1e6;
}

double bestToolOf3(const QString& program, const QStringList& args, const QString& outPath)
{
    double best = 1e300;
    for (int i = 0; i < 3; ++i) {
        const double ms = runTool(program, args, outPath);
        if (ms < 0)
            return -1;
        best = std::min(best, ms);
    }
    return best;
}

QString htmlInput()
{
    // Every "<" closes on its own line, so sed (line by line) and EraseTags agree.
    return repeatTo(QStringLiteral("<tr><td class=\"name\">Item</td><td>Price &amp; tax</td>"
                                   "<td><a href=\"detail.html#x\">more</a></td></tr>\r\n"
                                   "<p>Plain text of a paragraph, with a <b>bold</b> word and a "
                                   "<!-- comment --> in it.</p>\r\n"
                                   "Some lines carry no markup at all and only words.\r\n"),
                    kSize);
}

QString cInput()
{
    return repeatTo(QStringLiteral("/* Reads the table and prints its totals. */\r\n"
                                   "#include <stdio.h>\r\n"
                                   "#define MAX_ROWS 128\r\n"
                                   "\r\n"
                                   "static int read_table(FILE *fp, double *values, int max)\r\n"
                                   "{\r\n"
                                   "    int count = 0;\r\n"
                                   "    while (count < max && fscanf(fp, \"%lf\", &values[count]) == 1)\r\n"
                                   "        ++count;\r\n"
                                   "    return count;\r\n"
                                   "}\r\n"
                                   "\r\n"
                                   "int main(int argc, char **argv)\r\n"
                                   "{\r\n"
                                   "    double values[MAX_ROWS];\r\n"
                                   "    double total = 0.0;\r\n"
                                   "    FILE *fp = argc > 1 ? fopen(argv[1], \"r\") : stdin;\r\n"
                                   "    if (fp == NULL) {\r\n"
                                   "        printf(\"cannot open %s\\n\", argv[1]);\r\n"
                                   "        return 1;\r\n"
                                   "    }\r\n"
                                   "    const int n = read_table(fp, values, MAX_ROWS);\r\n"
                                   "    for (int i = 0; i < n; i++)\r\n"
                                   "        total += values[i];   /* running sum */\r\n"
                                   "    printf(\"%d rows, total %.2f\\n\", n, total);\r\n"
                                   "    return 0;\r\n"
                                   "}\r\n"),
                    kSize);
}

QString textInput()
{
    // No line break at the very end: nl and NumberLines then number the same lines.
    return repeatTo(QStringLiteral("The quick brown fox jumps over the lazy dog again and again.\r\n"
                                   "\r\n"
                                   "A shorter line.\r\n"),
                    kSize);
}

double cToHtmlMs(const QString& source)
{
    return bestOf3([&] {
        tw::MemoryEditBuffer b(source);
        tw::ConvertCToHtml(b);
    });
}

double copyMs(const QString& source)
{
    return bestOf3([&] {
        QString copy = source;
        copy.detach();
        copy[0] = QChar(u'x');
    });
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir(QStringLiteral("/tmp/bench_conversions-XXXXXX"));
    if (!dir.isValid()) {
        std::printf("cannot create a temporary folder in /tmp\n");
        return 1;
    }
    bool agree = true;
    std::printf("input: %lld characters per conversion\n", (long long)kSize);

    // Tag removal against sed.
    {
        const QString text = htmlInput();
        const QString in = dir.filePath(QStringLiteral("tags.html"));
        const QString out = dir.filePath(QStringLiteral("tags.sed"));
        writeFile(in, text);
        QString ours;
        const double oursMs = bestOf3([&] { ours = tw::EraseTags(text); });
        const double sedMs = bestToolOf3(QStringLiteral("sed"), {QStringLiteral("s/<[^>]*>//g"), in}, out);
        if (sedMs < 0) {
            std::printf("EraseTags: sed did not run\n");
            agree = false;
        } else {
            const bool same = readFile(out) == ours.toUtf8();
            agree = agree && same;
            std::printf("EraseTags %.1f ms, sed %.1f ms, outputs %s\n", oursMs, sedMs, same ? "agree" : "DIFFER");
            std::printf("ratio EraseTags / sed: %.2f\n", oursMs / sedMs);
        }
    }

    // C source to HTML against one plain copy of the text.
    {
        const QString source = cInput();
        QString page;
        {
            tw::MemoryEditBuffer b(source);
            tw::ConvertCToHtml(b);
            page = b.text();
        }
        // Fresh memory for every large block, on both sides.
        mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
        const double freshOurs = cToHtmlMs(source);
        const double freshCopy = copyMs(source);
        // Large blocks kept and reused between runs, on both sides.
        mallopt(M_MMAP_MAX, 0);
        mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
        const double warmOurs = cToHtmlMs(source);
        const double warmCopy = copyMs(source);
        std::printf("ConvertCToHtml: page of %lld characters (%.2f x the source)\n", (long long)page.size(),
                    double(page.size()) / double(source.size()));
        std::printf("  fresh memory: %.1f ms, copy %.1f ms; reused memory: %.1f ms, copy %.1f ms (ratio %.1f)\n",
                    freshOurs, freshCopy, warmOurs, warmCopy, warmOurs / warmCopy);
        std::printf("ratio ConvertCToHtml / plain copy: %.2f\n", freshOurs / freshCopy);
    }

    // Line numbering against nl.
    {
        const QString text = textInput();
        const QString in = dir.filePath(QStringLiteral("lines.txt"));
        const QString out = dir.filePath(QStringLiteral("lines.nl"));
        writeFile(in, text);
        QString ours;
        const double oursMs = bestOf3([&] { ours = tw::NumberLines(text); });
        const int width = int(QString::number(text.count(QStringLiteral("\r\n")) + 1).size());
        const double nlMs = bestToolOf3(QStringLiteral("nl"),
                                        {QStringLiteral("-ba"), QStringLiteral("-nrz"),
                                         QStringLiteral("-w%1").arg(width), QStringLiteral("-s:"), in},
                                        out);
        if (nlMs < 0) {
            std::printf("NumberLines: nl did not run\n");
            agree = false;
        } else {
            // nl ends the last line with LF where NumberLines writes CR LF.
            const bool same = readFile(out).chopped(1) + "\r\n" == ours.toUtf8();
            agree = agree && same;
            std::printf("NumberLines %.1f ms, nl %.1f ms, outputs %s\n", oursMs, nlMs, same ? "agree" : "DIFFER");
            std::printf("ratio NumberLines / nl: %.2f\n", oursMs / nlMs);
        }
    }
    return agree ? 0 : 1;
}
