#pragma once
// Saving the composed style text: as a style sheet, or as a sample page that
// embeds it. Files are CP932 with CR LF, written atomically.

#include "common/platform.h"

#include <QString>

namespace tw::velmora {

enum class OutputFormat { StyleSheet = 0, Html = 1 };

// The sample page around the style text (CR LF breaks, no break after the
// last line).
QString SamplePageText(const QString& style);

// The bytes-to-be of the saved file, as text: the style sheet or the sample
// page, followed by CR LF.
QString outputFileText(OutputFormat format, const QString& style);

// "styletest.css" or "htmltest.htm".
QString proposedFileName(OutputFormat format);

enum class SaveOutcome { Saved, Cancelled, Failed };

struct SaveResult {
    SaveOutcome outcome = SaveOutcome::Cancelled;
    QString path;  // the chosen file, also when writing it failed
};

// Asks for the target with the save dialog (starting in startFolder) and
// writes the file. A failure is told to the user and leaves any old file
// as it was.
SaveResult saveStyleOutput(const Platform& platform, OutputFormat format, const QString& style,
                           const QString& startFolder);

}  // namespace tw::velmora
