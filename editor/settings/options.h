#pragma once
// The values of the options dialog as typed, and the check that turns them
// into EditorSettings.

#include "editor/settings/editorsettings.h"

#include <QString>

namespace tw {

struct OptionValues {
    bool Preview = false;
    bool ColorAdd = false;
    bool DesignBar = false;
    bool SoutaiPath = false;
    bool NewVersionCheck = false;
    bool DefaultMaxWin = false;
    bool RealTimePreview = false;
    bool TagCompletion = false;  // stored in the View section, not in Setting
    QString WorkingFolder;
    QString PreviewWindowX;  // as typed in the size boxes
    QString PreviewWindowY;
    QString Browser1, Browser2, Browser3;
    QString Browser1Name, Browser2Name, Browser3Name;
    QString Header;  // HeaderTxt, FutterTxt
    QString Footer;
    QString PanelFolder;   // what DirNowBtn puts into FirstFolderTxt
    bool browsed = false;  // a browse button was used (PreviousFolder follows the panel)
};

// The size box a bad value was found in.
enum class OptionField { None, PreviewWindowX, PreviewWindowY };

struct OptionsOutcome {
    bool ok = false;
    OptionField badField = OptionField::None;
    QString message;        // the warning for the user when not ok
    QString workingFolder;  // FirstFolderTxt, when ok
};

// What the dialog shows for the stored settings; sizes in plain decimal.
OptionValues optionValuesFrom(const EditorSettings& settings, const QString& workingFolder);

// Checks every value first and only then writes them all into settings: a
// size that is not a number from -32768 to 32767 leaves settings untouched.
OptionsOutcome applyOptionValues(const OptionValues& values, EditorSettings& settings);

}  // namespace tw
