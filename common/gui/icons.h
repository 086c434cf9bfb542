#pragma once

#include <QIcon>
#include <QString>

namespace tw {

// The pictures of buttons and windows. A name of the desktop's icon theme
// ("document-save") is taken from the theme when it has it and from our own
// set otherwise; our own names ("tw-br") always come from our set. Both are
// scalable, so they stay sharp at any size and device pixel ratio.
QIcon toolIcon(const QString& name);

// The application's own picture: "tagwright-quillet", "tagwright-ftp",
// "tagwright-velmora" (also the name of its desktop entry).
QIcon appIcon(const QString& name);

// Once at start, before the first window: pictures the user's theme lacks
// are looked up in a full theme when one is installed, then in our set; the
// application's picture becomes every window's icon, and the desktop learns
// which entry the windows belong to.
void setUpIcons(const QString& appName);

}  // namespace tw
