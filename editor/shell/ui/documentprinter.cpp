#include "editor/shell/ui/documentprinter.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace tw {

namespace {
class PainterTarget : public PrintTarget {
public:
    PainterTarget(QPrinter& printer, QPainter& painter, const QString& text, const QFont& font)
        : m_printer(printer), m_painter(painter), m_dpi(printer.resolution())
    {
        m_doc.documentLayout()->setPaintDevice(&printer);
        m_doc.setDocumentMargin(0);
        m_doc.setDefaultFont(font);
        QTextOption wrap = m_doc.defaultTextOption();
        // A long line is broken inside the text rectangle, never cut.
        wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        m_doc.setDefaultTextOption(wrap);
        // The document counts a line break as one character.
        QString plain = text;
        plain.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        m_doc.setPlainText(plain);
    }
    qsizetype length() const { return m_doc.characterCount() - 1; }

    void printText(const Decoration& d) override
    {
        QFont f = QGuiApplication::font();
        f.setPointSize(std::max(1, d.points));
        const QFontMetricsF fm(f, &m_printer);
        m_painter.setFont(f);
        m_painter.drawText(QPointF(px(d.x), px(d.y) + fm.ascent()), d.text);
    }

    qsizetype renderBand(qsizetype from, const TwipsRect& text, const TwipsRect&) override
    {
        if (m_doc.textWidth() != px(text.width())) {
            m_doc.setTextWidth(px(text.width()));
            m_doc.documentLayout()->documentSize();  // lays every block out now
        }
        const double room = px(text.height());
        QTextBlock block = m_doc.findBlock(int(from));
        if (!block.isValid())
            return m_doc.characterCount();
        int lineIndex = block.layout()->lineForTextPosition(int(from - block.position())).lineNumber();
        const double bandTop = lineTop(block, std::max(lineIndex, 0));
        double bandBottom = bandTop;
        qsizetype next = -1;
        // Whole lines while they fit; the first line always goes, so a line
        // taller than the page still moves printing on.
        for (; block.isValid() && next < 0; block = block.next(), lineIndex = 0) {
            const QTextLayout* layout = block.layout();
            for (int i = std::max(lineIndex, 0); i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                const double bottom = lineTop(block, i) + line.height();
                if (bottom - bandTop > room && bandBottom > bandTop) {
                    next = block.position() + line.textStart();
                    break;
                }
                bandBottom = bottom;
            }
        }
        m_painter.save();
        m_painter.translate(px(text.left), px(text.top) - bandTop);
        m_doc.drawContents(&m_painter, QRectF(0, bandTop, px(text.width()), bandBottom - bandTop));
        m_painter.restore();
        // The document's own end counts one character more than the text.
        return next < 0 ? m_doc.characterCount() : next;
    }

    void newPage() override { m_printer.newPage(); }

private:
    double px(int twips) const { return twips * m_dpi / 1440.0; }
    double lineTop(const QTextBlock& block, int line) const
    {
        return block.layout()->position().y() + block.layout()->lineAt(line).y();
    }

    QPrinter& m_printer;
    QPainter& m_painter;
    int m_dpi;
    QTextDocument m_doc;
};
}  // namespace

PrinterMetrics printerMetrics(QPrinter& printer)
{
    // The printable area starts where the printer itself can print; the
    // user's margins are measured from the sheet's edge on top of that.
    printer.setFullPage(false);
    printer.setPageMargins(printer.pageLayout().minimumMargins(), printer.pageLayout().units());
    const double toTwips = 1440.0 / printer.resolution();
    const QRectF sheet = printer.paperRect(QPrinter::DevicePixel);
    const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    PrinterMetrics m;
    m.width = int(std::lround(sheet.width() * toTwips));
    m.height = int(std::lround(sheet.height() * toTwips));
    m.innerWidth = int(std::lround(printable.width() * toTwips));
    m.innerHeight = int(std::lround(printable.height() * toTwips));
    m.offsetX = int(std::lround((printable.left() - sheet.left()) * toTwips));
    m.offsetY = int(std::lround((printable.top() - sheet.top()) * toTwips));
    m.fontPoints = int(std::lround(QGuiApplication::font().pointSizeF()));
    return m;
}

PrintOutcome printSourceText(QPrinter& printer, const PrintSettings& settings, const QString& title,
                             const QString& text, const QFont& textFont)
{
    const PrinterMetrics metrics = printerMetrics(printer);
    PrintOutcome out;
    out.error = printAreaProblem(settings, metrics);
    if (!out.error.isEmpty())
        return out;
    QPainter painter;
    if (!painter.begin(&printer)) {
        out.error = QStringLiteral("印刷を開始できませんでした。");
        if (printer.outputFormat() == QPrinter::PdfFormat)
            out.error += QStringLiteral("\r\n%1 に書き込めません。").arg(printer.outputFileName());
        return out;
    }
    painter.setPen(Qt::black);
    PainterTarget target(printer, painter, text, textFont);
    // The layout's positions run over the text the printer was given.
    out = printPages(settings, metrics, title, target.length(), target);
    painter.end();
    return out;
}

}  // namespace tw
