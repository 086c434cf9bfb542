#include "editor/tags/ui/tagassist.h"

#include "editor/tags/tagcompletion.h"
#include "editor/document/ui/richtextbox.h"
#include "editor/tags/ui/taghighlighter.h"

#include <Qsci/qscilexerhtml.h>

#include <QByteArray>
#include <QColor>

#include <algorithm>

namespace tw {

namespace {
using Sci = QsciScintillaBase;
constexpr long kLineWindowBytes = 4096;
}  // namespace

TagAssist::TagAssist(RichTextBox* box, TagHighlighter* tagColouring)
    : QObject(box),
      m_box(box),
      m_tags(tagColouring),
      m_html(new QsciLexerHTML(this))
{
    connect(box, &QsciScintillaBase::SCN_CHARADDED, this, &TagAssist::charAdded);
    connect(box, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & (Sci::SC_UPDATE_CONTENT | Sci::SC_UPDATE_V_SCROLL))
            colourStyleSheets();
    });
    const QColor cssColours[4] = {QColor(0x80, 0x00, 0x00), QColor(0x00, 0x00, 0xC0), QColor(0x80, 0x00, 0x80),
                                  QColor(0x60, 0x80, 0x00)};
    for (int i = 0; i < 4; ++i) {
        box->SendScintilla(Sci::SCI_INDICSETSTYLE, (unsigned long)kCssIndicators[i], long(Sci::INDIC_TEXTFORE));
        box->SendScintilla(Sci::SCI_INDICSETFORE, (unsigned long)kCssIndicators[i], cssColours[i]);
    }
    // The list keeps the order it is given (innermost open element first)
    // and filters without regard to case as the user types on.
    box->SendScintilla(Sci::SCI_AUTOCSETSEPARATOR, long(' '));
    box->SendScintilla(Sci::SCI_AUTOCSETIGNORECASE, 1L);
    box->SendScintilla(Sci::SCI_AUTOCSETORDER, 2L /* SC_ORDER_CUSTOM */);
    box->SendScintilla(Sci::SCI_AUTOCSETAUTOHIDE, 1L);
    box->SendScintilla(Sci::SCI_AUTOCSETMAXHEIGHT, 12L);
}

bool TagAssist::htmlColouring() const
{
    return m_box->lexer() == m_html;
}

void TagAssist::applyColouring(bool tagColouring, bool html)
{
    if (!tagColouring)
        m_tags->setEnabled(false);
    if (!tagColouring && html) {
        if (!htmlColouring()) {
            const QFont font = m_box->font();
            m_html->setDefaultFont(font);
            m_html->setFont(font, -1);
            m_html->setDefaultPaper(m_box->palette().color(QPalette::Base));
            m_html->setPaper(m_box->palette().color(QPalette::Base), -1);
            m_box->setLexer(m_html);
            m_box->SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);
            colourStyleSheets();
        }
    } else if (htmlColouring()) {
        m_box->setLexer(nullptr);
        for (int ind : kCssIndicators) {
            m_box->SendScintilla(Sci::SCI_SETINDICATORCURRENT, ind);
            m_box->SendScintilla(Sci::SCI_INDICATORCLEARRANGE, 0UL, m_box->SendScintilla(Sci::SCI_GETLENGTH));
        }
        m_box->SendScintilla(Sci::SCI_CLEARDOCUMENTSTYLE);
        m_box->setFont(m_box->font());
    }
    if (tagColouring)
        m_tags->setEnabled(true);
}

void TagAssist::colourStyleSheets()
{
    if (!htmlColouring())
        return;
    const long lines = long(m_box->SendScintilla(Sci::SCI_GETLINECOUNT));
    const long first = long(m_box->SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE,
                                                 (unsigned long)m_box->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE)));
    const long last = std::min(lines - 1, first + long(m_box->SendScintilla(Sci::SCI_LINESONSCREEN)) + 1);
    const long shownFrom = long(m_box->SendScintilla(Sci::SCI_POSITIONFROMLINE, (unsigned long)first));
    const long shownTo = long(m_box->SendScintilla(Sci::SCI_GETLINEENDPOSITION, (unsigned long)last));
    for (int ind : kCssIndicators) {
        m_box->SendScintilla(Sci::SCI_SETINDICATORCURRENT, ind);
        m_box->SendScintilla(Sci::SCI_INDICATORCLEARRANGE, (unsigned long)shownFrom, long(shownTo - shownFrom));
    }
    // A style block that began up to this far above the screen is found.
    const long from = std::max(0L, shownFrom - 65536);
    if (shownTo <= from)
        return;
    QByteArray bytes(shownTo - from + 1, '\0');
    m_box->SendScintilla(Sci::SCI_GETTEXTRANGE, from, shownTo, bytes.data());
    bytes.truncate(shownTo - from);
    const QByteArray lower = bytes.toLower();

    auto fill = [&](int kind, qsizetype begin, qsizetype end) {
        const long a = std::max(from + long(begin), shownFrom);
        const long b = std::min(from + long(end), shownTo);
        if (b > a) {
            m_box->SendScintilla(Sci::SCI_SETINDICATORCURRENT, kCssIndicators[kind]);
            m_box->SendScintilla(Sci::SCI_INDICATORFILLRANGE, (unsigned long)a, long(b - a));
        }
    };
    auto css = [&](qsizetype i, qsizetype end) {
        enum { Selector, Property, Value } state = Selector;
        while (i < end) {
            const char c = bytes[i];
            if (c == '/' && i + 1 < end && bytes[i + 1] == '*') {
                const qsizetype close = bytes.indexOf("*/", i + 2);
                const qsizetype stop = close < 0 || close + 2 > end ? end : close + 2;
                fill(3, i, stop);
                i = stop;
            } else if (c == '{' || c == ';') {
                state = Property;
                ++i;
            } else if (c == '}') {
                state = Selector;
                ++i;
            } else if (c == ':' && state == Property) {
                state = Value;
                ++i;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',') {
                ++i;
            } else {
                qsizetype j = i;
                while (j < end && !QByteArrayView("{};, \t\r\n").contains(bytes[j])
                       && !(state == Property && bytes[j] == ':')
                       && !(bytes[j] == '/' && j + 1 < end && bytes[j + 1] == '*'))
                    ++j;
                fill(state == Selector ? 0 : state == Property ? 1 : 2, i, std::max(j, i + 1));
                i = std::max(j, i + 1);
            }
        }
    };
    for (qsizetype at = 0;;) {
        const qsizetype open = lower.indexOf("<style", at);
        const qsizetype body = open < 0 ? -1 : lower.indexOf('>', open);
        if (body < 0)
            break;
        const qsizetype close = lower.indexOf("</style", body);
        css(body + 1, close < 0 ? bytes.size() : close);
        if (close < 0)
            break;
        at = close + 7;
    }
}

void TagAssist::charAdded(int ch)
{
    if (!m_completion || m_box->composing() || m_box->isReadOnly())
        return;
    const bool nameChar = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '-';
    const bool active = m_box->SendScintilla(Sci::SCI_AUTOCACTIVE) != 0;
    if (!nameChar && ch != '<' && ch != '/' && ch != ' ') {
        if (active)
            m_box->SendScintilla(Sci::SCI_AUTOCCANCEL);
        return;
    }
    const long caret = long(m_box->SendScintilla(Sci::SCI_GETCURRENTPOS));
    const long line = long(m_box->SendScintilla(Sci::SCI_LINEFROMPOSITION, (unsigned long)caret));
    const long lineStart = long(m_box->SendScintilla(Sci::SCI_POSITIONFROMLINE, (unsigned long)line));
    auto from = [this, caret](long back, long floor) {
        const long at = std::max(floor, caret - back);
        return at <= floor ? floor : long(m_box->SendScintilla(Sci::SCI_POSITIONAFTER, (unsigned long)(at - 1)));
    };
    // Element and attribute names need the tag on this line; the open
    // elements a closing tag is offered from need the text before it.
    Completion c = completeAt(m_box->readRange(from(kLineWindowBytes, lineStart), caret));
    if (c.kind == CompletionKind::Closing)
        c = completeAt(m_box->readRange(from(long(kCompletionWindow) * 3, 0), caret));
    if (c.items.isEmpty()) {
        if (active)
            m_box->SendScintilla(Sci::SCI_AUTOCCANCEL);
        return;
    }
    const QByteArray list = c.items.join(QLatin1Char(' ')).toUtf8();
    m_box->SendScintilla(Sci::SCI_AUTOCSHOW, (unsigned long)c.prefix.toUtf8().size(), list.constData());
}

}  // namespace tw
