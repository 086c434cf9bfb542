#include "editor/tags/ui/tagassist.h"

#include "editor/tags/tagcompletion.h"
#include "editor/tags/ui/richtextbox.h"
#include "editor/tags/ui/taghighlighter.h"

#include <Qsci/qscilexerhtml.h>

#include <algorithm>

namespace tw {

namespace {
using Sci = QsciScintillaBase;
constexpr long kLineWindowBytes = 4096;
}  // namespace

TagAssist::TagAssist(RichTextBox* box, TagHighlighter* tagColouring)
    : QObject(box), m_box(box), m_tags(tagColouring), m_html(new QsciLexerHTML(this))
{
    connect(box, &QsciScintillaBase::SCN_CHARADDED, this, &TagAssist::charAdded);
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
        }
    } else if (htmlColouring()) {
        m_box->setLexer(nullptr);
        m_box->SendScintilla(Sci::SCI_CLEARDOCUMENTSTYLE);
        m_box->setFont(m_box->font());
    }
    if (tagColouring)
        m_tags->setEnabled(true);
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
