// The command table without a window: every entry of the menus, the context
// menu and the tool bars has a command, and every command does something.

#include "editor/commands/commandregistry.h"
#include "editor/document/editbuffer.h"
#include "editor/commands/editorwindow.h"
#include "tests/testkit/fakes.h"
#include "editor/session/menus.h"
#include "editor/session/session.h"
#include "tests/testkit/tempappfolder.h"

#include <QTest>

using namespace tw;
using namespace tw::test;

namespace {
// Records what the commands ask of the window.
struct RecordingWindow : EditorWindow {
    QStringList calls;
    void showSearch() override { calls << "showSearch"; }
    void showSnippetEditor() override { calls << "showSnippetEditor"; }
    void showOptions() override { calls << "showOptions"; }
    void chooseFolder() override { calls << "chooseFolder"; }
    void showPreviewWindow(const QString&) override { calls << "showPreviewWindow"; }
    void showBuilder(const QString& id) override { calls << "showBuilder " + id; }
    void showAbout() override { calls << "showAbout"; }
    void showPageSetting() override { calls << "showPageSetting"; }
    void printDocument() override { calls << "printDocument"; }
    void customizeToolBar(const QString& name) override { calls << "customizeToolBar " + name; }
    void applyLayout() override { calls << "applyLayout"; }
    void selectSourceTab() override { calls << "selectSourceTab"; }
    void refreshFileList() override { calls << "refreshFileList"; }
    void applyFilePattern() override { calls << "applyFilePattern"; }
    void focusEditBox() override {}
    void closeWindow() override { calls << "closeWindow"; }
    void titleChanged(const QString&) override { calls << "titleChanged"; }
    void panelFolderChanged(const QString&) override { calls << "panelFolderChanged"; }
    void historyChanged() override {}
    void snippetsChanged() override {}
    void browsersChanged() override {}
    void showPreview(const QString&) override { calls << "showPreview"; }
    void previewNotice(const QString&) override {}
};

void collect(const QList<MenuNode>& nodes, QStringList& ids)
{
    for (const MenuNode& n : nodes) {
        if (n.kind == MenuNode::Entry)
            ids << n.id;
        collect(n.children, ids);
    }
}

struct Headless {
    TempAppFolder app;
    FakePlatform fakes;
    MemoryEditBuffer buffer;
    RecordingWindow window;
    EditorSession session{buffer, fakes.platform(), app.path(), window};
    Headless()
    {
        WindowPlacement placement;
        session.loadSettings(placement);
        session.loadSnippets();
        session.startNewDocument();
    }
};
}  // namespace

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void everyEntryHasACommand();
    void everyCommandDoesSomething();
    void twoSubsystemsCannotClaimOneId();
};

void TestCommands::everyEntryHasACommand()
{
    Headless h;
    QStringList ids;
    collect(mainMenuBar(), ids);
    collect(contextMenuLayout(), ids);
    for (const QString& id : ids)
        QVERIFY2(h.session.commands().find(id), qPrintable(id));
    for (const ToolBarDef& bar : toolBars()) {
        int found = 0;
        for (const ToolButtonDef& b : bar.buttons)
            found += h.session.commands().findToolKey(bar.name, b.key) != nullptr;
        QVERIFY2(found > 0, qPrintable(bar.name));
    }
    // Tool-bar keys match exactly: "bold" is not "Bold".
    QVERIFY(!h.session.commands().findToolKey(QStringLiteral("Toolbar1"), QStringLiteral("bold")));
    // A twin runs its main-menu command.
    QCOMPARE(h.session.commands().find(QStringLiteral("IDM_CONTEXT_FONT_B")),
             h.session.commands().find(QStringLiteral("IDM_FORMAT_B")));
}

void TestCommands::everyCommandDoesSomething()
{
    // Each command from a fresh session with a selection, something on the
    // clipboard and a change to undo; every dialog it shows is cancelled.
    const QList<Command> all = Headless().session.commands().all();
    for (const Command& c : all) {
        Headless h;
        h.buffer.SetSelection(0, 9);
        h.buffer.ReplaceSelection(QStringLiteral("<p>ab</p>"));
        h.buffer.SetSelection(3, 2);
        h.fakes.clipboard.setText(QStringLiteral("clip"));
        h.fakes.downloader.fail({.ok = false, .status = 0, .error = QStringLiteral("no network")});
        for (int i = 0; i < 4; ++i) {
            h.fakes.files.answer(QString());
            h.fakes.colours.answer(0x0000FF);
            h.fakes.messages.answer(MsgResult::Cancel);
        }
        const QString text = h.buffer.text();
        const EditorSettings settings = h.session.settings();
        h.window.calls.clear();
        QVERIFY(h.session.commands().run(c.id));
        const bool snippetBeyondStore =
            c.id.startsWith(QLatin1String("IDM_TEIGATA_")) && c.id.mid(12).toInt() > int(h.session.snippets().size());
        const bool did = h.buffer.text() != text || !h.window.calls.isEmpty() || !h.fakes.files.requests.isEmpty()
                         || !h.fakes.messages.shown.isEmpty() || h.fakes.clipboard.text() != QLatin1String("clip")
                         || !h.fakes.launcher.started.isEmpty() || !h.fakes.launcher.opened.isEmpty()
                         || h.buffer.selectionLength() != 2 || h.session.preview().writes() > 0
                         || !h.fakes.downloader.requests.isEmpty() || settings.Preview != h.session.settings().Preview;
        QVERIFY2(did || snippetBeyondStore, qPrintable(c.id));
    }
}

void TestCommands::twoSubsystemsCannotClaimOneId()
{
    Headless h;
    CommandRegistry& r = h.session.commands();
    const auto noop = [] {};
    QVERIFY(!r.add({.id = QStringLiteral("IDM_NEW"), .run = noop}));
    QVERIFY(!r.add({.id = QStringLiteral("X"), .contextId = QStringLiteral("IDM_CONTEXT_CUT"), .run = noop}));
    QVERIFY(!r.add({.id = QStringLiteral("Y"),
                    .toolBar = QStringLiteral("Toolbar1"),
                    .toolKey = QStringLiteral("New"),
                    .run = noop}));
    QVERIFY(!r.add({.id = QStringLiteral("Z")}));  // no handler: an entry that runs nothing
    QVERIFY(r.add({.id = QStringLiteral("Z"), .run = noop}));
}

QTEST_GUILESS_MAIN(TestCommands)
#include "tst_commands.moc"
