#include "editor/window/documentprinter.h"

#include "common/textfile.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTemporaryFile>
#include <QTextLayout>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace tw {

namespace {
class PainterTarget : public PrintTarget {
public:
    PainterTarget(QPrinter& printer, QPainter& painter, const QString& text, const QFont& font)
        : m_printer(printer),
          m_painter(painter),
          m_dpi(printer.resolution())
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

int printerFontPoints()
{
    return 10;
}

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
    m.fontPoints = printerFontPoints();
    return m;
}

namespace {
PrintOutcome paintDocument(QPrinter& printer, const PrintSettings& settings, const QString& title, const QString& text,
                           const QFont& textFont)
{
    const PrinterMetrics metrics = printerMetrics(printer);
    PrintOutcome out;
    out.error = printAreaProblem(settings, metrics);
    if (!out.error.isEmpty())
        return out;
    QPainter painter;
    if (!painter.begin(&printer)) {
        out.error = QStringLiteral("印刷を開始できませんでした。");
        return out;
    }
    painter.setPen(Qt::black);
    PainterTarget target(printer, painter, text, textFont);
    // The layout's positions run over the text the printer was given.
    out = printPages(settings, metrics, title, target.length(), target);
    painter.end();
    return out;
}

// A PDF the printer finished writing: its header, and the cross-reference
// table where the trailer says, right before the end marker. A write that
// stopped part-way (a full disk) leaves the end missing.
bool completePdf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = f.readAll();
    const qsizetype end = bytes.lastIndexOf("%%EOF");
    if (!bytes.startsWith("%PDF-") || end < 0 || !bytes.mid(end + 5).trimmed().isEmpty())
        return false;
    const qsizetype startxref = bytes.lastIndexOf("startxref", end);
    if (startxref < 0)
        return false;
    bool ok = false;
    const qint64 table = bytes.mid(startxref + 9, end - startxref - 9).trimmed().toLongLong(&ok);
    return ok && table > 0 && table < startxref && bytes.mid(table, 4) == "xref";
}

// Printing to a PDF file: the pages go to a temporary file beside it, which
// replaces the file only once it is complete and on the disk, so a failure
// leaves an older PDF of that name as it was.
PrintOutcome printToPdfFile(QPrinter& printer, const PrintSettings& settings, const QString& title, const QString& text,
                            const QFont& textFont)
{
    const QString chosen = printer.outputFileName();
    QFileInfo info(chosen);
    // A link keeps pointing where it did; the file it names gets the pages.
    const QString target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    info = QFileInfo(target);
    const bool existed = info.exists();
    PrintOutcome out;
    auto fail = [&](const QString& why) {
        out.error =
            QStringLiteral("PDF ファイルに印刷できませんでした: %1\r\n%2").arg(QDir::toNativeSeparators(chosen), why);
        if (existed)
            out.error += QStringLiteral("\r\n元のファイルは変更していません。");
        return out;
    };
    if (info.isDir())
        return fail(fileErrorText(EISDIR));
    QTemporaryFile temp(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
    if (!temp.open())
        return fail(QStringLiteral("このフォルダにはファイルを作成できません。"));
    temp.close();  // the printer opens it by its name

    printer.setOutputFileName(temp.fileName());
    const PrintOutcome painted = paintDocument(printer, settings, title, text, textFont);
    printer.setOutputFileName(chosen);
    if (!painted.error.isEmpty())
        return fail(painted.error);
    if (!completePdf(temp.fileName()))
        return fail(QStringLiteral("ファイルを最後まで書き込めませんでした。ディスクの空き容量を確認してください。"));
    if (!temp.open() || ::fsync(temp.handle()) != 0)
        return fail(fileErrorText(errno));
    temp.close();
    // The replaced file's permissions stay; a new file gets the usual ones.
    struct stat old;
    mode_t mode = 0;
    if (::stat(QFile::encodeName(target).constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        mode = ::umask(0);
        ::umask(mode);
        mode = 0666 & ~mode;
    }
    const QByteArray tempName = QFile::encodeName(temp.fileName());
    if (::chmod(tempName.constData(), mode) != 0
        || ::rename(tempName.constData(), QFile::encodeName(target).constData()) != 0)
        return fail(fileErrorText(errno));
    temp.setAutoRemove(false);
    out.pages = painted.pages;
    return out;
}
}  // namespace

PrintOutcome printSourceText(QPrinter& printer, const PrintSettings& settings, const QString& title,
                             const QString& text, const QFont& textFont)
{
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        return printToPdfFile(printer, settings, title, text, textFont);
    return paintDocument(printer, settings, title, text, textFont);
}

}  // namespace tw
