#include "editor/document/ui/boxaccessible.h"

#include "editor/document/ui/richtextbox.h"

#include <QAccessibleWidget>

namespace tw {

namespace {

// What assistive tools see of the box: its text, caret and selection in
// the document's own offsets, found through the box's line index. (The box's
// own accessible counts characters from the start of the page at every
// caret move.)
class RichTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit RichTextAccessible(RichTextBox* box) : QAccessibleWidget(box, QAccessible::EditableText), m_box(box) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    void selection(int index, int* start, int* end) const override
    {
        *start = *end = 0;
        if (index == 0 && selectionCount() == 1) {
            *start = int(m_box->toOffset(send(QsciScintillaBase::SCI_GETSELECTIONSTART)));
            *end = int(m_box->toOffset(send(QsciScintillaBase::SCI_GETSELECTIONEND)));
        }
    }
    int selectionCount() const override
    {
        return send(QsciScintillaBase::SCI_GETSELECTIONSTART) != send(QsciScintillaBase::SCI_GETSELECTIONEND) ? 1 : 0;
    }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { setCursorPosition(cursorPosition()); }
    void setSelection(int, int start, int end) override
    {
        m_box->SendScintilla(QsciScintillaBase::SCI_SETSEL, (unsigned long)m_box->toPosition(start),
                             long(m_box->toPosition(end)));
    }
    int cursorPosition() const override { return int(m_box->toOffset(send(QsciScintillaBase::SCI_GETCURRENTPOS))); }
    void setCursorPosition(int offset) override
    {
        m_box->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, (unsigned long)m_box->toPosition(offset));
    }
    QString text(int start, int end) const override
    {
        const qsizetype from = m_box->toPosition(start);
        const qsizetype to = m_box->toPosition(end);
        return m_box->readRange(long(from), long(to));
    }
    QString text(QAccessible::Text t) const override { return QAccessibleWidget::text(t); }
    int characterCount() const override { return int(m_box->toOffset(send(QsciScintillaBase::SCI_GETLENGTH))); }
    QRect characterRect(int offset) const override
    {
        const long pos = long(m_box->toPosition(offset));
        const int x = int(send(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, pos));
        const int y = int(send(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, pos));
        const int h = int(send(QsciScintillaBase::SCI_TEXTHEIGHT, 0, 0));
        const QPoint topLeft = m_box->viewport()->mapToGlobal(QPoint(x, y));
        return QRect(topLeft, QSize(std::max(1, h / 2), h));
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        const QPoint local = m_box->viewport()->mapFromGlobal(point);
        const long pos = send(QsciScintillaBase::SCI_POSITIONFROMPOINTCLOSE, (unsigned long)local.x(), local.y());
        return pos < 0 ? -1 : int(m_box->toOffset(pos));
    }
    void scrollToSubstring(int start, int) override
    {
        m_box->SendScintilla(QsciScintillaBase::SCI_SCROLLRANGE, (unsigned long)m_box->toPosition(start),
                             long(m_box->toPosition(start)));
    }
    QString attributes(int offset, int* start, int* end) const override
    {
        *start = *end = offset;
        return QString();
    }

private:
    long send(unsigned int msg, unsigned long w = 0, long l = 0) const { return m_box->SendScintilla(msg, w, l); }

    RichTextBox* m_box;
};

QAccessibleInterface* accessibleFor(const QString& className, QObject* object)
{
    if (className == QLatin1String(RichTextBox::staticMetaObject.className()))
        if (auto* box = qobject_cast<RichTextBox*>(object))
            return new RichTextAccessible(box);
    return nullptr;
}

}  // namespace

void installBoxAccessible()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    (void)installed;
}

}  // namespace tw
