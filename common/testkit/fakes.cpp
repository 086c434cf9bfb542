#include "fakes.h"

namespace tw::test {

MsgResult FakeMessageBoxes::show(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons)
{
    shown.append({text, title, icon, buttons});
    return m_answers.isEmpty() ? defaultAnswer : m_answers.dequeue();
}

QString FakeFileDialogs::run(const FileDialogRequest& request)
{
    requests.append(request);
    const QString path = m_answers.isEmpty() ? QString() : m_answers.dequeue();
    return applyDefaultExtension(path, request.defaultExt);
}

std::optional<std::uint32_t> FakeColourDialogs::pick()
{
    ++asked;
    return m_answers.isEmpty() ? std::nullopt : m_answers.dequeue();
}

bool FakeLauncher::startDetached(const QString& program, const QStringList& args, const QString& workingDir,
                                 QString* error)
{
    started.append({program, args, workingDir});
    if (!succeed && error)
        *error = QStringLiteral("start refused by test");
    return succeed;
}

bool FakeLauncher::openWithDesktop(const QString& pathOrUrl, QString* error)
{
    opened.append(pathOrUrl);
    if (!succeed && error)
        *error = QStringLiteral("open refused by test");
    return succeed;
}

}  // namespace tw::test
