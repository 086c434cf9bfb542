#include "editor/preview/previewcommands.h"
#include "editor/commands/commandids.h"

#include "editor/commands/commandregistry.h"
#include "editor/document/document.h"
#include "editor/settings/editorsettings.h"
#include "editor/commands/editorwindow.h"
#include "editor/preview/preview.h"

#include <QDir>
#include <QFileInfo>

namespace tw {

void startBrowser(const PreviewCommandContext& c, int n)
{
    const QString browser = browserPath(c.settings, n);
    if (browser.isEmpty()) {
        c.platform.messages->show(QStringLiteral("[設定]メニューからブラウザを設定してください"),
                                  QStringLiteral("Quillet"), MsgIcon::None, MsgButtons::Ok);
        return;
    }
    // The file as it was last refreshed: it is not written again here.
    const BrowserLaunch launch = browserLaunch(browser, c.preview.filePath());
    if (!c.platform.launcher->startDetached(launch.program, launch.args, c.document.previewFolder()))
        c.platform.messages->show(QStringLiteral("プレビューに失敗しました"), QStringLiteral("Quillet"), MsgIcon::None,
                                  MsgButtons::Ok);
}

void startCompanion(const Platform& platform, const QString& appFolder, const QString& program)
{
    const QString path = companionPath(appFolder, program);
    if (!QFileInfo(path).isExecutable() || !platform.launcher->startDetached(path, {}, QDir::currentPath()))
        platform.messages->show(
            QStringLiteral("%1 を起動できませんでした。\nプログラムが見つからないか、実行できません。")
                .arg(QDir::toNativeSeparators(path)),
            QStringLiteral("Quillet"), MsgIcon::Warning, MsgButtons::Ok);
}

void registerPreviewCommands(CommandRegistry& r, const PreviewCommandContext& c)
{
    PreviewPipeline& preview = c.preview;
    EditorSettings& settings = c.settings;
    EditorWindow& window = c.window;
    const Platform platform = c.platform;
    const QString app = c.appFolder;
    auto S = [](const char* s) { return QString::fromUtf8(s); };

    r.add({.id = S(cmd::IDM_PREVIEWSHOW),
           .caption = S("プレビューバー(&P)"),
           .run =
               [&settings, &preview, &window] {
                   settings.Preview = settings.Preview != 0 ? 0 : 1;
                   if (settings.Preview)
                       preview.RefreshPreview(false, settings);
                   window.applyLayout();
               },
           .checked = [&settings] { return settings.Preview != 0; }});
    r.add({.id = S(cmd::IDM_NORMALPREVIEW),
           .caption = S("プレビュー(ノーマル)(&P)"),
           .shortcut = S("F9"),
           .contextId = S(cmd::IDM_CONTEXT_PREVIEW_NORMAL),
           .contextCaption = S("プレビュー(ノーマル)(&P)"),
           .run = [&preview, &settings] { preview.RefreshPreview(true, settings); }});
    r.add({.id = S(cmd::IDM_PREVIEW_DEFAULT),
           .caption = S("デフォルトのブラウザ(&D)"),
           .contextId = S(cmd::IDM_CONTEXT_PREVIEW_DEFAULT),
           .contextCaption = S("デフォルトのブラウザ(&D)"),
           .run = [&preview, platform] {
               const Result opened = platform.launcher->openWithDesktop(preview.filePath());
               if (!opened)
                   platform.messages->show(opened.reason(), QStringLiteral("Quillet"), MsgIcon::Warning,
                                           MsgButtons::Ok);
           }});
    for (int n = 1; n <= 3; ++n) {
        const QString caption = QStringLiteral("ブラウザ%1(&%1)").arg(n);
        r.add({.id = QStringLiteral("IDM_PREVIEW_BROWSER%1").arg(n),
               .caption = caption,
               .contextId = QStringLiteral("IDM_CONTEXT_PREVIEW_BROWSER%1").arg(n),
               .contextCaption = caption,
               .run = [c, n] { startBrowser(c, n); }});
    }
    r.add({.id = S(cmd::IDM_PREVIEW_WINDOW),
           .caption = S("プレビューウインドウ"),
           .contextId = S(cmd::IDM_CONTEXT_PREVIEW_WINDOW),
           .contextCaption = S("プレビューウインドウ"),
           .toolBar = S("Toolbar1"),
           .toolKey = S("Preview"),
           .run = [&preview, &settings, &window] {
               preview.RefreshPreview(true, settings);
               window.showPreviewWindow(preview.filePath());
           }});
    r.add({.id = S(cmd::IDM_STYLESEEAT),
           .caption = S("Velmora(&C)..."),
           .contextId = S(cmd::IDM_CONTEXT_TOOL_CSS),
           .contextCaption = S("Velmora(&C)..."),
           .run = [platform, app] { startCompanion(platform, app, QStringLiteral("Velmora")); }});
    r.add({.id = S(cmd::IDM_FTP),
           .caption = S("FTPクライアント(&F)..."),
           .contextId = S(cmd::IDM_CONTEXT_TOOL_FTP),
           .contextCaption = S("FTPクライアント(&F)..."),
           .run = [platform, app] { startCompanion(platform, app, QStringLiteral("ftp")); }});
}

}  // namespace tw
