// The builders on long inputs: ten times the input should take about ten
// times as long. Prints, for the gradation text and the table skeleton, how
// the time grows from the smaller input to the ten times larger one, beside
// how building texts of the same two lengths by plain appends grows (the
// linear reference, with the same memory effects); their quotient is about 1
// for a builder that works in linear time.

#include "editor/builders/gradation.h"
#include "editor/builders/table.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {
// The least of a few runs, in nanoseconds; the result's length goes to sink.
double fastest(const std::function<qsizetype()>& work, qsizetype& sink)
{
    double best = 1e18;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        sink += work();
        best = std::min(best, double(t.nsecsElapsed()));
    }
    return best;
}

// Appending pieces of the given size up to the given length: the linear reference.
qsizetype plainAppends(qsizetype length, int piece)
{
    const QString p(piece, QLatin1Char('x'));
    QString s;
    while (s.size() < length)
        s += p;
    return s.size();
}

void report(const char* what, double small, double large, double referenceSmall, double referenceLarge)
{
    const double growth = large / small;
    const double reference = referenceLarge / referenceSmall;
    std::printf(
        "%s: time 10x input / 1x input %.1f, plain appends %.1f; builder growth / append growth: %.2f "
        "(linear: about 1)\n",
        what, growth, reference, growth / reference);
}
}  // namespace

int main()
{
    qsizetype sink = 0;
    auto gradation = [](int n) {
        tw::GradationOptions o;
        o.text = QString(n, QChar(u'字'));
        return tw::BuildGradation(o).text.size();
    };
    const double g1 = fastest([&] { return gradation(5000); }, sink);
    const double g10 = fastest([&] { return gradation(50000); }, sink);
    const qsizetype g1Length = gradation(5000);
    const qsizetype g10Length = gradation(50000);
    report("gradation, 5000 and 50000 characters", g1, g10, fastest([&] { return plainAppends(g1Length, 32); }, sink),
           fastest([&] { return plainAppends(g10Length, 32); }, sink));

    auto table = [](const char* rows) {
        return tw::BuildTable({QString::fromLatin1(rows), QStringLiteral("100")}).size();
    };
    const double t1 = fastest([&] { return table("1000"); }, sink);
    const double t10 = fastest([&] { return table("10000"); }, sink);
    const qsizetype t1Length = table("1000");
    const qsizetype t10Length = table("10000");
    report("table, 1000 and 10000 rows of 100 cells", t1, t10,
           fastest([&] { return plainAppends(t1Length, 13); }, sink),
           fastest([&] { return plainAppends(t10Length, 13); }, sink));
    return sink > 0 ? 0 : 1;
}
