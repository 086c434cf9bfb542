#include "editor/snippets/snippettext.h"

namespace tw {

namespace {
const QString kStoredBreak = QStringLiteral("\\n");
const QString kStoredTab = QStringLiteral("\\t");
const QString kCrLf = QStringLiteral("\r\n");
}  // namespace

QString DecodeSnippetText(const QString& stored)
{
    QString text = stored;
    text.replace(kStoredBreak, kCrLf);
    text.replace(kStoredTab, QStringLiteral("\t"));
    return text;
}

QString decodeHotKeyText(const QString& stored)
{
    QString text = stored;
    text.replace(kStoredBreak, kCrLf);
    return text;
}

QString EncodeLineBreaks(const QString& shown)
{
    QString out;
    out.reserve(shown.size() + 8);
    const qsizetype n = shown.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = shown.at(i);
        if (c == u'\r') {
            if (i + 1 < n && shown.at(i + 1) == u'\n')
                ++i;
            out += kStoredBreak;
        } else if (c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            out += kStoredBreak;
        } else {
            out += c;
        }
    }
    return out;
}

QString DecodeLineBreaks(const QString& stored)
{
    return decodeHotKeyText(stored);
}

}  // namespace tw
