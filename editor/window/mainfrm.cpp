#include "editor/window/mainfrm.h"
#include "editor/commands/commandids.h"

#include "common/appfolder.h"
#include "editor/builders/ui/builderdialogs.h"
#include "common/gui/printing.h"
#include "editor/window/aboutfrm.h"
#include "editor/window/commandmenus.h"
#include "editor/window/documentprinter.h"
#include "editor/window/pagesettingfrm.h"
#include "editor/window/splashfrm.h"
#include "editor/window/toolbarcustomizefrm.h"
#include "editor/window/designbar.h"
#include "editor/tags/formatting.h"
#include "editor/window/fselect.h"
#include "editor/snippets/keyname.h"
#include "editor/shell/layout.h"
#include "editor/window/linkbar.h"
#include "editor/preview/ui/previewview.h"
#include "editor/builders/links.h"
#include "editor/tags/ui/searchfrm.h"
#include "editor/window/settingdlg.h"
#include "editor/snippets/snippetinsert.h"
#include "editor/snippets/snippetmenu.h"
#include "editor/shell/recentfiles.h"
#include "editor/tags/ui/tagassist.h"
#include "editor/tags/ui/taghighlighter.h"
#include "editor/snippets/ui/teigatafrm.h"
#include "editor/tags/textconv.h"
#include "common/gui/units.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace tw {

MainFrm::MainFrm(const QuilletContext& context, QWidget* parent)
    : QMainWindow(parent),
      m_ctx(context),
      m_edit(new RichTextBox(this)),
      m_buffer(m_edit),
      m_session(m_buffer, context.platform, context.appFolder, *this)
{
    setObjectName(QStringLiteral("MainFrm"));
    resize(1000, 700);

    m_edit->onFileDropped = [this](const QString& path) { m_session.document().dropFile(path); };
    // Snippet hot keys and Tab.
    m_edit->onKeyPress = [this](QKeyEvent* e) {
        const int vk = virtualKeyFromQt(e->key(), e->modifiers(), e->nativeScanCode());
        return handleEditBoxKey(m_buffer, m_session.snippets(), vk, modifierMaskFromQt(e->modifiers())).consumed;
    };
    // The snippet dialog lives for the whole run; closing only hides it.
    m_teigata = new TeigataFrm(m_session.snippets(), m_buffer, m_ctx.platform, m_ctx.appFolder, this);
    connect(m_teigata, &TeigataFrm::snippetsSaved, this, &MainFrm::snippetsChanged);

    buildWorkArea();
    m_highlighter = new TagHighlighter(m_edit, this);
    m_assist = new TagAssist(m_edit, m_highlighter);
    m_markCheck = new QTimer(this);
    m_markCheck->setSingleShot(true);
    m_markCheck->setInterval(300);
    connect(m_markCheck, &QTimer::timeout, this, [this] { showModifiedMark(m_session.document().isModified()); });
    buildMenusAndBars();
    buildStatusBar();
    connect(m_edit, &QsciScintilla::cursorPositionChanged, this, &MainFrm::UpdateStatusBar);
    connect(m_edit, &QsciScintilla::selectionChanged, this, &MainFrm::UpdateStatusBar);
    setWindowTitle(m_session.document().title());
}

MainFrm::~MainFrm()
{
    // The edit box outlives the session (child widgets go last): nothing it
    // does while it is destroyed may reach the session.
    disconnect(m_edit, nullptr, this, nullptr);
    QObject::disconnect(&m_buffer, &EditBuffer::changed, nullptr, nullptr);
}

QAction* MainFrm::action(const QString& id) const
{
    return m_menus->action(id);
}

void MainFrm::report(const QString& text, MsgIcon icon)
{
    m_ctx.platform.messages->show(text, QStringLiteral("Quillet"), icon, MsgButtons::Ok);
}

void MainFrm::buildWorkArea()
{
    // The design bar on the left; beside it the tab strip (shown only in the
    // tab arrangement) above a splitter holding the edit box and the preview,
    // side by side or one above the other.
    m_work = new QWidget(this);
    m_work->setObjectName(QStringLiteral("WorkArea"));
    setCentralWidget(m_work);
    m_work->installEventFilter(this);
    auto* row = new QHBoxLayout(m_work);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    m_designBar = new DesignBar(m_work);
    row->addWidget(m_designBar);
    auto* pages = new QVBoxLayout;
    pages->setContentsMargins(0, 0, 0, 0);
    pages->setSpacing(0);
    row->addLayout(pages, 1);

    m_tabs = new QTabBar(m_work);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_tabs->addTab(QStringLiteral("ソース"));
    m_tabs->addTab(QStringLiteral("プレビュー"));
    m_tabs->setExpanding(false);
    pages->addWidget(m_tabs);

    m_split = new QSplitter(m_work);
    m_split->setObjectName(QStringLiteral("EditPreviewSplitter"));
    m_split->setChildrenCollapsible(false);
    m_split->setOpaqueResize(true);
    m_split->setHandleWidth(4);
    m_edit->setParent(m_split);
    m_split->addWidget(m_edit);
    m_browserArea = new PreviewView(m_ctx.browserEngine, m_split);
    m_split->addWidget(m_browserArea);
    m_split->setStretchFactor(0, 1);
    m_split->setStretchFactor(1, 1);
    pages->addWidget(m_split, 1);
    // Two equal halves until the user drags the divider.
    m_split->installEventFilter(this);
    connect(m_split, &QSplitter::splitterMoved, this, [this] { m_dividerMoved = true; });

    // The refresh button shows the latest text, also a large page's (as F9 does).
    connect(m_browserArea, &PreviewView::refreshRequested, this, [this] { m_session.RefreshPreview(true); });

    connect(m_tabs, &QTabBar::currentChanged, this, [this](int tab) {
        ApplyLayout();
        if (tab == 1)
            m_session.RefreshPreview(true);
    });

    connect(m_designBar, &DesignBar::fileClicked, this, &MainFrm::openFromPanel);
    connect(m_designBar, &DesignBar::changeFolderClicked, this, &MainFrm::chooseFolder);
    connect(m_designBar, &DesignBar::folderMenuRequested, this, [this](const QPoint& pos) {
        QMenu menu(this);
        menu.setObjectName(QString::fromLatin1(cmd::IDM_RIGHTCLICK));
        QAction* a = menu.addAction(m_session.commands().find(QString::fromLatin1(cmd::IDM_PATHCHANGE))->caption);
        a->setObjectName(QString::fromLatin1(cmd::IDM_PATHCHANGE));
        if (menu.exec(pos) == a)
            runCommand(QString::fromLatin1(cmd::IDM_PATHCHANGE));
    });
    connect(m_designBar, &DesignBar::fontRequested, this, &MainFrm::runFontSetter);
    connect(m_designBar, &DesignBar::colourPickClicked, this, [this] {
        if (const auto colour = m_ctx.platform.colours->pick())
            m_designBar->setColourText(QLatin1Char('#') + ColourToHex(*colour));
    });
}

void MainFrm::buildMenusAndBars()
{
    m_menus = new CommandMenus(m_session.commands(), this);
    m_menus->buildMenuBar(menuBar(), mainMenuBar());
    m_contextMenu = m_menus->buildContextMenu(contextMenuLayout(), this);
    m_edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_edit, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_contextMenu->popup(m_edit->viewport()->mapToGlobal(pos)); });

    const QList<ToolBarDef> bars = toolBars();
    for (qsizetype i = 0; i < bars.size(); ++i) {
        QToolBar* bar = m_menus->buildToolBar(this, bars[i], [this] { m_edit->setFocus(); });
        // The headings' captions say which level they insert: shown beside the picture.
        if (bars[i].name == QLatin1String("Toolbar3"))
            bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        if (i == 0)
            addToolBarBreak();
    }
    addToolBarBreak();
    m_linkBar = new LinkBar(this);
    addToolBar(m_linkBar);
    connect(m_linkBar, &LinkBar::chooseFileClicked, this, &MainFrm::selectLinkFile);
    connect(m_linkBar, &LinkBar::encodeClicked, this,
            [this] { m_buffer.ReplaceSelection(tw::AngouStr(m_linkBar->fileName())); });
    connect(m_linkBar, &LinkBar::insertClicked, this, [this](LinkBarButton b) {
        m_buffer.ReplaceSelection(BuildLinkBarText(b, m_linkBar->fileName(), m_buffer.selectedText()));
        m_edit->setFocus();
    });
    m_menus->refreshStates();
    recentFilesChanged();
}

void MainFrm::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    const int stretch[4] = {0, 3, 1, 1};
    auto* picture = new QLabel(bar);
    picture->setObjectName(QStringLiteral("StatusPicture"));
    picture->setPixmap(quilletLogo(16));
    bar->addPermanentWidget(picture);
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(bar);
        m_panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        bar->addPermanentWidget(m_panels[i], stretch[i]);
    }
    m_panels[0]->setText(QStringLiteral("Tagwright"));
    m_formatPanel = new QLabel(bar);
    m_formatPanel->setObjectName(QStringLiteral("FormatPanel"));
    bar->addPermanentWidget(m_formatPanel);
}

void MainFrm::formatChanged()
{
    UpdateStatusBar();
    if (m_menus)
        m_menus->refreshStates();
}

QString MainFrm::statusText(int panel) const
{
    if (panel == 5)
        return m_formatPanel->text();
    return panel >= 1 && panel <= 4 ? m_panels[panel - 1]->text() : QString();
}

void MainFrm::UpdateStatusBar()
{
    // The line and column of the selection's start; a double-byte character
    // counts as one column.
    const qsizetype start = m_buffer.selectionStart();
    m_panels[1]->setText(folderStatusText(m_session.document().panelFolder()));
    m_panels[2]->setText(caretStatusText(m_edit->lineOfOffset(start) + 1, int(m_edit->columnOfOffset(start)) + 1));
    m_formatPanel->setText(formatStatusText(m_session.document().format()));
}

void MainFrm::openFromPanel(const QString& name)
{
    const bool existed = QFileInfo::exists(joinPath(m_session.document().panelFolder(), name));
    if (m_session.document().openFromPanel(name))
        m_edit->setFocus();
    else if (!existed)
        m_designBar->refresh();  // the file went away since the list was made
    // Cancelled or refused: the list must not show the clicked file as open.
    highlightDocumentFile();
}

void MainFrm::highlightDocumentFile()
{
    if (!m_designBar)
        return;
    const Document& doc = m_session.document();
    const bool listed = doc.hasOwnFile() && QFileInfo(doc.documentFolder()) == QFileInfo(doc.panelFolder());
    m_designBar->setCurrentFile(listed ? doc.DocumentName() : QString());
}

void MainFrm::runFontSetter(const QString& size, const QString& colour)
{
    const QString text = fontTagText(size, colour, m_buffer.selectedText());
    if (text.isEmpty()) {
        report(QStringLiteral("フォントのサイズか色のどちらかは選択してください"));
        return;
    }
    m_buffer.ReplaceSelection(text);
    m_edit->setFocus();
}

void MainFrm::selectLinkFile()
{
    const QString path =
        chooseLinkFile(*m_ctx.platform.files, m_session.document().panelFolder(), m_session.settings().SoutaiPath == 1);
    if (!path.isEmpty())
        m_linkBar->setFileName(path);
}

bool MainFrm::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_work && e->type() == QEvent::Resize && m_linkBar)
        m_linkBar->fitTo(pixelsToTwips(width(), this));
    if (watched == m_split && e->type() == QEvent::Resize && !m_dividerMoved)
        halveSplitter();
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

std::optional<WindowPlacement> MainFrm::normalPlacement() const
{
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return std::nullopt;
    WindowPlacement p;
    p.width = pixelsToTwips(width(), this);
    p.height = pixelsToTwips(height(), this);
    p.left = pixelsToTwips(x(), this);
    p.top = pixelsToTwips(y(), this);
    return p;
}

void MainFrm::SaveSettings()
{
    if (const Result saved = m_session.saveSettings(normalPlacement()); !saved)
        report(saved.reason());
}

void MainFrm::ApplyLayout()
{
    if (!m_work || !m_menus)
        return;
    const EditorSettings& s = m_session.settings();
    // 1815 twips, or wider where this platform's controls need it.
    m_designBar->setFixedWidth(std::max(twipsToPixels(1815, this), m_designBar->minimumSizeHint().width()));
    m_designBar->setVisible(s.DesignBar != 0);

    const bool preview = s.Preview != 0;
    const bool tabs = s.AreaDivide == 2;
    m_split->setOrientation(s.AreaDivide == 1 ? Qt::Vertical : Qt::Horizontal);
    m_tabs->setVisible(tabs);
    // With tabs only the selected page shows, over the whole area.
    const bool sourcePage = m_tabs->currentIndex() == 0;
    m_edit->setVisible(!tabs || sourcePage);
    m_browserArea->setVisible(preview && (!tabs || !sourcePage));

    // A new arrangement starts with two equal halves; within one, the
    // divider stays where the user dragged it.
    const int arrangement = s.AreaDivide * 2 + (preview ? 1 : 0);
    // With tabs the one page shown takes the whole area.
    if (arrangement != m_arrangement || tabs) {
        m_arrangement = arrangement;
        m_dividerMoved = false;
        halveSplitter();
    }

    if (m_edit->lineNumbersShown() != (m_session.settings().LineNumbers != 0))
        m_edit->setLineNumbersShown(m_session.settings().LineNumbers != 0);
    applyEditView();
    m_menus->refreshStates();
    m_linkBar->fitTo(pixelsToTwips(width(), this));
}

void MainFrm::halveSplitter()
{
    const int whole = m_split->orientation() == Qt::Vertical ? m_split->height() : m_split->width();
    m_split->setSizes({std::max(1, whole / 2), std::max(1, whole - whole / 2)});
}

void MainFrm::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    m_session.printSettings() = presetPrintSettings(printerFontPoints());
    WindowPlacement placement;
    m_session.loadSettings(placement);
    applyPlacement(placement);
    applyEditView();
    m_session.loadSnippets();
    m_session.startNewDocument();
    if (m_session.settings().DefaultMaxWin == 1)
        setWindowState(windowState() | Qt::WindowMaximized);
    UpdateStatusBar();
    if (!m_ctx.commandLine.isEmpty())
        m_session.document().openPath(m_ctx.commandLine);
    if (m_ctx.splashMs > 0)
        SplashFrm::showAtStart(m_ctx.splashMs);
    m_tabs->setCurrentIndex(0);
    ApplyLayout();
    m_edit->setFocus();
}

void MainFrm::applyEditView()
{
    const EditorSettings& s = m_session.settings();
    m_assist->applyColouring(s.ColorAdd == 1, s.SyntaxColour != 0);
    m_assist->setCompletion(s.TagCompletion != 0);
    const auto wrap = s.WordWrap != 0 ? QsciScintilla::WrapWord : QsciScintilla::WrapNone;
    if (m_edit->wrapMode() != wrap)
        m_edit->setWrapMode(wrap);
}

void MainFrm::titleChanged(const QString&)
{
    m_markCheck->stop();
    const std::optional<bool> modified = m_session.document().isModifiedAtOnce();
    showModifiedMark(modified ? *modified : m_session.document().isModified());
    formatChanged();
    highlightDocumentFile();
}

void MainFrm::documentChanged()
{
    // Per key only what costs nothing; an edit that keeps the length (an
    // undo back to the saved text) is compared once typing pauses.
    const std::optional<bool> modified = m_session.document().isModifiedAtOnce();
    if (modified) {
        m_markCheck->stop();
        showModifiedMark(*modified);
    } else {
        m_markCheck->start();
    }
}

void MainFrm::showModifiedMark(bool modified)
{
    // "*" before the document's name: "Tagwright - *index.html".
    QString title = m_session.document().title();
    if (modified) {
        const qsizetype at = title.startsWith(titlePrefix()) ? titlePrefix().size() : 0;
        title.insert(at, QLatin1Char('*'));
    }
    if (windowTitle() != title)
        setWindowTitle(title);
}

void MainFrm::recentFilesChanged()
{
    if (!m_menus)
        return;
    const QStringList& paths = m_session.recentFiles().paths();
    for (int i = 0; i < RecentFiles::kMax; ++i) {
        QAction* a = action(recentCommandId(i));
        a->setVisible(i < paths.size());
        if (i < paths.size())
            a->setText(recentCaption(i, paths[i]));
    }
    action(QString::fromLatin1(cmd::IDM_RECENT_NONE))->setVisible(paths.isEmpty());
}

void MainFrm::openFromOtherStart(const QString& path)
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    if (!path.isEmpty() && m_session.document().Save_Check())
        m_session.document().openPath(path);
}

void MainFrm::closeEvent(QCloseEvent* e)
{
    if (!m_session.document().Save_Check()) {
        e->ignore();
        return;
    }
    m_session.close();
    SaveSettings();
    e->accept();
}

}  // namespace tw
