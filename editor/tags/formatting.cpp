#include "editor/tags/formatting.h"
#include "editor/commands/commandids.h"

#include "editor/document/editbuffer.h"

namespace tw {

namespace {

QList<WrapCommand> buildWrapCommands()
{
    auto S = [](const char* s) { return QString::fromUtf8(s); };
    QList<WrapCommand> c = {
        {S(cmd::IDM_FORMAT_B), S("太字(&B)"), S("Ctrl+B"), S(cmd::IDM_CONTEXT_FONT_B), S("太字(&B)"), S("<B>"),
         S("</B>")},
        {S(cmd::IDM_FORMAT_I), S("イタリック(&I)"), S("Ctrl+I"), S(cmd::IDM_CONTEXT_FONT_I), S("イタリック(&I)"),
         S("<I>"), S("</I>")},
        {S(cmd::IDM_FORMAT_U), S("下線(&U)"), S("Ctrl+U"), S(cmd::IDM_CONTEXT_FONT_U), S("下線(&U)"), S("<U>"),
         S("</U>")},
        {S(cmd::IDM_FORMAT_S),
         S("取り消し線(&S)"),
         {},
         S(cmd::IDM_CONTEXT_FONT_S),
         S("取り消し線(&S)"),
         S("<S>"),
         S("</S>")},
        {S(cmd::IDM_FORMAT_STRONG),
         S("強調"),
         {},
         S(cmd::IDM_CONTEXT_FONT_STRONG),
         S("強調"),
         S("<STRONG>"),
         S("</STRONG>")},
        {S(cmd::IDM_FORMAT_BLINK), S("点滅(NetScapeのみ)"), {}, {}, {}, S("<BLINK>"), S("</BLINK>")},
        {S(cmd::IDM_FORMAT_BIG),
         S("文字を大きく"),
         {},
         S(cmd::IDM_CONTEXT_FONT_BIG),
         S("文字を大きく"),
         S("<BIG>"),
         S("</BIG>")},
        {S(cmd::IDM_FORMAT_SMALL),
         S("文字を小さく"),
         {},
         S(cmd::IDM_CONTEXT_FONT_SMALL),
         S("文字を小さく"),
         S("<SMALL>"),
         S("</SMALL>")},
        {S(cmd::IDM_FORMAT_PRE),
         S("整形済みテキスト(べた書き)"),
         {},
         S(cmd::IDM_CONTEXT_FONT_PRE),
         S("整形済みテキスト(べた書き)"),
         S("<PRE>"),
         S("</PRE>")},
        {S(cmd::IDM_FORMAT_BLOCKQUOTE),
         S("引用"),
         {},
         S(cmd::IDM_CONTEXT_FONT_BLOCKQUOTE),
         S("引用"),
         S("<BLOCKQUOTE>"),
         S("</BLOCKQUOTE>")},
        {S(cmd::IDM_FORMAT_SUP),
         S("上付き(&P)"),
         {},
         S(cmd::IDM_CONTEXT_FONT_SUP),
         S("上付き(&P)"),
         S("<SUP>"),
         S("</SUP>")},
        {S(cmd::IDM_FORMAT_SUB),
         S("下付き(&C)"),
         {},
         S(cmd::IDM_CONTEXT_FONT_SUB),
         S("下付き(&C)"),
         S("<SUB>"),
         S("</SUB>")},
        {S(cmd::IDM_LEFT),
         S("左揃え(&L)"),
         {},
         S(cmd::IDM_CONTEXT_ALIGN_LEFT),
         S("左揃え"),
         S("<P align=\"left\">"),
         S("</P>")},
        {S(cmd::IDM_CENTER), S("中央揃え(&E)"), S("Ctrl+E"), S(cmd::IDM_CONTEXT_ALIGN_CENTER), S("中央揃え"),
         S("<P align=\"center\">"), S("</P>")},
        {S(cmd::IDM_RIGHT), S("右揃え(&R)"), S("Ctrl+R"), S(cmd::IDM_CONTEXT_ALIGN_RIGHT), S("右揃え"),
         S("<P align=\"right\">"), S("</P>")},
    };
    for (int n = 1; n <= 6; ++n) {
        const QString d = QString::number(n);
        c.append({S(cmd::IDM_FORMAT_H) + d, S("見出し") + d + S("(&") + d + S(")"), S("F") + d,
                  S(cmd::IDM_CONTEXT_FONT_H_H) + d, S("見出し") + d, S("<H") + d + S(">"), S("</H") + d + S(">")});
    }
    c.append({S(cmd::IDM_INSERT_BR), S("改行(&B)"), {}, S(cmd::IDM_CONTEXT_INSERT_BR), S("改行(&B)"), S("<BR>"), {}});
    c.append({S(cmd::IDM_INSERT_HR),
              S("水平線(&H)"),
              S("Ctrl+H"),
              S(cmd::IDM_CONTEXT_INSERT_HR),
              S("水平線(&H)"),
              S("<hr>"),
              {}});
    return c;
}

}  // namespace

const QList<WrapCommand>& wrapCommands()
{
    static const QList<WrapCommand> commands = buildWrapCommands();
    return commands;
}

const WrapCommand* findWrapCommand(const QString& id)
{
    if (id.isEmpty())
        return nullptr;
    for (const WrapCommand& c : wrapCommands())
        if (c.id == id || c.contextId == id)
            return &c;
    return nullptr;
}

void runWrapCommand(EditBuffer& buffer, const WrapCommand& cmd)
{
    if (cmd.end.isEmpty())
        buffer.ReplaceSelection(cmd.start);
    else
        buffer.WrapSelection(cmd.start, cmd.end);
}

const QList<ToolButtonDef>& toolbar2Buttons()
{
    static const QList<ToolButtonDef> buttons = {
        {QStringLiteral("Br"), QStringLiteral("BR"), QStringLiteral("改行"), QStringLiteral("tw-br")},
        {QStringLiteral("Hr"), QStringLiteral("HR"), QStringLiteral("水平線"), QStringLiteral("tw-hr")},
        {QStringLiteral("P"), QStringLiteral("P"), QStringLiteral("段落"), QStringLiteral("tw-paragraph")},
        {QStringLiteral("<"), QStringLiteral("<"), QStringLiteral("<"), QStringLiteral("tw-lt")},
        {QStringLiteral(">"), QStringLiteral(">"), QStringLiteral(">"), QStringLiteral("tw-gt")},
        {QStringLiteral("&"), QStringLiteral("＆"), QStringLiteral("アンパサンド"), QStringLiteral("tw-amp")},
        {QStringLiteral("dbc"), QStringLiteral("\""), QStringLiteral("ダブルコーテーション"),
         QStringLiteral("tw-quote")},
        {QStringLiteral("sp"), QStringLiteral("sp"), QStringLiteral("半角スペース"), QStringLiteral("tw-space")},
        {QStringLiteral("time"), QStringLiteral("Time"), QStringLiteral("現在の時刻の挿入"), QStringLiteral("tw-time")},
        {QStringLiteral("cm"), QStringLiteral("コメント"), QStringLiteral("コメント文"), QStringLiteral("tw-comment")},
    };
    return buttons;
}

const QList<ToolButtonDef>& toolbar3Buttons()
{
    static const QList<ToolButtonDef> buttons = [] {
        QList<ToolButtonDef> b;
        for (int n = 1; n <= 5; ++n)
            b.append({QStringLiteral("h%1").arg(n), QStringLiteral("H%1").arg(n), QStringLiteral("見出し%1").arg(n),
                      QStringLiteral("tw-heading")});
        return b;
    }();
    return buttons;
}

bool runToolbar2Key(EditBuffer& buffer, const QString& key, const QString& timeText)
{
    if (key == QLatin1String("P"))
        buffer.WrapSelection(QStringLiteral("<p>"), QStringLiteral("</p>"));
    else if (key == QLatin1String("Br"))
        buffer.ReplaceSelection(QStringLiteral("<br>"));
    else if (key == QLatin1String("Hr"))
        buffer.ReplaceSelection(QStringLiteral("<hr>"));
    else if (key == QLatin1String("<"))
        buffer.ReplaceSelection(QStringLiteral("&lt;"));
    else if (key == QLatin1String(">"))
        buffer.ReplaceSelection(QStringLiteral("&gt;"));
    else if (key == QLatin1String("&"))
        buffer.ReplaceSelection(QStringLiteral("&amp;"));
    else if (key == QLatin1String("dbc"))
        buffer.ReplaceSelection(QStringLiteral("&quot;"));
    else if (key == QLatin1String("sp"))
        buffer.ReplaceSelection(QStringLiteral("&nbsp;"));
    else if (key == QLatin1String("time"))
        buffer.ReplaceSelection(timeText);
    else if (key == QLatin1String("cm"))
        buffer.WrapSelection(QStringLiteral("<!--\r\n"), QStringLiteral("\r\n-->"));
    else
        return false;
    return true;
}

QString toolbar3Command(const QString& key)
{
    for (int n = 1; n <= 5; ++n)
        if (key == QStringLiteral("h%1").arg(n))
            return QStringLiteral("IDM_FORMAT_H%1").arg(n);
    return {};
}

QString ColourToHex(std::uint32_t colour)
{
    QString hex = QStringLiteral("0000") + QString::number(colour, 16).toUpper();
    hex = hex.right(6);
    return hex.right(2) + hex.mid(2, 2) + hex.left(2);
}

QString dateTimeText(const QDateTime& t)
{
    return t.toString(QStringLiteral("yyyy/MM/dd H:mm:ss"));
}

QString upperCaseText(const QString& text)
{
    return text.toUpper();
}

QString lowerCaseText(const QString& text)
{
    return text.toLower();
}

}  // namespace tw
