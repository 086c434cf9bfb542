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

#include <memory>

namespace tw {

bool runBuilderDialog(const QString& id, const BuilderHost& host, QWidget* parent)
{
    if (id == QLatin1String(cmd::IDM_HTMLNEW)) {
        HtmlSet dlg(PageSkeletonOptions{}, host.platform, host.document.panelFolder(), parent);
        if (dlg.exec() == QDialog::Accepted)
            host.document.newFromText(BuildPageSkeleton(dlg.values()));
        return true;
    }
    if (id == QLatin1String(cmd::IDM_INSERT_CALENDAR)) {
        const QDate today = host.platform.clock ? host.platform.clock->now().date() : QDate::currentDate();
        CalendarFrm dlg(CalendarOptions{today.year(), today.month()}, today, parent);
        if (dlg.exec() == QDialog::Accepted)
            host.buffer.ReplaceSelection(BuildCalendar(dlg.values()));
        return true;
    }
    if (id == QLatin1String(cmd::IDM_LIST)) {
        ListInsertFrm dlg(ListOptions{}, host.platform, host.document.panelFolder(), parent);
        if (dlg.exec() == QDialog::Accepted)
            host.buffer.ReplaceSelection(BuildList(dlg.values()));
        return true;
    }
    if (id == QLatin1String(cmd::IDM_GRADATION)) {
        GradationInsFrm dlg(GradationOptions{}, host.platform, parent);
        if (dlg.exec() == QDialog::Accepted)
            host.buffer.ReplaceSelection(BuildGradation(dlg.values()).text);
        return true;
    }
    if (id == QLatin1String(cmd::IDM_TABLE)) {
        TableFrm dlg(TableOptions{}, host.platform, parent);
        if (dlg.exec() == QDialog::Accepted)
            host.buffer.ReplaceSelection(BuildTable(dlg.values()));
        return true;
    }
    if (id == QLatin1String(cmd::IDM_MARQUEE)) {
        MarqueeOptions start;
        start.text = host.buffer.selectedText();
        MarqueeFrm dlg(start, parent);
        if (dlg.exec() == QDialog::Accepted)
            host.buffer.ReplaceSelection(BuildMarquee(dlg.values()));
        return true;
    }
    if (id == QLatin1String(cmd::IDM_INSERT_LINK)) {
        LinkOptions start;
        start.file = host.linkTarget;
        start.selected = host.buffer.selectedText();
        LinkInsertFrm dlg(start, host.platform, host.document.panelFolder(), host.relativePaths, parent);
        if (dlg.exec() == QDialog::Accepted)
            host.buffer.ReplaceSelection(BuildLink(dlg.values()));
        return true;
    }
    if (id == QLatin1String(cmd::IDM_JAVA)) {
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
        return true;
    }
    return false;
}

}  // namespace tw
