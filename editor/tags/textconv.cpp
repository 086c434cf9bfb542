#include "editor/tags/textconv.h"

#include "editor/document/editbuffer.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cstring>

namespace tw {

namespace {

void copyChars(char16_t*& out, const char16_t* from, qsizetype n)
{
    std::memcpy(out, from, std::size_t(n) * sizeof(char16_t));
    out += n;
}

void appendReference(QString& out, char32_t code)
{
    out += QLatin1String("&#");
    out += QString::number(quint32(code));
    out += u';';
}

}  // namespace

QString textToHtmlBlock(const QString& selected)
{
    return QStringLiteral("<pre>\r\n") + selected + QStringLiteral("\r\n</pre>");
}

namespace {
const QString kPageHead = QStringLiteral(
    "<html lang=\"ja\">\r\n"
    "<head><title>タイトル</title></head>\r\n"
    "<body>\r\n"
    "<pre>\r\n");
const QString kPageTail = QStringLiteral("\r\n</pre>\r\n</body>\r\n</html>");
}  // namespace

QString textToHtmlPage(const QString& text)
{
    return kPageHead + text + kPageTail;
}

void runTextToHtml(EditBuffer& buffer)
{
    if (buffer.selectionLength() != 0) {
        buffer.ReplaceSelection(textToHtmlBlock(buffer.selectedText()));
        return;
    }
    // The page frames the text: two insertions, the text itself stays where
    // it is (one change; the caret at the start, as after replacing the text).
    buffer.replaceRanges({TextEdit{buffer.length(), QString(), kPageTail}, TextEdit{0, QString(), kPageHead}});
    buffer.SetSelection(0, 0);
}

QString AngouStr(const QString& text, const RandomBelow& random)
{
    QString out;
    out.reserve(text.size() * 6);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = text.at(i);
        char32_t code = c.unicode();
        qsizetype units = 1;
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, text.at(i + 1));
            units = 2;
        }
        const int r = random(11);
        const bool alwaysPlain =
            code == u'\r' || code == u'\n' || code == u'<' || code == u'>' || code == u'"' || QChar::isSurrogate(code);
        if (alwaysPlain || (i > 0 && code != u'&' && r < 3))
            out.append(text.constData() + i, units);
        else
            appendReference(out, code);
        i += units;
    }
    return out;
}

QString AngouStr(const QString& text)
{
    QRandomGenerator generator(QRandomGenerator::system()->generate());
    return AngouStr(text, [&generator](int bound) { return int(generator.bounded(bound)); });
}

void runAngou(EditBuffer& buffer, const RandomBelow& random)
{
    buffer.ReplaceSelection(AngouStr(buffer.selectedText(), random));
}

void runAngou(EditBuffer& buffer)
{
    buffer.ReplaceSelection(AngouStr(buffer.selectedText()));
}

QString NumberLines(const QString& text)
{
    if (text.isEmpty())
        return QString();
    const char16_t* s = QStringView(text).utf16();
    const qsizetype n = text.size();

    qsizetype lines = 1;
    for (qsizetype at = text.indexOf(u'\n', 1); at >= 0; at = text.indexOf(u'\n', at + 1))
        if (s[at - 1] == u'\r')
            ++lines;
    int width = 1;
    for (qsizetype m = lines; m >= 10; m /= 10)
        ++width;

    // Each line break gives way to the next number, colon and break.
    QString out(n - 2 * (lines - 1) + lines * (width + 3), Qt::Uninitialized);
    char16_t* o = reinterpret_cast<char16_t*>(out.data());
    char16_t number[24];
    std::fill(number, number + width, u'0');
    const auto putNumber = [&] {
        // Counting up in place keeps the zero padding without formatting each number.
        for (int d = width - 1; d >= 0; --d) {
            if (number[d] != u'9') {
                ++number[d];
                break;
            }
            number[d] = u'0';
        }
        copyChars(o, number, width);
        *o++ = u':';
    };

    qsizetype from = 0;
    for (qsizetype at = text.indexOf(u'\n', 1); at >= 0; at = text.indexOf(u'\n', at + 1)) {
        if (s[at - 1] != u'\r')
            continue;
        putNumber();
        copyChars(o, s + from, at + 1 - from);
        from = at + 1;
    }
    putNumber();
    copyChars(o, s + from, n - from);
    *o++ = u'\r';
    *o++ = u'\n';
    Q_ASSERT(o == reinterpret_cast<char16_t*>(out.data()) + out.size());
    return out;
}

void runNumberLines(EditBuffer& buffer)
{
    if (buffer.selectionLength() != 0)
        buffer.ReplaceSelection(NumberLines(buffer.selectedText()));
    else
        buffer.SetText(NumberLines(buffer.text()));
}

// Removing a tag never brings an earlier "<" into view (the removed one was
// the first), so restarting from the beginning finds the same "<" as going on
// from the cut: one scan gives the same text.
QString EraseTags(const QString& text)
{
    qsizetype lt = text.indexOf(u'<');
    if (lt < 0)
        return text;
    qsizetype gt = text.indexOf(u'>', lt + 1);
    if (gt < 0)
        return text;
    const char16_t* s = QStringView(text).utf16();
    QString out(text.size(), Qt::Uninitialized);
    char16_t* o = reinterpret_cast<char16_t*>(out.data());
    qsizetype from = 0;
    while (lt >= 0) {
        gt = text.indexOf(u'>', lt + 1);
        if (gt < 0)
            break;
        copyChars(o, s + from, lt - from);
        from = gt + 1;
        lt = text.indexOf(u'<', from);
    }
    copyChars(o, s + from, text.size() - from);
    out.truncate(o - reinterpret_cast<const char16_t*>(out.constData()));
    return out;
}

void runEraseTags(EditBuffer& buffer)
{
    const QString selected = buffer.selectedText();
    if (!selected.isEmpty())
        buffer.ReplaceSelection(EraseTags(selected));
    else
        buffer.SetText(EraseTags(buffer.text()));
}

}  // namespace tw
