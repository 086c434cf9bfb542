#pragma once
// Commands that only wrap or replace the selection with fixed text, the tag
// tool bars, the colour text, the time text and the case commands.

#include <QDateTime>
#include <QList>
#include <QString>

#include <cstdint>

namespace tw {

class EditBuffer;

// A menu command whose whole work is WrapSelection(start, end).
struct WrapCommand {
    QString id;         // IDM_FORMAT_B
    QString caption;    // 太字(&B)
    QString shortcut;   // Ctrl+B, or empty
    QString contextId;  // IDM_CONTEXT_FONT_B, or empty
    QString contextCaption;
    QString start;
    QString end;  // empty: the start text replaces the selection
};

const QList<WrapCommand>& wrapCommands();
// By main-menu or context-menu id; nullptr when unknown.
const WrapCommand* findWrapCommand(const QString& id);
void runWrapCommand(EditBuffer& buffer, const WrapCommand& cmd);

// Buttons of the tag tool bars, in the order they stand on the bar.
struct ToolButtonDef {
    QString key;
    QString caption;
    QString tip;
    QString icon;  // picture name: a desktop icon-theme name, or one of ours ("tw-...")
};
const QList<ToolButtonDef>& toolbar2Buttons();
const QList<ToolButtonDef>& toolbar3Buttons();

// Toolbar2's handler: the first key that matches does its work. "time"
// inserts timeText. Returns false for an unknown key.
bool runToolbar2Key(EditBuffer& buffer, const QString& key, const QString& timeText);
// Toolbar3: the heading command for "h1".."h5", empty for any other key.
QString toolbar3Command(const QString& key);

// Six upper-case hexadecimal digits, red green blue, of a platform colour
// value (lowest byte red).
QString ColourToHex(std::uint32_t colour);

// The general date-and-time text of the Japanese locale: 2026/12/08 9:05:07.
QString dateTimeText(const QDateTime& t);

// Whole-text case changes (tags, attributes and content alike).
QString upperCaseText(const QString& text);
QString lowerCaseText(const QString& text);

}  // namespace tw
