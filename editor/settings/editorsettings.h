#pragma once
// The editor's settings file quillet.ini: one section "Setting", values as
// plain text, CP932 with CR LF.

#include <QString>
#include "common/result.h"

#include <cstdint>
#include <optional>

namespace tw {

struct EditorSettings {
    std::int16_t Preview = 1;
    std::int16_t ColorAdd = 0;
    std::int16_t DesignBar = 1;
    std::int16_t SoutaiPath = 1;
    std::int16_t PreviewWindowX = 800;
    std::int16_t PreviewWindowY = 600;
    QString Browser1, Browser2, Browser3;
    QString Browser1Name, Browser2Name, Browser3Name;
    std::int16_t NewVersionCheck = 0;
    std::int16_t DefaultMaxWin = 0;
    std::int16_t RealTimePreview = 1;
    std::int16_t AreaDivide = 0;
    // Kept in quillet.ini's own section "View", so the Setting section stays
    // as other installations read it.
    std::int16_t LineNumbers = 1;
    std::int16_t SyntaxColour = 1;   // HTML colouring of the edit box
    std::int16_t WordWrap = 0;       // lines wrap at the box's right edge
    std::int16_t TagCompletion = 1;  // element and attribute lists while typing
};

// Size and position of the main window in twips, as stored.
struct WindowPlacement {
    std::optional<double> width, height, left, top;
};

// Text to a 16-bit signed integer: a decimal number, fractions rounded half
// to even; nothing when it is not a number or outside -32768..32767.
std::optional<std::int16_t> toInt16(const QString& text);
// Text to a real number; nothing when it does not convert.
std::optional<double> toReal(const QString& text);
// The shortest decimal form of a real number: 9600, 12.5.
QString realText(double v);

QString settingsPath(const QString& appFolder);  // app + /tools/Setting/quillet.ini

// Reads every key into settings and placement. A missing file or key, an
// empty value, or a value that does not convert leaves the field as it was.
// folder receives the stored FPath (default: the application folder).
void readSettingsFile(const QString& path, const QString& appFolder, EditorSettings& settings,
                      WindowPlacement& placement, QString& folder);

// The folder the file panel starts in: the stored folder if it exists and
// holds at least one file, else the application folder.
QString startFolder(const QString& stored, const QString& appFolder);

// Writes the sixteen option keys, the four window keys when placement is
// given (the window is in its normal state) and fpath last. Keys it does not
// know survive. False with a message when the file cannot be written.
Result writeSettingsFile(const QString& path, const QString& appFolder, const EditorSettings& settings,
                         const std::optional<WindowPlacement>& placement, const QString& workingFolder);

// Creates app/tools and app/tools/Setting when missing. Returns true when the
// settings folder had to be created (the user is then told).
bool ensureSettingsFolders(const QString& appFolder);

// The two lines shown when the settings folder was missing.
QString missingSettingsFolderMessage();

}  // namespace tw
