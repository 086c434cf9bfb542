#include "snipport/convert.h"

#include "common/appfolder.h"
#include "editor/snippets/snippetfile.h"
#include "editor/snippets/snippetstore.h"
#include "common/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>

#include <unistd.h>

namespace tw {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

void tell(MessageBoxes* boxes, const QString& text, MsgIcon icon = MsgIcon::None)
{
    boxes->show(text, snipportTitle(), icon, MsgButtons::Ok);
}

// Writes the lines converted so far; a failure is returned as a message.
QString writeConverted(const QString& path, const QStringList& lines)
{
    const WriteResult written = writeLines(path, lines, TextEncoding::Cp932);
    if (written.ok)
        return QString();
    return QStringLiteral("[teigata_Conv.csv]を書き込めませんでした。") + kCrLf + written.error;
}

}  // namespace

QString snipportTitle()
{
    return QStringLiteral("Snipport");
}

QString snipportQuestion()
{
    return QStringLiteral("Ver.1台の定型文設定ファイルをVer.2以降用に変換します。") + kCrLf
           + QStringLiteral("事前にこの実行ファイルと同じフォルダに古い[teigata.csv]をコピーしてください。") + kCrLf
           + QStringLiteral("OKを押すと、同ディレクトリにある[teigata.csv]ファイルを変換します。");
}

QString snipportCreatedMessage()
{
    return QStringLiteral("設定ファイルが見つからなかったので新たに作成しました");
}

QString snipportRefusedMessage()
{
    return QStringLiteral("既にVer.2用の設定ファイルか、データが不整合なため変換できません");
}

QString snipportConvertedMessage()
{
    return QStringLiteral("正常に変換されました");
}

int countVersion1Commas(const QString& line)
{
    int count = 0;
    for (qsizetype i = 1; i < line.size(); ++i) {
        if (line.at(i) == u',')
            ++count;
    }
    return count;
}

std::optional<QString> convertVersion1Line(const QString& line)
{
    if (countVersion1Commas(line) != 2)
        return std::nullopt;
    // A leading comma passes the count with three commas in the line: a
    // version 2 line with an empty title, or a broken one. Either way three
    // fields cannot be cut from it without losing a piece.
    if (line.startsWith(u','))
        return std::nullopt;
    const QStringList pieces = line.split(u',');
    return snippetFileLine(TeigataEntry{pieces.at(0), pieces.at(1), QString(), pieces.at(2)});
}

SnipportOutcome runSnipport(const QString& folder, MessageBoxes* boxes)
{
    if (boxes->show(snipportQuestion(), snipportTitle(), MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes)
        return SnipportOutcome::Declined;

    const QString source = joinPath(folder, QStringLiteral("teigata.csv"));
    const QString converted = joinPath(folder, QStringLiteral("teigata_Conv.csv"));
    const QString backup = joinPath(folder, QStringLiteral("teigata.bak"));

    if (!QFileInfo::exists(source)) {
        const WriteResult written = SaveSnippetFile(defaultSnippets(), source);
        if (!written.ok) {
            tell(boxes, QStringLiteral("[teigata.csv]を作成できませんでした。") + kCrLf + written.error,
                 MsgIcon::Critical);
            return SnipportOutcome::Failed;
        }
        tell(boxes, snipportCreatedMessage());
        return SnipportOutcome::CreatedDefaults;
    }

    const ReadResult read = readTextFile(source, TextKind::Data);
    if (!read.ok) {
        tell(boxes, QStringLiteral("[teigata.csv]を読み込めませんでした。") + kCrLf + read.error, MsgIcon::Critical);
        return SnipportOutcome::Failed;
    }
    QStringList lines;
    if (!read.text.isEmpty()) {
        lines = read.text.split(kCrLf);
        if (read.text.endsWith(kCrLf))
            lines.removeLast();
    }

    QStringList out;
    out.reserve(lines.size());
    for (const QString& line : lines) {
        const std::optional<QString> v2 = convertVersion1Line(line);
        if (!v2) {
            // The lines before this one are left in teigata_Conv.csv for a look;
            // teigata.csv itself is untouched.
            writeConverted(converted, out);
            tell(boxes, snipportRefusedMessage());
            return SnipportOutcome::Refused;
        }
        out.append(*v2);
    }

    if (const QString problem = writeConverted(converted, out); !problem.isEmpty()) {
        tell(boxes, problem, MsgIcon::Critical);
        return SnipportOutcome::Failed;
    }

    // Renaming the old file would fail half-way over an existing backup;
    // stop while every file still has its old name.
    if (QFileInfo::exists(backup)) {
        tell(boxes,
             QStringLiteral("[teigata.bak]が既にあるため、変換を中止しました。") + kCrLf
                 + QStringLiteral("[teigata.bak]を別のフォルダに移すか削除してから、もう一度実行してください。") + kCrLf
                 + QStringLiteral("[teigata.csv]は変更していません。"),
             MsgIcon::Warning);
        return SnipportOutcome::BackupExists;
    }

    // teigata.csv exists at every moment of the switch, so a program killed
    // half-way never leaves the folder without it: the old file gets its
    // second name teigata.bak first, then the converted file replaces
    // teigata.csv in one step.
    const QByteArray sourceName = QFile::encodeName(source);
    const QByteArray backupName = QFile::encodeName(backup);
    if (::link(sourceName.constData(), backupName.constData()) != 0) {
        const int e = errno;
        // A folder that cannot hold a second name for a file gets a copy.
        const bool copied = e != EEXIST && QFile::copy(source, backup);
        if (!copied) {
            tell(boxes,
                 QStringLiteral("[teigata.bak]を作成できませんでした。") + kCrLf + fileErrorText(e) + kCrLf
                     + QStringLiteral("[teigata.csv]は変更していません。"),
                 MsgIcon::Critical);
            return e == EEXIST ? SnipportOutcome::BackupExists : SnipportOutcome::Failed;
        }
    }
    if (::rename(QFile::encodeName(converted).constData(), sourceName.constData()) != 0) {
        const int e = errno;
        ::unlink(backupName.constData());
        tell(boxes,
             QStringLiteral("[teigata_Conv.csv]の名前を[teigata.csv]に変更できませんでした。") + kCrLf
                 + fileErrorText(e) + kCrLf + QStringLiteral("[teigata.csv]は変更していません。"),
             MsgIcon::Critical);
        return SnipportOutcome::Failed;
    }

    tell(boxes, snipportConvertedMessage());
    return SnipportOutcome::Converted;
}

}  // namespace tw
