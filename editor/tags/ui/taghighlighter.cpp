#include "editor/tags/ui/taghighlighter.h"

#include "common/textcodec.h"
#include "editor/document/ui/richtextbox.h"

#include <QColor>
#include <QFont>

#include <vector>

namespace tw {

TagHighlighter::TagHighlighter(RichTextBox* box, QObject* parent, const TagColourTable& table)
    : QsciLexerCustom(parent ? parent : static_cast<QObject*>(box)),
      m_box(box),
      m_table(table)
{
    applyFont();
}

void TagHighlighter::applyFont()
{
    const QFont plain = m_box->font();
    QFont bold = plain;
    bold.setBold(true);
    setDefaultFont(plain);
    setDefaultColor(QColor::fromRgb(QRgb(m_table.colours[0])));
    setDefaultPaper(m_box->palette().color(QPalette::Base));
    for (int c = 0; c < 4; ++c) {
        setColor(QColor::fromRgb(QRgb(m_table.colours[size_t(c)])), c);
        setFont(c == 0 ? plain : bold, c);
        setPaper(m_box->palette().color(QPalette::Base), c);
    }
}

QString TagHighlighter::description(int style) const
{
    switch (style) {
        case 0:
            return QStringLiteral("テキスト");
        case 1:
            return QStringLiteral("色1");
        case 2:
            return QStringLiteral("色2");
        case 3:
            return QStringLiteral("色3");
        default:
            return QString();
    }
}

void TagHighlighter::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    if (on) {
        applyFont();
        m_box->setLexer(this);
        // At once rather than at the next paint, so the colours are there
        // when the caller looks.
        m_box->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    } else {
        m_box->setLexer(nullptr);
        m_box->SendScintilla(QsciScintillaBase::SCI_CLEARDOCUMENTSTYLE);
        m_box->setFont(m_box->font());
    }
}

void TagHighlighter::styleText(int start, int end)
{
    if (!m_enabled)
        return;
    RichTextBox* box = m_box;
    const long firstLine = box->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, (unsigned long)start);
    const long lastLine = box->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, (unsigned long)end);
    int state = firstLine > 0
                    ? int(box->SendScintilla(QsciScintillaBase::SCI_GETLINESTATE, (unsigned long)(firstLine - 1)))
                    : kLineOutside;
    const long from = box->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, (unsigned long)firstLine);
    startStyling(int(from));
    std::vector<int> bytesAt;  // byte offset in the line of each UTF-16 offset
    for (long line = firstLine; line <= lastLine; ++line) {
        const long lineStart = box->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, (unsigned long)line);
        const long lineEnd = box->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, (unsigned long)line);
        const long next = line + 1 < box->lines()
                              ? box->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, (unsigned long)(line + 1))
                              : lineEnd;
        const char* p = reinterpret_cast<const char*>(box->SendScintilla(
            QsciScintillaBase::SCI_GETRANGEPOINTER, (unsigned long)lineStart, long(lineEnd - lineStart)));
        const QString text = textFromUtf8(QByteArrayView(p, lineEnd - lineStart));

        m_ranges.clear();
        state = colourLine(text, state, m_table, m_ranges);
        box->SendScintilla(QsciScintillaBase::SCI_SETLINESTATE, (unsigned long)line, long(state));

        bytesAt.assign(size_t(text.size()) + 1, 0);
        int b = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            bytesAt[size_t(i)] = b;
            const char16_t u = text[i].unicode();
            if (QChar::isHighSurrogate(u) && i + 1 < text.size()) {
                bytesAt[size_t(i + 1)] = b;
                b += 4;
                ++i;
            } else {
                b += u < 0x80 ? 1 : u < 0x800 ? 2 : 3;
            }
        }
        bytesAt[size_t(text.size())] = b;

        int done = 0;
        for (const ColourRange& r : std::as_const(m_ranges)) {
            const int s = bytesAt[size_t(r.start)];
            const int e = bytesAt[size_t(std::min<qsizetype>(r.start + r.length, text.size()))];
            if (s > done)
                setStyling(s - done, 0);
            setStyling(e - s, r.colour);
            done = e;
        }
        // The rest of the line, its line break included, keeps the state's
        // colour when a tag or comment runs on.
        const int lineBytes = int(next - lineStart);
        const int tail = state == kLineOutside ? 0 : state == kLineInComment ? 3 : state - 2;
        if (lineBytes > done)
            setStyling(lineBytes - done, tail == 0 ? 0 : tail);
    }
}

unsigned TagHighlighter::colourAtPosition(qsizetype position) const
{
    if (!m_enabled)
        return m_table.colours[0];
    m_box->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    const int style = int(m_box->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, (unsigned long)position));
    return m_table.colours[size_t(std::clamp(style, 0, 3))];
}

bool TagHighlighter::boldAtPosition(qsizetype position) const
{
    if (!m_enabled)
        return false;
    m_box->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    return m_box->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, (unsigned long)position) != 0;
}

}  // namespace tw
