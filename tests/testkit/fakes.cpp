#include "tests/testkit/fakes.h"

#include <QFile>

namespace tw::test {

namespace {
[[noreturn]] void unscripted(const char* what, const QString& detail)
{
    qFatal("%s shown without a scripted answer: %s", what, qPrintable(detail));
}
}  // namespace

MsgResult FakeMessageBoxes::show(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons)
{
    shown.append({text, title, icon, buttons});
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    if (buttons == MsgButtons::Ok)
        return MsgResult::Ok;
    if (defaultAnswer)
        return *defaultAnswer;
    unscripted("message box", text);
}

QString FakeFileDialogs::run(const FileDialogRequest& request)
{
    requests.append(request);
    if (m_answers.isEmpty())
        unscripted("file dialog", request.title);
    return applyDefaultExtension(m_answers.dequeue(), request.defaultExt);
}

std::optional<std::uint32_t> FakeColourDialogs::pick()
{
    ++asked;
    if (m_answers.isEmpty())
        unscripted("colour dialog", QString());
    return m_answers.dequeue();
}

QString FakeFolderDialogs::chooseFolder(const QString& title, const QString& startFolder)
{
    asked.append(startFolder);
    if (m_answers.isEmpty())
        unscripted("folder dialog", title);
    return m_answers.dequeue();
}

std::optional<QString> FakeTextPrompt::ask(const QString& title, const QString& label, const QString&)
{
    asked.append(label);
    if (m_answers.isEmpty())
        unscripted("text prompt", title);
    return m_answers.dequeue();
}

DownloadResult FakeDownloader::download(const DownloadRequest& request)
{
    requests.append(request);
    if (m_answers.isEmpty())
        unscripted("download", request.url);
    const auto [bytes, failure] = m_answers.dequeue();
    if (!failure.error.isEmpty())
        return failure;
    QFile f(request.target);
    DownloadResult r;
    r.status = 200;
    r.ok = f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    return r;
}

Result FakeLauncher::startDetached(const QString& program, const QStringList& args, const QString& workingDir)
{
    started.append({program, args, workingDir});
    return succeed ? Result::success() : Result::failure(QStringLiteral("start refused by test"));
}

Result FakeLauncher::openWithDesktop(const QString& pathOrUrl)
{
    opened.append(pathOrUrl);
    return succeed ? Result::success() : Result::failure(QStringLiteral("open refused by test"));
}

}  // namespace tw::test
