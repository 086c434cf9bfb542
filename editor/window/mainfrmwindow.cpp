// The dialogs and windows the commands open, and what the session tells
// the window; the rest of the main window is in mainfrm.cpp.

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
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>

namespace tw {

void MainFrm::showSearch()
{
    SearchFrm dlg(m_buffer, m_ctx.platform.messages, this);
    dlg.exec();
}

void MainFrm::showSnippetEditor()
{
    m_teigata->clearForNewEntry();
    m_teigata->exec();
}

void MainFrm::showOptions()
{
    Setting dlg(m_session.optionValues(), m_ctx.platform, this);
    if (dlg.exec() == QDialog::Accepted) {
        for (const QString& problem : m_session.applyOptions(dlg.values(), normalPlacement()))
            m_ctx.platform.messages->show(problem, QStringLiteral("設定"), MsgIcon::Warning, MsgButtons::Ok);
    }
    // The colouring follows the option at once; it colours the visible text
    // itself, so the text is not put back into the box to trigger it.
    applyEditView();
}

void MainFrm::chooseFolder()
{
    FSelect dlg(m_session.document().panelFolder(), m_ctx.platform.messages, this);
    if (dlg.exec() == QDialog::Accepted)
        m_session.document().setPanelFolder(dlg.selectedFolder());
}

void MainFrm::showPreviewWindow(const QString& file)
{
    if (!m_previewWindow)
        m_previewWindow = new PreviewWindowFrm(m_ctx.browserEngine, this);
    m_previewWindow->showPage(file, m_session.settings().PreviewWindowX, m_session.settings().PreviewWindowY);
}

void MainFrm::showBuilder(const QString& commandId)
{
    const BuilderHost host{m_buffer,        m_session.document(),  m_ctx.platform,
                           m_ctx.appFolder, m_linkBar->fileName(), m_session.settings().SoutaiPath == 1};
    if (runBuilderDialog(commandId, host, this))
        m_edit->setFocus();
}

void MainFrm::showAbout()
{
    AboutFrm dlg([this] { openMakerPage(m_ctx.platform, m_session.versionCheck().pages().topPage); }, this);
    dlg.exec();
}

void MainFrm::showPageSetting()
{
    PageSettingFrm dlg(
        m_session.printSettings(), m_ctx.platform.messages, [this] { printDocument(); }, this);
    if (dlg.exec() == QDialog::Accepted)
        m_session.printSettings() = dlg.settings();
}

void MainFrm::printDocument()
{
    QPrinter printer(QPrinter::HighResolution);
    QtPrintDialogs onScreen(this);
    PrintDialogs& dialogs = m_ctx.printDialogs ? *m_ctx.printDialogs : onScreen;
    // The selection is offered, yet the whole text is printed.
    if (!dialogs.choose(printer, m_buffer.selectionLength() > 0))
        return;
    const PrintOutcome r = printSourceText(printer, m_session.printSettings(), m_session.document().title(),
                                           m_buffer.text(), m_edit->font());
    if (!r.error.isEmpty())
        report(r.error);
}

void MainFrm::customizeToolBar(const QString& name)
{
    auto* bar = findChild<QToolBar*>(name, Qt::FindDirectChildrenOnly);
    const QList<ToolBarDef> defs = toolBars();
    const auto def = std::find_if(defs.begin(), defs.end(), [&name](const ToolBarDef& d) { return d.name == name; });
    if (!bar || def == defs.end())
        return;
    // The buttons the bar was built with, as the program starts, and as they stand now.
    QList<ToolButtonState> defaults;
    for (const ToolButtonDef& b : def->buttons) {
        if (action(name + QLatin1Char('_') + b.key))
            defaults.append({b, true});
    }
    QList<ToolButtonState> current;
    for (QAction* a : bar->actions()) {
        for (const ToolButtonState& d : defaults) {
            if (d.button.key == a->data().toString())
                current.append({d.button, a->isVisible()});
        }
    }
    ToolbarCustomizeFrm dlg(def->title, current, defaults, this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    const QList<QAction*> old = bar->actions();
    for (QAction* a : old)
        bar->removeAction(a);
    for (const ToolButtonState& b : dlg.buttons()) {
        QAction* a = action(name + QLatin1Char('_') + b.button.key);
        bar->addAction(a);
        a->setVisible(b.visible);
        if (QWidget* w = bar->widgetForAction(a))
            w->setAccessibleName(b.button.tip);  // a new button for the moved action
    }
}

void MainFrm::selectSourceTab()
{
    m_tabs->setCurrentIndex(0);
}

void MainFrm::refreshFileList()
{
    m_designBar->refresh();
}

void MainFrm::applyFilePattern()
{
    m_designBar->applyPattern();
}

void MainFrm::focusEditBox()
{
    m_edit->setFocus();
}

void MainFrm::panelFolderChanged(const QString& folder)
{
    m_panels[1]->setText(folderStatusText(folder));
    m_designBar->setFolder(folder);
    highlightDocumentFile();
}

void MainFrm::historyChanged()
{
    if (m_menus)
        m_menus->refreshStates();
}

void MainFrm::snippetsChanged()
{
    m_teigata->refreshList();
    const SnippetMenuState m = snippetMenuState(m_session.snippets());
    for (const QList<SnippetMenuItem>* items : {&m.mainItems, &m.contextItems}) {
        for (const SnippetMenuItem& item : *items) {
            if (QAction* a = action(item.id)) {
                a->setVisible(item.visible);
                if (item.visible)
                    a->setText(item.caption);
            }
        }
    }
    action(QStringLiteral("separatorA"))->setVisible(m.separatorAVisible);
    action(QString::fromLatin1(cmd::IDM_CONTEXT_TEIGATA_S1))->setVisible(m.contextSeparatorVisible);
}

void MainFrm::browsersChanged()
{
    const BrowserMenuState m = browserMenuState(m_session.settings());
    action(QStringLiteral("separatorH"))->setVisible(m.separatorVisible);
    action(QString::fromLatin1(cmd::IDM_CONTEXT_PREVIEW_S1))->setVisible(m.separatorVisible);
    for (int i = 0; i < 3; ++i) {
        for (const QString& id :
             {QStringLiteral("IDM_PREVIEW_BROWSER%1"), QStringLiteral("IDM_CONTEXT_PREVIEW_BROWSER%1")}) {
            QAction* a = action(id.arg(i + 1));
            a->setVisible(m.visible[i]);
            a->setText(m.caption[i]);
        }
    }
}

void MainFrm::showPreview(const QString& file)
{
    m_browserArea->showFile(file);
}

bool MainFrm::previewLoading() const
{
    return m_browserArea->loading();
}

void MainFrm::previewNotice(const QString& text)
{
    m_browserArea->setNotice(text);
}

}  // namespace tw
