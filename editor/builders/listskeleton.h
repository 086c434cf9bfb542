#pragma once
// The list skeleton: an HTML list with a number of empty items.

#include <QString>
#include <QStringList>

namespace tw {

// ListKindCmb's items in their order.
const QStringList& listKindNames();

struct ListOptions {
    QString kind = QStringLiteral("指定なし(・)");
    QString count = QStringLiteral("1");  // as typed
    QString start = QStringLiteral("1");  // as typed; used by the ordered kinds
    QString picture;                      // the image bullet's path
};

// Which rows of the form a kind uses (the dialog's MarkSet).
struct ListRows {
    bool picture = false;
    bool start = false;
    bool count = true;
};
ListRows listRowsFor(const QString& kind);

// The most items one list may get; more would only make the editor stall.
constexpr int kMaxListItems = 100000;

// Why the values cannot be built (a kind that is none of the items, a count
// or start that is no number), in Japanese; empty when they can.
QString listInputProblem(const ListOptions& o);
// The list, CR LF breaks, nothing after the closing tag; empty for values
// listInputProblem refuses.
QString BuildList(const ListOptions& o);

}  // namespace tw
