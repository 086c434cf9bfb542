#include "editor/shell/helpcommands.h"
#include "editor/commands/commandids.h"

#include "common/appfolder.h"
#include "editor/commands/commandregistry.h"
#include "editor/commands/editorwindow.h"
#include "editor/shell/versioncheck.h"

namespace tw {

QString helpIndexPath(const QString& appFolder)
{
    return joinPath(appFolder, QStringLiteral("help/index.html"));
}

void registerHelpCommands(CommandRegistry& r, const HelpCommandContext& c)
{
    const Platform platform = c.platform;
    const QString app = c.appFolder;
    VersionCheck& check = c.versionCheck;
    EditorWindow& window = c.window;
    auto S = [](const char* s) { return QString::fromUtf8(s); };

    // The desktop's browser reports a missing page itself; a desktop that
    // cannot open it at all is reported here.
    r.add({.id = S(cmd::IDM_HELPDOCUMENT), .caption = S("ヘルプ(&H)"), .run = [platform, app] {
               const Result opened = platform.launcher->openWithDesktop(helpIndexPath(app));
               if (!opened)
                   platform.messages->show(opened.reason(), QStringLiteral("Quillet"), MsgIcon::Warning,
                                           MsgButtons::Ok);
           }});
    r.add({.id = S(cmd::IDM_HP), .caption = S("いろんなソフト公開中・・・(&W)..."), .run = [platform, &check] {
               openMakerPage(platform, check.pages().topPage);
           }});
    r.add({.id = S(cmd::IDM_HELP_NEWCHECK),
           .caption = S("最新版をチェック(&C)..."),
           .run = [&check] { check.CheckForNewVersion(1); },
           .enabled = [&check] { return !check.running(); }});
    r.add({.id = S(cmd::IDM_ABOUT), .caption = S("バージョン情報(&A)..."), .run = [&window] { window.showAbout(); }});
}

}  // namespace tw
