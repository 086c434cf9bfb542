#include "editor/builders/ui/builderdialogs.h"
#include "editor/commands/commandids.h"

#include "editor/builders/calendar.h"
#include "editor/builders/gradation.h"
#include "editor/builders/links.h"
#include "editor/builders/listskeleton.h"
#include "editor/builders/marquee.h"
#include "editor/builders/pageskeleton.h"
#include "editor/builders/scriptlibrary.h"
#include "editor/builders/table.h"
#include "editor/builders/ui/calendarfrm.h"
#include "editor/builders/ui/gradationinsfrm.h"
#include "editor/builders/ui/htmlset.h"
#include "editor/builders/ui/javascriptfrm.h"
#include "editor/builders/ui/linkinsertfrm.h"
#include "editor/builders/ui/listinsertfrm.h"
#include "editor/builders/ui/marqueefrm.h"
#include "editor/builders/ui/tablefrm.h"
#include "editor/document/document.h"
#include "editor/document/editbuffer.h"

#include <QDateTime>
#include <QHash>

#include <memory>

namespace tw {

namespace {

using Opener = void (*)(const BuilderHost& host, QWidget* parent);

// Each builder's dialog, by the command that opens it: a new builder adds
// its line here and its command beside the others.
const QHash<QString, Opener>& openers()
{
    static const QHash<QString, Opener> table{
        {QLatin1String(cmd::IDM_HTMLNEW),
         [](const BuilderHost& host, QWidget* parent) {
             HtmlSet dlg(PageSkeletonOptions{}, host.platform, host.document.panelFolder(), parent);
             if (dlg.exec() == QDialog::Accepted)
                 host.document.newFromText(BuildPageSkeleton(dlg.values()));
         }},
        {QLatin1String(cmd::IDM_INSERT_CALENDAR),
         [](const BuilderHost& host, QWidget* parent) {
             const QDate today = host.platform.clock ? host.platform.clock->now().date() : QDate::currentDate();
             CalendarFrm dlg(CalendarOptions{today.year(), today.month()}, today, parent);
             if (dlg.exec() == QDialog::Accepted)
                 host.buffer.ReplaceSelection(BuildCalendar(dlg.values()));
         }},
        {QLatin1String(cmd::IDM_LIST),
         [](const BuilderHost& host, QWidget* parent) {
             ListInsertFrm dlg(ListOptions{}, host.platform, host.document.panelFolder(), parent);
             if (dlg.exec() == QDialog::Accepted)
                 host.buffer.ReplaceSelection(BuildList(dlg.values()));
         }},
        {QLatin1String(cmd::IDM_GRADATION),
         [](const BuilderHost& host, QWidget* parent) {
             GradationInsFrm dlg(GradationOptions{}, host.platform, parent);
             if (dlg.exec() == QDialog::Accepted)
                 host.buffer.ReplaceSelection(BuildGradation(dlg.values()).text);
         }},
        {QLatin1String(cmd::IDM_TABLE),
         [](const BuilderHost& host, QWidget* parent) {
             TableFrm dlg(TableOptions{}, host.platform, parent);
             if (dlg.exec() == QDialog::Accepted)
                 host.buffer.ReplaceSelection(BuildTable(dlg.values()));
         }},
        {QLatin1String(cmd::IDM_MARQUEE),
         [](const BuilderHost& host, QWidget* parent) {
             MarqueeOptions start;
             start.text = host.buffer.selectedText();
             MarqueeFrm dlg(start, parent);
             if (dlg.exec() == QDialog::Accepted)
                 host.buffer.ReplaceSelection(BuildMarquee(dlg.values()));
         }},
        {QLatin1String(cmd::IDM_INSERT_LINK),
         [](const BuilderHost& host, QWidget* parent) {
             LinkOptions start;
             start.file = host.linkTarget;
             start.selected = host.buffer.selectedText();
             LinkInsertFrm dlg(start, host.platform, host.document.panelFolder(), host.relativePaths, parent);
             if (dlg.exec() == QDialog::Accepted)
                 host.buffer.ReplaceSelection(BuildLink(dlg.values()));
         }},
        // The script library's dialog is kept (hidden) between openings; the
        // library is read afresh each time.
        {QLatin1String(cmd::IDM_JAVA),
         [](const BuilderHost& host, QWidget* parent) {
             std::unique_ptr<JavaScriptFrm> own;
             JavaScriptFrm* dlg =
                 parent ? parent->findChild<JavaScriptFrm*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
             if (!dlg) {
                 dlg = new JavaScriptFrm(host.platform, parent);
                 if (!parent)
                     own.reset(dlg);
             }
             const QString library = scriptLibraryPath(host.appFolder);
             dlg->setFragments(LoadScriptLibrary(library), library);
             if (dlg->exec() == QDialog::Accepted)
                 host.buffer.ReplaceSelection(dlg->chosenText());
         }},
    };
    return table;
}

}  // namespace

bool runBuilderDialog(const QString& id, const BuilderHost& host, QWidget* parent)
{
    const Opener open = openers().value(id);
    if (!open)
        return false;
    open(host, parent);
    return true;
}

}  // namespace tw
