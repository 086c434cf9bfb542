#pragma once
// Snipport: turns a snippet file of editor version 1 (title,text,hotkey)
// into the version 2 layout (title,start,end,hotkey) in one folder, talking
// to the user through message boxes only.

#include "common/platform.h"

#include <QString>

#include <optional>

namespace tw {

enum class SnipportOutcome {
    Declined,         // the user did not answer Yes; nothing touched
    CreatedDefaults,  // no teigata.csv: one was written with the five default snippets
    Converted,        // teigata.csv -> teigata.bak, teigata_Conv.csv -> teigata.csv (teigata.csv always there)
    Refused,          // a line is not a version 1 line; no file renamed
    BackupExists,     // teigata.bak is in the way; no file renamed
    Failed,           // a file could not be read, written or renamed; reported
};

// The commas of a line, not counting one in the first character position.
int countVersion1Commas(const QString& line);

// The version 2 line for a version 1 line: title + "," + text + ",," + hotkey.
// Nothing when the line does not have exactly two counted commas, or when it
// starts with a comma (its fields could only be split by dropping one).
std::optional<QString> convertVersion1Line(const QString& line);

// The whole program on the files teigata.csv, teigata_Conv.csv and
// teigata.bak in folder: asks first, then creates, converts or refuses, and
// tells the user the outcome.
SnipportOutcome runSnipport(const QString& folder, MessageBoxes* boxes);

// The texts it shows.
QString snipportTitle();     // "Snipport"
QString snipportQuestion();  // the three lines of the opening question, joined by CR LF
QString snipportCreatedMessage();
QString snipportRefusedMessage();
QString snipportConvertedMessage();

}  // namespace tw
