#include "tests/testkit/editorfixture.h"

#include "editor/session/shippedfiles.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace tw::test {

EditorFixture::~EditorFixture() = default;

void EditorFixture::start(const QByteArray& ini, const EditorSetup& setup)
{
    const QString folder = setup.appFolder.isEmpty() ? app.path() : setup.appFolder;
    if (setup.shippedSettings)
        installShippedSettingFiles(folder);
    if (!ini.isNull()) {
        QFile f(folder + QStringLiteral("/tools/Setting/quillet.ini"));
        QDir().mkpath(QFileInfo(f).path());
        if (!f.open(QIODevice::WriteOnly) || f.write(ini) != ini.size())
            qFatal("cannot write quillet.ini");
    }
    QuilletContext ctx{fakes.platform(), folder, setup.commandLine, setup.browserEngine};
    if (setup.adjust)
        setup.adjust(ctx);
    w = std::make_unique<MainFrm>(ctx);
    w->load();
    if (setup.size.isValid())
        w->resize(setup.size);
    w->show();
    if (setup.activate)
        QApplication::setActiveWindow(w.get());
    if (setup.waitExposed || setup.activate)
        shown = QTest::qWaitForWindowExposed(w.get());
    if (setup.activate)
        box()->setFocus();
}

void EditorFixture::discardAndClose()
{
    if (!w)
        return;
    fakes.messages.answer(MsgResult::No);
    w->close();
}

RichTextBox* EditorFixture::box() const
{
    return w->findChild<RichTextBox*>(QStringLiteral("RichTextBox1"));
}

QAction* EditorFixture::act(const char* id) const
{
    return w->action(QString::fromLatin1(id));
}

}  // namespace tw::test
