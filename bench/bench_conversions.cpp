// The text conversions on a 10 MB page, run as a user runs them: the menu
// command in the real main window (tag colouring on, the preview off so only
// the editor is measured), timed from the command to the converted text
// painted in the box. Each is compared with a whole process doing the same
// kind of work on the same page as a file, its output written to a file:
//   行番号付加 (NumberLines)   against nl -ba
//   タグの消去 (EraseTags)     against sed 's/<[^>]*>//g'
//   テキスト→HTML              against cat (one plain copy: the page is
//                              only framed, its text stays)
//   C→HTML                     against sed running the editor's own table of
//                              substitutions, one s///g each, in its order;
//                              the bench checks that sed's output is the
//                              converted text, so both did the same work
//   すべて置換 of 100,000 hits  against sed 's/link/anchor/g' on a 16 MB page
// Runs alternate between the editor and the tool; each figure is the median
// of five runs with the min-max.

#include "bench/benchwindow.h"
#include "editor/tags/chtml.h"
#include "editor/tags/ui/searchfrm.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qsizetype kSize = 10 * 1024 * 1024;
constexpr int kRuns = 5;

QString repeatTo(const QString& unit, qsizetype size)
{
    QString text;
    text.reserve(size + unit.size());
    while (text.size() < size)
        text += unit;
    text.truncate(size - size % unit.size());
    return text;
}

QString htmlInput()
{
    return repeatTo(QStringLiteral("<p class=\"x\">あいうえお <a href=\"page.html\">link</a> <b>bold</b> text</p>\r\n"),
                    kSize / 2);
}

QString plainInput()
{
    return repeatTo(QStringLiteral("An ordinary line of text, with <, > and & in it.\r\n"), kSize);
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

struct Stats {
    double median = 0, min = 0, max = 0;
};

Stats stats(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? Stats{} : Stats{v[v.size() / 2], v.front(), v.back()};
}

// Milliseconds of one run of the tool, stdout to a file; negative when it
// could not run.
double runTool(const QString& program, const QStringList& args, const QString& outPath)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.setStandardOutputFile(outPath);
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return -1;
    return double(t.nsecsElapsed()) / 1e6;
}

// A basic regular expression matching the text exactly, and a replacement
// that inserts the text exactly, for sed's s/// with / as the delimiter.
QString sedPattern(const QString& text)
{
    QString out;
    for (QChar c : text) {
        if (QStringLiteral("\\/.*[]^$").contains(c))
            out += u'\\';
        out += c;
    }
    return out;
}

QString sedReplacement(const QString& text)
{
    QString out;
    for (QChar c : text) {
        if (QStringLiteral("\\/&").contains(c))
            out += u'\\';
        out += c;
    }
    return out;
}

// The C to HTML substitutions as a sed script; empty when it cannot be written.
QString writeCToHtmlSedScript(const QString& path)
{
    QString script;
    for (const tw::CHtmlPass& pass : tw::cToHtmlPasses())
        script += QStringLiteral("s/") + sedPattern(pass.find) + u'/' + sedReplacement(pass.replacement)
                  + QStringLiteral("/g\n");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(script.toUtf8()) < 0)
        return QString();
    return path;
}

struct Case {
    const char* label;
    const char* command;
    QString (*input)();
    const char* tool;
    QStringList args;  // the input file is appended
};

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tw::bench::BenchWindow bw("[Setting]\r\nColorAdd=1\r\nPreview=0\r\n");
    if (!bw.shown) {
        std::printf("bench_conversions: the window did not show\n");
        return 1;
    }
    tw::MainFrm& w = *bw.w;
    tw::RichTextBox* box = bw.box;
    const tw::test::TempAppFolder& folder = bw.folder;

    const QString script = writeCToHtmlSedScript(folder.path() + QStringLiteral("/ctohtml.sed"));
    const Case cases[] = {
        {"行番号付加 (NumberLines)", "IDM_TEXTNUMADD", htmlInput, "nl", {QStringLiteral("-ba")}},
        {"タグの消去 (EraseTags)", "IDM_TAGERACE", htmlInput, "sed", {QStringLiteral("s/<[^>]*>//g")}},
        {"テキスト→HTML", "IDM_DEFAULT", plainInput, "cat", {}},
        {"C→HTML", "IDM_HTML", cInput, "sed", {QStringLiteral("-f"), script}},
    };
    std::printf(
        "conversions of a 10 MB page from the command to the shown text (ms), median of %d runs (min-max), "
        "interleaved with a whole tool process on the same page:\n",
        kRuns);
    const QString inPath = folder.path() + QStringLiteral("/input.txt");
    const QString outPath = folder.path() + QStringLiteral("/output.txt");
    for (const Case& c : cases) {
        const QString input = c.input();
        QFile f(inPath);
        if (!f.open(QIODevice::WriteOnly) || f.write(input.toUtf8()) < 0) {
            std::printf("  %s: cannot write the input file\n", c.label);
            continue;
        }
        f.close();
        QAction* command = w.action(QString::fromLatin1(c.command));
        std::vector<double> ours, tool;
        bool toolRan = true;
        for (int run = 0; run < kRuns; ++run) {
            w.session().buffer().SetText(input);
            w.session().history().ResetHistory();
            QCoreApplication::processEvents();
            box->repaint();
            QElapsedTimer t;
            t.start();
            command->trigger();
            QCoreApplication::processEvents();
            box->repaint();
            ours.push_back(double(t.nsecsElapsed()) / 1e6);

            const double ms = runTool(QString::fromLatin1(c.tool), c.args + QStringList{inPath}, outPath);
            if (ms < 0)
                toolRan = false;
            else
                tool.push_back(ms);
        }
        const Stats o = stats(ours);
        if (!toolRan || tool.empty()) {
            std::printf("  %s: editor %.0f ms (%.0f-%.0f); %s did not run, no ratio\n", c.label, o.median, o.min, o.max,
                        c.tool);
            continue;
        }
        if (c.input == cInput) {
            QFile out(outPath);
            const bool same =
                out.open(QIODevice::ReadOnly) && QString::fromUtf8(out.readAll()) == tw::cToHtmlText(input);
            std::printf("  (sed's output %s the editor's converted text)\n", same ? "is" : "is NOT");
        }
        const Stats r = stats(tool);
        std::printf("  %s: editor %.0f ms (%.0f-%.0f), %s %.0f ms (%.0f-%.0f), ratio %.2f (target <= 2)\n", c.label,
                    o.median, o.min, o.max, c.tool, r.median, r.min, r.max, o.median / r.median);
    }

    // Replace all: 100,000 lines of about 168 UTF-8 bytes, one hit each.
    QString unit = QStringLiteral("<p class=\"x\">あいうえお <a href=\"page.html\">link</a> <b>bold</b> text");
    unit += QString(166 - unit.toUtf8().size(), QLatin1Char('.')) + QStringLiteral("\r\n");
    const QString page = unit.repeated(100000);
    QFile f(inPath);
    if (!f.open(QIODevice::WriteOnly) || f.write(page.toUtf8()) < 0)
        return 1;
    f.close();
    std::vector<double> ours, tool;
    bool same = true;
    for (int run = 0; run < kRuns; ++run) {
        w.session().buffer().SetText(page);
        w.session().history().ResetHistory();
        tw::SearchFrm dlg(w.session().buffer(), &bw.fakes.messages, &w);
        dlg.show();
        dlg.findChild<QLineEdit*>(QStringLiteral("SerchText"))->setText(QStringLiteral("link"));
        dlg.findChild<QLineEdit*>(QStringLiteral("ChangeText"))->setText(QStringLiteral("anchor"));
        QCoreApplication::processEvents();
        box->repaint();
        QElapsedTimer t;
        t.start();
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("ReplaceAllBtn")), Qt::LeftButton);
        QCoreApplication::processEvents();
        box->repaint();
        ours.push_back(double(t.nsecsElapsed()) / 1e6);
        const double ms = runTool(QStringLiteral("sed"), {QStringLiteral("s/link/anchor/g"), inPath}, outPath);
        if (ms >= 0)
            tool.push_back(ms);
        QFile out(outPath);
        same = same && out.open(QIODevice::ReadOnly) && QString::fromUtf8(out.readAll()) == w.session().buffer().text();
    }
    const Stats o = stats(ours);
    const Stats r = stats(tool);
    std::printf(
        "  すべて置換, 100,000 hits in %.1f MB: editor %.0f ms (%.0f-%.0f), sed %.0f ms (%.0f-%.0f), ratio %.2f "
        "(target <= 2); sed's output %s the editor's text; %s\n",
        page.toUtf8().size() / 1048576.0, o.median, o.min, o.max, r.median, r.min, r.max,
        o.median / std::max(r.median, 1e-6), same ? "is" : "is NOT",
        bw.fakes.messages.shown.isEmpty() ? "no message" : qPrintable(bw.fakes.messages.shown.last().text));
    return 0;
}
