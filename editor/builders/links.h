#pragma once
// Links, anchors, images and mail links: the link dialog's three tabs and
// the link bar's one-click buttons. Targets, addresses and subjects are
// written as typed, never escaped.

#include "common/platform.h"

#include <QString>
#include <QStringList>

namespace tw {

// The link bar's buttons beside LinkFileNameTxt.
enum class LinkBarButton { Link, Anchor, Mail, Picture, Throw };  // LinkBtn .. ThrowBtn

// What a link-bar button puts in place of the selection, from the target
// name: the link forms wrap the selected text, the image and the plain name
// replace it.
QString BuildLinkBarText(LinkBarButton button, const QString& name, const QString& selected);

// The target combos' items: "通常", "新しいウインドウ", "同一ウインドウ",
// "親ウインドウ", "全画面".
const QStringList& linkTargetNames();
// " target=\"_blank\"" and the like; nothing for "通常"; an empty value for a
// text that is none of the items.
QString linkTargetPart(const QString& target);

struct LinkOptions {
    int tab = 0;  // 0 file or web, 1 mail, 2 label
    QString file = QStringLiteral("test.html");
    QString fileTarget = QStringLiteral("通常");
    QString address;
    QString subject;  // empty: no ?Subject=
    QString label;
    QString labelTarget = QStringLiteral("通常");
    QString selected;  // the text the link wraps
};

// The start tag of the active tab, the selected text and "</A>"; empty for
// a tab that does not exist.
QString BuildLink(const LinkOptions& o);

// The "..." buttons of the link bar and of the link dialog: the chosen file,
// relative to the file panel's folder when relativePaths (SoutaiPath) is on;
// empty when the dialog was cancelled.
QString chooseLinkFile(FileDialogs& files, const QString& panelFolder, bool relativePaths);

}  // namespace tw
