#include "stylesheet/styleoutput.h"

#include "common/appfolder.h"
#include "common/textfile.h"

namespace tw::velmora {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
// The address of the sample page's link.
const QString kHomePage = QStringLiteral("http://www.example.com/");
}  // namespace

QString SamplePageText(const QString& style)
{
    const QStringList lines = {
        QStringLiteral("<HTML>"),
        QStringLiteral("<HEAD>"),
        QStringLiteral("<TITLE>タイトル</TITLE>"),
        QStringLiteral("<style type=\"text/css\" >"),
        QStringLiteral("<!--"),
        style,
        QStringLiteral("-->"),
        QStringLiteral("</style>"),
        QStringLiteral("</HEAD>"),
        QStringLiteral("<BODY>"),
        QStringLiteral("<CENTER><H1>タイトル</H1></CENTER>"),
        QStringLiteral("<P>テスト</P>"),
        QStringLiteral("<P><A href=\"") + kHomePage + QStringLiteral("\">リンクのテスト</A></P>"),
        QStringLiteral("<UL>"),
        QStringLiteral("<LI>表のテスト"),
        QStringLiteral("</UL>"),
        QString(),
        QStringLiteral("<TABLE border=\"1\">"),
        QStringLiteral("<TR>"),
        QStringLiteral("<TD>項目１</TD>"),
        QStringLiteral("<TD>項目2</TD>"),
        QStringLiteral("</TR>"),
        QStringLiteral("<TR>"),
        QStringLiteral("<TD>データ1</TD>"),
        QStringLiteral("<TD>データ2</TD>"),
        QStringLiteral("</TR>"),
        QStringLiteral("</TABLE>"),
        QStringLiteral("</BODY>"),
        QStringLiteral("</HTML>"),
    };
    return lines.join(kCrLf);
}

QString outputFileText(OutputFormat format, const QString& style)
{
    return (format == OutputFormat::Html ? SamplePageText(style) : style) + kCrLf;
}

QString proposedFileName(OutputFormat format)
{
    return format == OutputFormat::Html ? QStringLiteral("htmltest.htm") : QStringLiteral("styletest.css");
}

SaveResult saveStyleOutput(const Platform& platform, OutputFormat format, const QString& style,
                           const QString& startFolder)
{
    FileDialogRequest request;
    request.save = true;
    request.title = QStringLiteral("スタイルシートの出力");
    request.filter = QStringLiteral("すべてのファイル (*.*)|*.*");
    request.initialPath = joinPath(startFolder, proposedFileName(format));

    SaveResult r;
    r.path = platform.files->run(request);
    if (r.path.isEmpty())
        return r;
    // The text box may hold bare LF breaks; the file gets CR LF throughout.
    const WriteResult written =
        writeTextFile(r.path, normaliseLineBreaks(outputFileText(format, style)), {TextEncoding::Cp932, LineEnd::CrLf});
    if (!written.ok) {
        platform.messages->show(written.error, QStringLiteral("Velmoraβ"), MsgIcon::Warning, MsgButtons::Ok);
        r.outcome = SaveOutcome::Failed;
        return r;
    }
    r.outcome = SaveOutcome::Saved;
    return r;
}

}  // namespace tw::velmora
