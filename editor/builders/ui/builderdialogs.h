#pragma once
// Opens a builder's dialog with its initial values and puts the confirmed
// text into the document: at the selection, or (the page skeleton) as a new
// document.

#include "common/platform.h"

#include <QString>

class QWidget;

namespace tw {

class Document;
class EditBuffer;

struct BuilderHost {
    EditBuffer& buffer;
    Document& document;  // the skeleton's target; its panel folder for relative paths
    Platform platform;
    QString appFolder;           // where the script library is
    QString linkTarget;          // LinkFileNameTxt: the link dialog's first target
    bool relativePaths = false;  // SoutaiPath: files picked for links relative to the panel's folder
};

// False for a command that has no builder dialog. The script library's
// dialog is made once as a child of parent and only hidden afterwards.
bool runBuilderDialog(const QString& commandId, const BuilderHost& host, QWidget* parent);

}  // namespace tw
