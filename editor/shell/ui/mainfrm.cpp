#include "mainfrm.h"

#include "appfolder.h"
#include "designbar.h"
#include "formatting.h"
#include "fselect.h"
#include "headerfooter.h"
#include "layout.h"
#include "preview.h"
#include "previewview.h"
#include "chtml.h"
#include "relativepath.h"
#include "keyname.h"
#include "searchfrm.h"
#include "snippetfile.h"
#include "snippetinsert.h"
#include "snippetmenu.h"
#include "teigatafrm.h"
#include "textconv.h"
#include "settingdlg.h"
#include "taghighlighter.h"
#include "units.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QFileInfo>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTextBlock>
#include <QToolBar>
#include <QToolButton>

namespace tw {

MainFrm::MainFrm(const QuilletContext& context, QWidget* parent)
    : QMainWindow(parent),
      m_ctx(context),
      m_edit(new RichTextBox(this)),
      m_buffer(m_edit),
      m_history(m_buffer),
      m_document(m_buffer, m_history, context.platform, context.appFolder)
{
    setObjectName(QStringLiteral("MainFrm"));
    resize(1000, 700);

    m_buffer.setChangeHandler([this] { onTextChanged(); });
    m_history.setRefreshHandler([this](bool canUndo, bool canRedo) {
        if (QAction* a = action(QStringLiteral("IDM_UNDO")))
            a->setEnabled(canUndo);
        if (QAction* a = action(QStringLiteral("IDM_REDO")))
            a->setEnabled(canRedo);
        m_edit->setFocus();
    });
    m_document.onTitleChanged = [this](const QString& t) { setWindowTitle(t); };
    m_document.onPanelFolderChanged = [this](const QString& folder) { onPanelFolderChanged(folder); };
    m_document.onRefreshPreview = [this](bool forced) { RefreshPreview(forced); };
    m_document.onDiscardPreview = [this] { m_pipeline->removeFile(); };
    m_document.onFileWritten = [this](const QString& path) {
        // A file saved into the listed folder shows up in the list.
        if (QFileInfo(path).absolutePath() == QFileInfo(m_document.panelFolder()).absoluteFilePath())
            m_designBar->refresh();
    };
    m_edit->onFileDropped = [this](const QString& path) { m_document.dropFile(path); };
    // Snippet hot keys and Tab.
    m_edit->onKeyPress = [this](QKeyEvent* e) {
        const int vk = virtualKeyFromQt(e->key(), e->modifiers(), e->nativeScanCode());
        return handleEditBoxKey(m_buffer, m_snippets, vk, modifierMaskFromQt(e->modifiers())).consumed;
    };
    // The snippet dialog lives for the whole run; closing only hides it.
    m_teigata = new TeigataFrm(m_snippets, m_buffer, m_ctx.platform, m_ctx.appFolder,
                               [this] { RefreshSnippetMenus(); }, this);

    buildWorkArea();
    m_highlighter = new TagHighlighter(m_edit->document(), this);
    registerCommands();
    buildMenus();
    buildContextMenu();
    buildToolBars();
    buildStatusBar();
    connect(m_edit, &QPlainTextEdit::cursorPositionChanged, this, &MainFrm::UpdateStatusBar);
    connect(m_edit, &QPlainTextEdit::selectionChanged, this, &MainFrm::UpdateStatusBar);
    setWindowTitle(m_document.title());
}

MainFrm::~MainFrm()
{
    // The edit box goes before the buffer that listens to it.
    m_buffer.setChangeHandler({});
}

void MainFrm::onTextChanged()
{
    m_history.onTextChanged();
    if (m_settings.Preview == 1)
        RefreshPreview(false);
}

void MainFrm::RefreshPreview(bool forced)
{
    m_pipeline->RefreshPreview(forced, m_settings);
}

PreviewWindowFrm* MainFrm::previewWindow() const
{
    return m_previewWindow;
}

void MainFrm::PreviewWindowShow()
{
    RefreshPreview(true);
    if (!m_previewWindow)
        m_previewWindow = new PreviewWindowFrm(m_ctx.browserEngine, this);
    m_previewWindow->showPage(m_pipeline->filePath(), m_settings.PreviewWindowX,
                              m_settings.PreviewWindowY);
}

void MainFrm::ApplyBrowserMenus()
{
    const BrowserMenuState m = browserMenuState(m_settings);
    m_actions[QStringLiteral("separatorH")]->setVisible(m.separatorVisible);
    m_actions[QStringLiteral("IDM_CONTEXT_PREVIEW_S1")]->setVisible(m.separatorVisible);
    for (int i = 0; i < 3; ++i) {
        for (const QString& id : {QStringLiteral("IDM_PREVIEW_BROWSER%1"), QStringLiteral("IDM_CONTEXT_PREVIEW_BROWSER%1")}) {
            QAction* a = m_actions[id.arg(i + 1)];
            a->setVisible(m.visible[i]);
            a->setText(m.caption[i]);
        }
    }
}

void MainFrm::RefreshSnippetMenus()
{
    const SnippetMenuState m = snippetMenuState(m_snippets);
    for (const QList<SnippetMenuItem>* items : {&m.mainItems, &m.contextItems}) {
        for (const SnippetMenuItem& item : *items) {
            if (QAction* a = m_actions.value(item.id)) {
                a->setVisible(item.visible);
                if (item.visible)
                    a->setText(item.caption);
            }
        }
    }
    m_actions[QStringLiteral("separatorA")]->setVisible(m.separatorAVisible);
    if (QAction* sep = m_actions.value(QStringLiteral("IDM_CONTEXT_TEIGATA_S1")))
        sep->setVisible(m.contextSeparatorVisible);
}

bool MainFrm::Teigata_Insert(int index)
{
    return tw::Teigata_Insert(m_buffer, m_snippets, index);
}

void MainFrm::startBrowser(int n)
{
    const QString browser = browserPath(m_settings, n);
    if (browser.isEmpty()) {
        m_ctx.platform.messages->show(QStringLiteral("[設定]メニューからブラウザを設定してください"),
                                      QStringLiteral("Quillet"), MsgIcon::None, MsgButtons::Ok);
        return;
    }
    // The file as it was last refreshed: it is not written again here.
    const BrowserLaunch launch = browserLaunch(browser, m_pipeline->filePath());
    QString error;
    if (!m_ctx.platform.launcher->startDetached(launch.program, launch.args, m_document.previewFolder(), &error))
        m_ctx.platform.messages->show(QStringLiteral("プレビューに失敗しました"), QStringLiteral("Quillet"),
                                      MsgIcon::None, MsgButtons::Ok);
}

void MainFrm::startCompanion(const QString& program)
{
    const QString path = companionPath(m_ctx.appFolder, program);
    QString error;
    if (!QFileInfo(path).isExecutable() ||
        !m_ctx.platform.launcher->startDetached(path, {}, QDir::currentPath(), &error))
        m_ctx.platform.messages->show(QStringLiteral("%1 を起動できませんでした。\nプログラムが見つからないか、実行できません。")
                                          .arg(QDir::toNativeSeparators(path)),
                                      QStringLiteral("Quillet"), MsgIcon::Warning, MsgButtons::Ok);
}

QString MainFrm::timeText() const
{
    return dateTimeText(m_ctx.platform.clock->now());
}

void MainFrm::registerCommands()
{
    auto& c = m_commands;
    // File
    c[QStringLiteral("IDM_NEW")] = [this] { m_document.newDocument(); };
    c[QStringLiteral("IDM_OPEN")] = [this] { m_document.open(); };
    c[QStringLiteral("IDM_OVERSAVE")] = [this] { m_document.save(); };
    c[QStringLiteral("IDM_SAVE")] = [this] { m_document.SaveDocumentAs(); };
    c[QStringLiteral("IDM_FILE_TEMPLATEOPEN")] = [this] { m_document.openTemplate(); };
    c[QStringLiteral("IDM_FILE_TEMPLATESAVE")] = [this] { m_document.saveTemplate(); };
    c[QStringLiteral("IDM_EXIT")] = [this] { close(); };

    // Edit
    c[QStringLiteral("IDM_UNDO")] = [this] { m_history.UndoStep(); };
    c[QStringLiteral("IDM_REDO")] = [this] { m_history.RedoStep(); };
    c[QStringLiteral("IDM_COPY")] = [this] { m_ctx.platform.clipboard->setText(m_buffer.selectedText()); };
    c[QStringLiteral("IDM_CUT")] = [this] {
        m_ctx.platform.clipboard->setText(m_buffer.selectedText());
        m_buffer.ReplaceSelection(QString());
    };
    c[QStringLiteral("IDM_PAST")] = [this] {
        if (m_ctx.platform.clipboard->hasText())
            m_buffer.ReplaceSelection(m_ctx.platform.clipboard->text());
    };
    c[QStringLiteral("IDM_SELECTALL")] = [this] {
        m_buffer.SetSelection(0, m_buffer.text().size());
        m_edit->setFocus();
    };
    c[QStringLiteral("IDM_BIGCHR")] = [this] { m_buffer.SetText(upperCaseText(m_buffer.text())); };
    c[QStringLiteral("IDM_SMALLCHR")] = [this] { m_buffer.SetText(lowerCaseText(m_buffer.text())); };

    // Snippets
    for (int n = 1; n <= kSnippetMenuItemCount; ++n)
        c[snippetMenuId(n)] = [this, n] { Teigata_Insert(n); };
    c[QStringLiteral("IDM_TEIGATA")] = [this] {
        m_teigata->clearForNewEntry();
        m_teigata->exec();
    };

    // Search and conversions
    c[QStringLiteral("IDM_SEARCH")] = [this] {
        SearchFrm dlg(m_buffer, m_ctx.platform.messages, this);
        dlg.exec();
    };
    c[QStringLiteral("IDM_HTML")] = [this] { ConvertCToHtml(m_buffer); };
    c[QStringLiteral("IDM_DEFAULT")] = [this] { runTextToHtml(m_buffer); };
    c[QStringLiteral("IDM_ANGOU")] = [this] { runAngou(m_buffer); };
    c[QStringLiteral("IDM_TEXTNUMADD")] = [this] { runNumberLines(m_buffer); };
    c[QStringLiteral("IDM_TAGERACE")] = [this] { runEraseTags(m_buffer); };

    // View
    c[QStringLiteral("IDM_PREVIEWSHOW")] = [this] { TogglePreviewArea(); };
    c[QStringLiteral("IDM_VIEW_DESIGN")] = [this] {
        m_settings.DesignBar = m_settings.DesignBar == 0 ? 1 : 0;
        ApplyLayout();
    };
    auto arrange = [this](int divide) {
        m_settings.AreaDivide = std::int16_t(divide);
        m_tabs->setCurrentIndex(0);
        ApplyLayout();
    };
    c[QStringLiteral("IDM_VIEW_SIDE")] = [arrange] { arrange(0); };
    c[QStringLiteral("IDM_VIEW_VERTICAL")] = [arrange] { arrange(1); };
    c[QStringLiteral("IDM_VIEW_TABCHANGE")] = [arrange] { arrange(2); };
    c[QStringLiteral("IDM_VIEW_FILEREFRESH")] = [this] { m_designBar->applyPattern(); };
    c[QStringLiteral("IDM_VIEW_FILEFOLDER")] = [this] { changeFolder(); };
    c[QStringLiteral("IDM_PATHCHANGE")] = [this] { changeFolder(); };

    // Preview
    c[QStringLiteral("IDM_NORMALPREVIEW")] = [this] { RefreshPreview(true); };
    c[QStringLiteral("IDM_PREVIEW_DEFAULT")] = [this] {
        QString ignored;
        m_ctx.platform.launcher->openWithDesktop(m_pipeline->filePath(), &ignored);
    };
    for (int n = 1; n <= 3; ++n)
        c[QStringLiteral("IDM_PREVIEW_BROWSER%1").arg(n)] = [this, n] { startBrowser(n); };
    c[QStringLiteral("IDM_PREVIEW_WINDOW")] = [this] { PreviewWindowShow(); };

    // Companion programs
    c[QStringLiteral("IDM_FTP")] = [this] { startCompanion(QStringLiteral("ftp")); };
    c[QStringLiteral("IDM_STYLESEEAT")] = [this] { startCompanion(QStringLiteral("Velmora")); };

    // Insert
    c[QStringLiteral("IDM_INSERT_TIME")] = [this] { m_buffer.ReplaceSelection(timeText()); };
    c[QStringLiteral("IDM_RGB")] = [this] {
        if (const auto colour = m_ctx.platform.colours->pick())
            m_buffer.ReplaceSelection(QLatin1Char('#') + ColourToHex(*colour));
    };

    // Tools
    c[QStringLiteral("IDM_OPTION")] = [this] { runOptions(); };

    // Every wrapping command of the format, alignment and insert menus.
    for (const WrapCommand& w : wrapCommands()) {
        const WrapCommand* cmd = &w;
        c[w.id] = [this, cmd] { runWrapCommand(m_buffer, *cmd); };
    }
}

bool MainFrm::runCommand(const QString& id)
{
    const auto it = m_commands.constFind(id);
    if (it == m_commands.constEnd())
        return false;
    (*it)();
    return true;
}

QMenu* MainFrm::addMenu(QMenu* parent, const QString& objectName, const QString& caption,
                        const QList<MenuEntry>& entries)
{
    QMenu* menu = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    menu->setObjectName(objectName);
    menu->menuAction()->setObjectName(objectName);
    for (const MenuEntry& e : entries) {
        if (e.caption.isEmpty() && e.children.isEmpty()) {
            QAction* sep = menu->addSeparator();
            if (!e.id.isEmpty()) {  // a separator that is shown and hidden by name
                sep->setObjectName(e.id);
                m_actions.insert(e.id, sep);
            }
            continue;
        }
        if (!e.children.isEmpty()) {
            addMenu(menu, e.id, e.caption, e.children);
            continue;
        }
        QAction* a = menu->addAction(e.caption);
        a->setObjectName(e.id);
        if (!e.shortcut.isEmpty())
            a->setShortcut(QKeySequence(e.shortcut));
        const QString id = e.id;
        connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
        m_actions.insert(id, a);
    }
    return menu;
}

void MainFrm::buildMenus()
{
    auto wrap = [](const QString& id) {
        const WrapCommand* w = findWrapCommand(id);
        return MenuEntry{w->id, w->caption, w->shortcut, {}};
    };
    const MenuEntry sep;
    auto S = [](const char* s) { return QString::fromUtf8(s); };

    addMenu(nullptr, S("IDM_FILE"), S("ファイル(&F)"),
            {{S("IDM_NEW"), S("新規作成(&N)"), S("Ctrl+N"), {}},
             {S("IDM_OPEN"), S("開く(&O).."), S("Ctrl+O"), {}},
             {S("IDM_OVERSAVE"), S("上書き保存(&S)"), S("Ctrl+S"), {}},
             {S("IDM_SAVE"), S("名前をつけて保存(&A).."), {}, {}},
             sep,
             {S("IDM_FILE_TEMPLATEOPEN"), S("テンプレートを開く..."), {}, {}},
             {S("IDM_FILE_TEMPLATESAVE"), S("テンプレートに保存..."), {}, {}},
             sep,
             {S("IDM_EXIT"), S("終了(&X)"), S("Ctrl+Q"), {}}});

    addMenu(nullptr, S("IDM_EDIT"), S("編集(&E)"),
            {{S("IDM_UNDO"), S("元に戻す(&U)"), S("Ctrl+Z"), {}},
             {S("IDM_REDO"), S("やり直し(&R)"), S("Ctrl+Y"), {}},
             sep,
             {S("IDM_CUT"), S("切り取り(&T)"), {}, {}},
             {S("IDM_COPY"), S("コピー(&C)"), {}, {}},
             {S("IDM_PAST"), S("貼り付け(&P)"), {}, {}},
             sep,
             {S("IDM_SELECTALL"), S("全て選択(&A)"), S("Ctrl+A"), {}},
             sep,
             {S("IDM_SEARCH"), S("検索＆置換(&F)"), S("Ctrl+F"), {}},
             sep,
             {S("IDM_HTML"), S("C（ソース）→HTML"), {}, {}},
             {S("IDM_DEFAULT"), S("テキスト→HTML"), {}, {}},
             sep,
             {S("IDM_BIGCHR"), S("全ての文字を大文字に変更(&B)"), {}, {}},
             {S("IDM_SMALLCHR"), S("全ての文字を小文字に変更(&S)"), {}, {}}});

    addMenu(nullptr, S("IDM_VIEW"), S("表示(&V)"),
            {{S("IDM_PREVIEWSHOW"), S("プレビューバー(&P)"), {}, {}},
             {S("IDM_VIEW_DESIGN"), S("デザインバー(&D)"), {}, {}},
             sep,
             {S("IDM_VIEW_SIDE"), S("横2分割(&S)"), {}, {}},
             {S("IDM_VIEW_VERTICAL"), S("縦2分割(&V)"), {}, {}},
             {S("IDM_VIEW_TABCHANGE"), S("タブ切り替え(&T)"), {}, {}},
             sep,
             {S("IDM_VIEW_FILEREFRESH"), S("ファイル一覧の更新"), {}, {}},
             {S("IDM_VIEW_FILEFOLDER"), S("ファイル一覧カレントフォルダ変更"), {}, {}}});
    for (const char* id : {"IDM_PREVIEWSHOW", "IDM_VIEW_DESIGN", "IDM_VIEW_SIDE", "IDM_VIEW_VERTICAL",
                           "IDM_VIEW_TABCHANGE"})
        m_actions[QString::fromLatin1(id)]->setCheckable(true);

    QList<MenuEntry> headings;
    for (int n = 1; n <= 6; ++n)
        headings.append(wrap(QStringLiteral("IDM_FORMAT_H%1").arg(n)));
    addMenu(nullptr, S("IDM_FORMAT"), S("フォント"),
            {wrap(S("IDM_FORMAT_B")), wrap(S("IDM_FORMAT_I")), wrap(S("IDM_FORMAT_U")), wrap(S("IDM_FORMAT_S")),
             wrap(S("IDM_FORMAT_STRONG")), wrap(S("IDM_FORMAT_BLINK")), wrap(S("IDM_FORMAT_BIG")),
             wrap(S("IDM_FORMAT_SMALL")), sep, wrap(S("IDM_FORMAT_PRE")), wrap(S("IDM_FORMAT_BLOCKQUOTE")), sep,
             wrap(S("IDM_FORMAT_SUP")), wrap(S("IDM_FORMAT_SUB")), sep,
             MenuEntry{S("IDM_FORMAT_H"), S("見出し(&H)"), {}, headings}});

    addMenu(nullptr, S("IDM_ALIGN"), S("位置揃え"), {wrap(S("IDM_LEFT")), wrap(S("IDM_CENTER")), wrap(S("IDM_RIGHT"))});

    addMenu(nullptr, S("IDM_INSERT"), S("挿入(&I)"),
            {{S("IDM_RGB"), S("RGB色入力(&C)..."), {}, {}},
             sep,
             wrap(S("IDM_INSERT_BR")),
             wrap(S("IDM_INSERT_HR")),
             {S("IDM_INSERT_TIME"), S("現在時刻"), {}, {}}});

    QList<MenuEntry> snippetItems;
    for (int n = 1; n <= kSnippetMenuItemCount; ++n)
        snippetItems.append({snippetMenuId(n),
                             n < 10 ? QStringLiteral("定型文%1(&%1)").arg(n) : QStringLiteral("定型文10((&10)"), {}, {}});
    snippetItems.append({S("separatorA"), {}, {}, {}});
    snippetItems.append({S("IDM_TEIGATA"), S("定型文の挿入と登録(&E)..."), {}, {}});
    addMenu(nullptr, S("IDM_TEIGATA_MENU"), S("定型文(&C)"), snippetItems);

    addMenu(nullptr, S("IDM_PREVIEW"), S("プレビュー(&P)"),
            {{S("IDM_NORMALPREVIEW"), S("プレビュー(ノーマル)(&P)"), S("F9"), {}},
             {S("separatorH"), {}, {}, {}},
             {S("IDM_PREVIEW_DEFAULT"), S("デフォルトのブラウザ(&D)"), {}, {}},
             {S("IDM_PREVIEW_BROWSER1"), S("ブラウザ1(&1)"), {}, {}},
             {S("IDM_PREVIEW_BROWSER2"), S("ブラウザ2(&2)"), {}, {}},
             {S("IDM_PREVIEW_BROWSER3"), S("ブラウザ3(&3)"), {}, {}},
             {S("separatorF"), {}, {}, {}},
             {S("IDM_PREVIEW_WINDOW"), S("プレビューウインドウ"), {}, {}}});

    addMenu(nullptr, S("IDM_TOOL"), S("ツール(&T)"),
            {{S("IDM_STYLESEEAT"), S("Velmora(&C)..."), {}, {}},
             {S("IDM_FTP"), S("FTPクライアント(&F)..."), {}, {}},
             sep,
             {S("IDM_TEXTNUMADD"), S("選択テキストに行番号付加"), {}, {}},
             {S("IDM_ANGOU"), S("選択アドレス暗号化(&A)"), {}, {}},
             {S("IDM_TAGERACE"), S("タグの消去"), {}, {}},
             sep,
             {S("IDM_OPTION"), S("オプション(&O)..."), {}, {}}});

    // Nothing to undo or redo until the first change.
    m_actions[QStringLiteral("IDM_UNDO")]->setEnabled(false);
    m_actions[QStringLiteral("IDM_REDO")]->setEnabled(false);
}

void MainFrm::buildContextMenu()
{
    auto S = [](const char* s) { return QString::fromUtf8(s); };
    auto twin = [](const QString& mainId) {
        const WrapCommand* w = findWrapCommand(mainId);
        return ContextEntry{w->contextId, w->contextCaption, w->id, {}};
    };
    const ContextEntry sep;
    QList<ContextEntry> headings;
    for (int n = 1; n <= 6; ++n)
        headings.append(twin(QStringLiteral("IDM_FORMAT_H%1").arg(n)));
    QList<ContextEntry> snippets;
    for (int n = 1; n <= 10; ++n)
        snippets.append({QStringLiteral("IDM_CONTEXT_TEIGATA_%1").arg(n), QStringLiteral("定型文%1(&%1)").arg(n),
                         QStringLiteral("IDM_TEIGATA_%1").arg(n), {}});
    snippets.append({S("IDM_CONTEXT_TEIGATA_S1"), {}, {}, {}});
    snippets.append({S("IDM_CONTEXT_TEIGATA_EDIT"), S("定型文の編集(&E)..."), S("IDM_TEIGATA"), {}});

    const QList<ContextEntry> entries = {
        {S("IDM_CONTEXT_CUT"), S("切り取り(&X)"), S("IDM_CUT"), {}},
        {S("IDM_CONTEXT_COPY"), S("コピー(&C)"), S("IDM_COPY"), {}},
        {S("IDM_CONTEXT_PASTE"), S("貼り付け(&P)"), S("IDM_PAST"), {}},
        sep,
        {S("IDM_CONTEXT_ALLSELECT"), S("すべてを選択(&A)"), S("IDM_SELECTALL"), {}},
        sep,
        {S("IDM_CONTEXT_EDIT"), S("編集(&E)"), {},
         {{S("IDM_CONTEXT_EDIT_SEARCH"), S("検索＆置換(&S)..."), S("IDM_SEARCH"), {}},
          sep,
          {S("IDM_CONTEXT_EDIT_C_TO_HTML"), S("C(ソース)→HTML"), S("IDM_HTML"), {}},
          {S("IDM_CONTEXT_EDIT_TEXT_TO_HTML"), S("テキスト→HTML"), S("IDM_DEFAULT"), {}},
          sep,
          {S("IDM_CONTEXT_EDIT_BIGCHAR"), S("すべての文字を大文字に変換"), S("IDM_BIGCHR"), {}},
          {S("IDM_CONTEXT_EDIT_SMALLCHAR"), S("すべての文字を小文字に変換"), S("IDM_SMALLCHR"), {}}}},
        {S("IDM_CONTEXT_FONT"), S("フォント"), {},
         {twin(S("IDM_FORMAT_B")), twin(S("IDM_FORMAT_I")), twin(S("IDM_FORMAT_U")), twin(S("IDM_FORMAT_S")),
          twin(S("IDM_FORMAT_STRONG")), twin(S("IDM_FORMAT_BIG")), twin(S("IDM_FORMAT_SMALL")), sep,
          twin(S("IDM_FORMAT_PRE")), twin(S("IDM_FORMAT_BLOCKQUOTE")), sep, twin(S("IDM_FORMAT_SUP")),
          twin(S("IDM_FORMAT_SUB")), sep, ContextEntry{S("IDM_CONTEXT_FONT_H"), S("見出し(&H)"), {}, headings}}},
        {S("IDM_CONTEXT_ALIGN"), S("位置揃え(&)"), {},
         {twin(S("IDM_LEFT")), twin(S("IDM_CENTER")), twin(S("IDM_RIGHT"))}},
        {S("IDM_CONTEXT_INSERT"), S("挿入(&I)"), {},
         {{S("IDM_CONTEXT_INSERT_JS"), S("JavaScript(&J)..."), S("IDM_JAVA"), {}},
          {S("IDM_CONTEXT_INSERT_RGB"), S("RGB色入力(&R)..."), S("IDM_RGB"), {}},
          sep,
          twin(S("IDM_INSERT_BR")),
          twin(S("IDM_INSERT_HR")),
          {S("IDM_CONTEXT_INSERT_NOWTIME"), S("現在時刻"), S("IDM_INSERT_TIME"), {}},
          sep,
          {S("IDM_CONTEXT_INSERT_GRADATION"), S("グラデーション文字(&G)..."), S("IDM_GRADATION"), {}},
          {S("IDM_CONTEXT_INSERT_TABLE"), S("テーブル(&T)..."), S("IDM_TABLE"), {}},
          {S("IDM_CONTEXT_INSERT_CALENDER"), S("カレンダー(&C)..."), S("IDM_INSERT_CALENDAR"), {}},
          {S("IDM_CONTEXT_INSERT_MARQUEE"), S("マーキー(&M)..."), S("IDM_MARQUEE"), {}},
          {S("IDM_CONTEXT_INSERT_LINK"), S("リンク(&L)..."), S("IDM_INSERT_LINK"), {}},
          {S("IDM_CONTEXT_INSERT_LIST"), S("リスト..."), S("IDM_LIST"), {}}}},
        {S("IDM_CONTEXT_TEIGATA"), S("定型文(&C)"), {}, snippets},
        {S("IDM_CONTEXT_TOOL"), S("ツール(&T)"), {},
         {{S("IDM_CONTEXT_TOOL_CSS"), S("Velmora(&C)..."), S("IDM_STYLESEEAT"), {}},
          {S("IDM_CONTEXT_TOOL_FTP"), S("FTPクライアント(&F)..."), S("IDM_FTP"), {}},
          sep,
          {S("IDM_CONTEXT_TOOL_TEXTNUMADD"), S("選択テキストに行番号付加"), S("IDM_TEXTNUMADD"), {}},
          {S("IDM_CONTEXT_TOOL_ANGOU"), S("選択アドレス暗号化(&A)"), S("IDM_ANGOU"), {}},
          {S("IDM_CONTEXT_TOOL_ERACETAG"), S("タグの消去"), S("IDM_TAGERACE"), {}},
          sep,
          {S("IDM_CONTEXT_TOOL_OPTION"), S("オプション(&O)..."), S("IDM_OPTION"), {}}}},
        {S("IDM_CONTEXT_PREVIEW"), S("プレビュー(&P)"), {},
         {{S("IDM_CONTEXT_PREVIEW_NORMAL"), S("プレビュー(ノーマル)(&P)"), S("IDM_NORMALPREVIEW"), {}},
          {S("IDM_CONTEXT_PREVIEW_S1"), {}, {}, {}},
          {S("IDM_CONTEXT_PREVIEW_DEFAULT"), S("デフォルトのブラウザ(&D)"), S("IDM_PREVIEW_DEFAULT"), {}},
          {S("IDM_CONTEXT_PREVIEW_BROWSER1"), S("ブラウザ1(&1)"), S("IDM_PREVIEW_BROWSER1"), {}},
          {S("IDM_CONTEXT_PREVIEW_BROWSER2"), S("ブラウザ2(&2)"), S("IDM_PREVIEW_BROWSER2"), {}},
          {S("IDM_CONTEXT_PREVIEW_BROWSER3"), S("ブラウザ3(&3)"), S("IDM_PREVIEW_BROWSER3"), {}},
          {S("IDM_CONTEXT_PREVIEW_S2"), {}, {}, {}},
          {S("IDM_CONTEXT_PREVIEW_WINDOW"), S("プレビューウインドウ"), S("IDM_PREVIEW_WINDOW"), {}}}},
    };

    // The carrier of the context menu is not on the menu bar.
    m_contextMenu = new QMenu(QStringLiteral("コンテキストメニュー"), this);
    m_contextMenu->setObjectName(QStringLiteral("IDM_CONTEXT"));
    addContextEntries(m_contextMenu, entries);
    m_edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_edit, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_contextMenu->popup(m_edit->viewport()->mapToGlobal(pos)); });
}

void MainFrm::addContextEntries(QMenu* menu, const QList<ContextEntry>& entries)
{
    menu->setSeparatorsCollapsible(true);
    for (const ContextEntry& e : entries) {
        if (!e.children.isEmpty()) {
            QMenu* sub = new QMenu(e.caption, menu);
            sub->setObjectName(e.id);
            addContextEntries(sub, e.children);
            // A submenu of commands that do not exist yet is left out.
            if (!sub->actions().isEmpty()) {
                menu->addMenu(sub)->setObjectName(e.id);
            } else {
                delete sub;
            }
            continue;
        }
        if (e.caption.isEmpty()) {
            QAction* sep = menu->addSeparator();
            if (!e.id.isEmpty()) {
                sep->setObjectName(e.id);
                m_actions.insert(e.id, sep);
            }
            continue;
        }
        if (!m_commands.contains(e.runs))
            continue;  // its command is not built
        QAction* a = menu->addAction(e.caption);
        a->setObjectName(e.id);
        const QString runs = e.runs;
        connect(a, &QAction::triggered, this, [this, runs] { runCommand(runs); });
        m_actions.insert(e.id, a);
    }
}

void MainFrm::buildToolBars()
{
    auto makeBar = [this](const QString& name, const QString& title, const QList<ToolButtonDef>& buttons,
                          std::function<void(const QString&)> onKey) {
        QToolBar* bar = addToolBar(title);
        bar->setObjectName(name);
        bar->setAccessibleName(title);
        for (const ToolButtonDef& b : buttons) {
            QAction* a = bar->addAction(b.caption);
            a->setObjectName(name + QLatin1Char('_') + b.key);
            a->setData(b.key);
            a->setToolTip(b.tip);
            if (QWidget* w = bar->widgetForAction(a))
                w->setAccessibleName(b.tip);
            const QString key = b.key;
            connect(a, &QAction::triggered, this, [onKey, key] { onKey(key); });
        }
        return bar;
    };
    // The standard tool bar: a button for each command that exists.
    const QList<ToolButtonDef> standard = {
        {QStringLiteral("New"), QStringLiteral("新規"), QStringLiteral("新規作成")},
        {QStringLiteral("open"), QStringLiteral("開く"), QStringLiteral("開く")},
        {QStringLiteral("save"), QStringLiteral("保存"), QStringLiteral("上書き保存")},
        {QStringLiteral("cut"), QStringLiteral("切取"), QStringLiteral("切り取り")},
        {QStringLiteral("copy"), QStringLiteral("コピー"), QStringLiteral("コピー")},
        {QStringLiteral("peast"), QStringLiteral("貼付"), QStringLiteral("貼り付け")},
        {QStringLiteral("tundo"), QStringLiteral("戻す"), QStringLiteral("元に戻す")},
        {QStringLiteral("tredo"), QStringLiteral("やり直し"), QStringLiteral("やり直し")},
        {QStringLiteral("Bold"), QStringLiteral("B"), QStringLiteral("太字")},
        {QStringLiteral("Italic"), QStringLiteral("I"), QStringLiteral("イタリック")},
        {QStringLiteral("Under"), QStringLiteral("U"), QStringLiteral("下線")},
        {QStringLiteral("S"), QStringLiteral("S"), QStringLiteral("取り消し線")},
        {QStringLiteral("left"), QStringLiteral("左"), QStringLiteral("左揃え")},
        {QStringLiteral("center"), QStringLiteral("中央"), QStringLiteral("中央揃え")},
        {QStringLiteral("right"), QStringLiteral("右"), QStringLiteral("右揃え")},
        {QStringLiteral("color"), QStringLiteral("色"), QStringLiteral("RGB色入力")},
        {QStringLiteral("Preview"), QStringLiteral("プレビュー"), QStringLiteral("プレビューウインドウ")},
        {QStringLiteral("find"), QStringLiteral("検索"), QStringLiteral("検索＆置換")},
        {QStringLiteral("html"), QStringLiteral("C→HTML"), QStringLiteral("C（ソース）→HTML")},
        {QStringLiteral("text"), QStringLiteral("テキスト→HTML"), QStringLiteral("テキスト→HTML")},
        {QStringLiteral("exit"), QStringLiteral("終了"), QStringLiteral("終了")},
    };
    m_toolbar1 = makeBar(QStringLiteral("Toolbar1"), QStringLiteral("標準ツールバー"), standard,
                         [this](const QString& key) { runCommand(toolbar1Command(key)); });
    addToolBarBreak();

    m_toolbar2 = makeBar(QStringLiteral("Toolbar2"), QStringLiteral("編集ツールバー"), toolbar2Buttons(),
                         [this](const QString& key) { runToolbar2Key(m_buffer, key, timeText()); });
    m_toolbar3 = makeBar(QStringLiteral("Toolbar3"), QStringLiteral("見出しツールバー"), toolbar3Buttons(),
                         [this](const QString& key) {
                             const QString id = toolbar3Command(key);
                             if (!id.isEmpty())
                                 runCommand(id);
                             m_edit->setFocus();
                         });

    // The link bar: a file for links and images, and the welcome banner.
    addToolBarBreak();
    m_linkBar = addToolBar(QStringLiteral("リンクバー"));
    m_linkBar->setObjectName(QStringLiteral("LinkBar"));
    m_linkFile = new QLineEdit(QStringLiteral("test.html"), m_linkBar);
    m_linkFile->setObjectName(QStringLiteral("LinkFileNameTxt"));
    m_linkFile->setAccessibleName(QStringLiteral("リンクするファイル"));
    m_fileSelectBtn = new QPushButton(QStringLiteral("..."), m_linkBar);
    m_fileSelectBtn->setObjectName(QStringLiteral("FileSelectBtn"));
    m_fileSelectBtn->setAccessibleName(QStringLiteral("ファイルを選択"));
    m_fileSelectBtn->setMaximumWidth(28);
    m_linkBar->addWidget(m_linkFile);
    m_linkBar->addWidget(m_fileSelectBtn);
    connect(m_fileSelectBtn, &QPushButton::clicked, this, &MainFrm::selectLinkFile);
    auto* angou = new QPushButton(QStringLiteral("暗号化"), m_linkBar);
    angou->setObjectName(QStringLiteral("AngouBtn"));
    angou->setToolTip(QStringLiteral("リンクするファイル名（アドレス）を暗号化して挿入します"));
    m_linkBar->addWidget(angou);
    connect(angou, &QPushButton::clicked, this,
            [this] { m_buffer.ReplaceSelection(tw::AngouStr(m_linkFile->text())); });
    m_linkBar->addSeparator();
    auto* welcome = new QLabel(QStringLiteral("「Tagwright」にようこそ！！"), m_linkBar);
    welcome->setObjectName(QStringLiteral("Label10"));
    auto* wanted = new QLabel(QStringLiteral("感想や要望などを募集しています"), m_linkBar);
    wanted->setObjectName(QStringLiteral("Label11"));
    m_linkBar->addWidget(welcome);
    m_linkBar->addSeparator();
    m_linkBar->addWidget(wanted);
}

void MainFrm::buildWorkArea()
{
    m_work = new QWidget(this);
    m_work->setObjectName(QStringLiteral("WorkArea"));
    setCentralWidget(m_work);
    m_work->installEventFilter(this);

    m_designBar = new DesignBar(m_work);
    m_edit->setParent(m_work);
    // The preview browser's place in the work area.
    m_browserArea = new PreviewView(m_ctx.browserEngine, m_work);
    m_pipeline = new PreviewPipeline(
        {[this] { return m_buffer.text(); }, [this] { return m_document.format(); },
         [this] { return m_document.previewFolder(); },
         [this](const QString& path) { m_browserArea->showFile(path); },
         [this](const QString& problem) {
             // The reason without the temporary file's name, which means nothing to the user.
             const QString reason = problem.section(QLatin1Char('\n'), 1);
             m_browserArea->setNotice(problem.isEmpty() ? QString()
                                                        : QStringLiteral("プレビューを更新できません。") +
                                                              (reason.isEmpty() ? problem : reason));
         }},
        this);
    m_tabs = new QTabBar(m_work);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_tabs->addTab(QStringLiteral("ソース"));
    m_tabs->addTab(QStringLiteral("プレビュー"));
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int tab) {
        ApplyLayout();
        if (tab == 1)
            RefreshPreview(true);
    });

    connect(m_designBar, &DesignBar::fileClicked, this, &MainFrm::openFromPanel);
    connect(m_designBar->Command1, &QPushButton::clicked, this, &MainFrm::changeFolder);
    connect(m_designBar, &DesignBar::folderMenuRequested, this, [this](const QPoint& pos) {
        QMenu menu(this);
        menu.setObjectName(QStringLiteral("IDM_RIGHTCLICK"));
        QAction* a = menu.addAction(QStringLiteral("ドライブとフォルダの変更"));
        a->setObjectName(QStringLiteral("IDM_PATHCHANGE"));
        if (menu.exec(pos) == a)
            runCommand(QStringLiteral("IDM_PATHCHANGE"));
    });
    connect(m_designBar->Command2, &QPushButton::clicked, this, &MainFrm::runFontSetter);
    connect(m_designBar->Command5, &QPushButton::clicked, this, [this] {
        if (const auto colour = m_ctx.platform.colours->pick())
            m_designBar->FColor->setEditText(QLatin1Char('#') + ColourToHex(*colour));
    });
}

void MainFrm::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    const int stretch[4] = {0, 3, 1, 1};
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(bar);
        m_panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        bar->addPermanentWidget(m_panels[i], stretch[i]);
    }
    m_panels[0]->setText(QStringLiteral("Tagwright"));
}

QString MainFrm::statusText(int panel) const
{
    return panel >= 1 && panel <= 4 ? m_panels[panel - 1]->text() : QString();
}

void MainFrm::UpdateStatusBar()
{
    const QTextCursor c = m_edit->textCursor();
    // The line and column of the selection's start; a double-byte character
    // counts as one column.
    QTextCursor start(m_edit->document());
    start.setPosition(c.selectionStart());
    m_panels[1]->setText(folderStatusText(m_document.panelFolder()));
    m_panels[2]->setText(caretStatusText(start.blockNumber() + 1, start.positionInBlock() + 1));
}

void MainFrm::TogglePreviewArea()
{
    if (m_settings.Preview != 0) {
        m_settings.Preview = 0;
    } else {
        m_settings.Preview = 1;
        RefreshPreview(false);
    }
    ApplyLayout();
}

void MainFrm::refreshViewChecks()
{
    m_actions[QStringLiteral("IDM_PREVIEWSHOW")]->setChecked(m_settings.Preview != 0);
    m_actions[QStringLiteral("IDM_VIEW_DESIGN")]->setChecked(m_settings.DesignBar != 0);
    m_actions[QStringLiteral("IDM_VIEW_SIDE")]->setChecked(m_settings.AreaDivide == 0);
    m_actions[QStringLiteral("IDM_VIEW_VERTICAL")]->setChecked(m_settings.AreaDivide == 1);
    m_actions[QStringLiteral("IDM_VIEW_TABCHANGE")]->setChecked(m_settings.AreaDivide == 2);
}

void MainFrm::changeFolder()
{
    FSelect dlg(m_document.panelFolder(), m_ctx.platform.messages, this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    m_document.setPanelFolder(dlg.selectedFolder());
}

void MainFrm::onPanelFolderChanged(const QString& folder)
{
    // The preview file of a new document followed the panel; the one left
    // behind in the old folder goes.
    if (m_pipeline)
        m_pipeline->folderChanged();
    const QString previous = m_document.PreviousFolder();
    if (!previous.isEmpty() && previous != m_document.previewFolder())
        m_document.deleteTempPreview(previous);
    m_panels[1]->setText(folderStatusText(folder));
    m_designBar->setFolder(folder);
}

void MainFrm::openFromPanel(const QString& name)
{
    const bool existed = QFileInfo::exists(joinPath(m_document.panelFolder(), name));
    if (m_document.openFromPanel(name))
        m_edit->setFocus();
    else if (!existed)
        m_designBar->refresh();  // the file went away since the list was made
}

void MainFrm::runFontSetter()
{
    const QString text = fontTagText(m_designBar->FSize->currentText(), m_designBar->FColor->currentText(),
                                     m_buffer.selectedText());
    if (text.isEmpty()) {
        m_ctx.platform.messages->show(QStringLiteral("フォントのサイズか色のどちらかは選択してください"),
                                      QStringLiteral("Quillet"), MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    m_buffer.ReplaceSelection(text);
    m_edit->setFocus();
}

void MainFrm::selectLinkFile()
{
    FileDialogRequest req;
    req.title = QStringLiteral("ファイルを選択");
    req.filter = QStringLiteral("HTML＆画像ファイル(*.html;*.htm;*.txt;*.gif;*.jpg)|*.html;*.htm;*.txt;*.gif;*.jpg");
    req.initialPath = joinPath(m_document.panelFolder(), QString());
    const QString path = m_ctx.platform.files->run(req);
    if (path.isEmpty())
        return;
    m_linkFile->setText(m_settings.SoutaiPath == 1 ? MakeRelativePath(m_document.panelFolder(), path) : path);
}

bool MainFrm::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_work && e->type() == QEvent::Resize)
        ApplyLayout();
    return QMainWindow::eventFilter(watched, e);
}

void MainFrm::applyPlacement(const WindowPlacement& p)
{
    // A stored placement from another screen (or a damaged file) is kept on
    // the screen available here.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QRect placed = clampPlacement(p, avail, QRect(pos(), size()), twipsPerPixel(this));
    resize(placed.size());
    move(placed.topLeft());
}

WindowPlacement MainFrm::currentPlacement() const
{
    WindowPlacement p;
    p.width = pixelsToTwips(width(), this);
    p.height = pixelsToTwips(height(), this);
    p.left = pixelsToTwips(x(), this);
    p.top = pixelsToTwips(y(), this);
    return p;
}

void MainFrm::LoadSettings()
{
    if (ensureSettingsFolders(m_ctx.appFolder))
        m_ctx.platform.messages->show(missingSettingsFolderMessage(), QStringLiteral("Quillet"), MsgIcon::None,
                                      MsgButtons::Ok);
    WindowPlacement placement;
    QString stored = m_ctx.appFolder;
    readSettingsFile(settingsPath(m_ctx.appFolder), m_ctx.appFolder, m_settings, placement, stored);
    applyPlacement(placement);
    m_document.setPanelFolder(startFolder(stored, m_ctx.appFolder));
    m_designBar->setFolder(m_document.panelFolder());
    m_panels[1]->setText(folderStatusText(m_document.panelFolder()));
    setTagColouring(m_settings.ColorAdd == 1);
    ApplyBrowserMenus();
}

void MainFrm::loadSnippets()
{
    // Read once at start; afterwards the store changes only through the
    // snippet dialog, which writes the file itself.
    LoadSnippetFile(m_snippets, snippetFilePath(m_ctx.appFolder));
    m_teigata->refreshList();
    RefreshSnippetMenus();
}

void MainFrm::SaveSettings()
{
    std::optional<WindowPlacement> placement;
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        placement = currentPlacement();
    QString error;
    if (!writeSettingsFile(settingsPath(m_ctx.appFolder), m_ctx.appFolder, m_settings, placement,
                           m_document.WorkingFolder(), &error))
        m_ctx.platform.messages->show(QStringLiteral("設定を保存できませんでした。\n") + error,
                                      QStringLiteral("Quillet"), MsgIcon::Warning, MsgButtons::Ok);
}

void MainFrm::ApplyLayout()
{
    if (!m_work)
        return;
    LayoutInput in;
    in.width = m_work->width();
    in.height = m_work->height();
    // 1815 twips, or wider where this platform's controls need it.
    in.designBarWidth = std::max(twipsToPixels(1815, this), m_designBar->minimumSizeHint().width());
    in.designBar = m_settings.DesignBar != 0;
    in.preview = m_settings.Preview != 0;
    in.areaDivide = m_settings.AreaDivide;
    in.tabStripHeight = m_tabs->sizeHint().height();
    in.selectedTab = m_tabs->currentIndex();
    const LayoutResult r = computeLayout(in);

    m_designBar->setGeometry(0, 0, in.designBarWidth, in.height);
    m_designBar->setVisible(in.designBar);
    m_edit->setGeometry(r.edit);
    m_browserArea->setGeometry(r.browser);
    m_tabs->setGeometry(r.tabs);
    m_edit->setVisible(r.editVisible);
    m_browserArea->setVisible(r.browserVisible);
    m_tabs->setVisible(r.tabsVisible);
    refreshViewChecks();

    // The link bar's file box fills a narrow window and keeps 5100 twips in a wide one.
    if (m_linkFile) {
        const double inner = pixelsToTwips(width(), this);
        const double left = pixelsToTwips(m_linkFile->mapTo(this, QPoint(0, 0)).x(), this);
        const double button = pixelsToTwips(m_fileSelectBtn->sizeHint().width(), this);
        m_linkFile->setFixedWidth(twipsToPixels(linkFileBoxWidthTwips(inner, left, button), this));
    }
}

void MainFrm::runOptions()
{
    {
        Setting dlg(*this, this);
        dlg.exec();
    }
    // The colouring follows the option at once; it colours the visible text
    // itself, so the text is not put back into the box to trigger it.
    setTagColouring(m_settings.ColorAdd == 1);
}

void MainFrm::setTagColouring(bool on)
{
    m_highlighter->setEnabled(on);
}

void MainFrm::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    m_settings = EditorSettings{};
    m_document.setDocumentName(newDocumentName());
    LoadSettings();
    loadSnippets();
    m_document.setHeaderFooter(loadHeaderText(m_ctx.appFolder), loadFooterText(m_ctx.appFolder));
    m_document.FillNewDocument();
    m_history.ResetHistory();
    m_document.UpdateTitle();
    ApplyBrowserMenus();
    if (m_settings.DefaultMaxWin == 1)
        setWindowState(windowState() | Qt::WindowMaximized);
    UpdateStatusBar();
    if (!m_ctx.commandLine.isEmpty())
        m_document.openPath(m_ctx.commandLine);
    m_tabs->setCurrentIndex(0);
    ApplyLayout();
    m_edit->setFocus();
}

void MainFrm::closeEvent(QCloseEvent* e)
{
    if (!m_document.Save_Check()) {
        e->ignore();
        return;
    }
    m_document.Fpath_Change();
    // No refresh may write the temporary file again after it is gone.
    m_pipeline->removeFile();
    m_document.deleteTempPreview(m_document.WorkingFolder());
    SaveSettings();
    e->accept();
}

}  // namespace tw
