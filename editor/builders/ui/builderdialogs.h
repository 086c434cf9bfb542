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
};

// False for a command that has no builder dialog.
bool runBuilderDialog(const QString& commandId, const BuilderHost& host, QWidget* parent);

}  // namespace tw
