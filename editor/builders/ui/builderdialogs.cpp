#include "editor/builders/ui/builderdialogs.h"

#include "editor/builders/calendar.h"
#include "editor/builders/gradation.h"
#include "editor/builders/listskeleton.h"
#include "editor/builders/pageskeleton.h"
#include "editor/builders/ui/calendarfrm.h"
#include "editor/builders/ui/gradationinsfrm.h"
#include "editor/builders/ui/htmlset.h"
#include "editor/builders/ui/listinsertfrm.h"
#include "editor/shell/document.h"
#include "editor/tags/editbuffer.h"

#include <QDateTime>

namespace tw {

bool runBuilderDialog(const QString& id, const BuilderHost& host, QWidget* parent)
{
    if (id == QLatin1String("IDM_HTMLNEW")) {
        HtmlSet dlg(PageSkeletonOptions{}, host.platform, host.document.panelFolder(), parent);
        if (dlg.exec() == QDialog::Accepted)
            host.document.newFromText(BuildPageSkeleton(dlg.values()));
        return true;
    }
    if (id == QLatin1String("IDM_INSERT_CALENDAR")) {
        const QDate today = host.platform.clock ? host.platform.clock->now().date() : QDate::currentDate();
        CalendarFrm dlg(CalendarOptions{today.year(), today.month()}, today, parent);
        if (dlg.exec() == QDialog::Accepted)
            host.buffer.ReplaceSelection(BuildCalendar(dlg.values()));
        return true;
    }
    if (id == QLatin1String("IDM_LIST")) {
        ListInsertFrm dlg(ListOptions{}, host.platform, host.document.panelFolder(), parent);
        if (dlg.exec() == QDialog::Accepted)
            host.buffer.ReplaceSelection(BuildList(dlg.values()));
        return true;
    }
    if (id == QLatin1String("IDM_GRADATION")) {
        GradationInsFrm dlg(GradationOptions{}, host.platform, parent);
        if (dlg.exec() == QDialog::Accepted)
            host.buffer.ReplaceSelection(BuildGradation(dlg.values()).text);
        return true;
    }
    return false;
}

}  // namespace tw
