#include "mainfrm.h"

#include "appfolder.h"
#include "formatting.h"
#include "headerfooter.h"
#include "units.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
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
    setCentralWidget(m_edit);
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
    m_edit->onFileDropped = [this](const QString& path) { m_document.dropFile(path); };

    registerCommands();
    buildMenus();
    buildToolBars();
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

    // Insert
    c[QStringLiteral("IDM_INSERT_TIME")] = [this] { m_buffer.ReplaceSelection(timeText()); };
    c[QStringLiteral("IDM_RGB")] = [this] {
        if (const auto colour = m_ctx.platform.colours->pick())
            m_buffer.ReplaceSelection(QLatin1Char('#') + ColourToHex(*colour));
    };

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
        if (e.id.isEmpty()) {
            menu->addSeparator();
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
             {S("IDM_BIGCHR"), S("全ての文字を大文字に変更(&B)"), {}, {}},
             {S("IDM_SMALLCHR"), S("全ての文字を小文字に変更(&S)"), {}, {}}});

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

    // Nothing to undo or redo until the first change.
    m_actions[QStringLiteral("IDM_UNDO")]->setEnabled(false);
    m_actions[QStringLiteral("IDM_REDO")]->setEnabled(false);
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
    m_toolbar2 = makeBar(QStringLiteral("Toolbar2"), QStringLiteral("編集ツールバー"), toolbar2Buttons(),
                         [this](const QString& key) { runToolbar2Key(m_buffer, key, timeText()); });
    m_toolbar3 = makeBar(QStringLiteral("Toolbar3"), QStringLiteral("見出しツールバー"), toolbar3Buttons(),
                         [this](const QString& key) {
                             const QString id = toolbar3Command(key);
                             if (!id.isEmpty())
                                 runCommand(id);
                             m_edit->setFocus();
                         });
}

void MainFrm::applyPlacement(const WindowPlacement& p)
{
    if (p.width && p.height)
        resize(twipsToPixels(*p.width, this), twipsToPixels(*p.height, this));
    if (p.left && p.top)
        move(twipsToPixels(*p.left, this), twipsToPixels(*p.top, this));
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
}

void MainFrm::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    m_settings = EditorSettings{};
    m_document.setDocumentName(newDocumentName());
    LoadSettings();
    m_document.setHeaderFooter(loadHeaderText(m_ctx.appFolder), loadFooterText(m_ctx.appFolder));
    m_document.FillNewDocument();
    m_history.ResetHistory();
    m_document.UpdateTitle();
    if (m_settings.DefaultMaxWin == 1)
        setWindowState(windowState() | Qt::WindowMaximized);
    if (!m_ctx.commandLine.isEmpty())
        m_document.openPath(m_ctx.commandLine);
    m_edit->setFocus();
}

void MainFrm::closeEvent(QCloseEvent* e)
{
    if (!m_document.Save_Check()) {
        e->ignore();
        return;
    }
    m_document.Fpath_Change();
    m_document.deleteTempPreview(m_document.WorkingFolder());
    SaveSettings();
    e->accept();
}

}  // namespace tw
