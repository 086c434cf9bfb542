#pragma once
// Tag colouring of the edit box: which stretches of the text show in which
// colour. A stretch starts at "<" and runs to the next ">" (a comment from
// "<!--" to the next "-->"); its colour comes from the tag's name. The rule is
// given twice: once over the whole text, and line by line with a state carried
// from one line to the next, which is what an incremental highlighter needs.

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <cstdint>

namespace tw {

struct TagColourTable {
    static constexpr int kGroupSize = 21;  // names a group can hold

    // groups[g - 1] holds the lower-case tag names shown in colour g (1..3).
    std::array<QStringList, 3> groups;
    // Colours 0 (plain text) to 3 as 0xRRGGBB.
    std::array<std::uint32_t, 4> colours{};

    // "a" red, "meta" forest green, comments and every other tag blue.
    static TagColourTable defaultTable();

    // The colour of a tag whose name (after "<" or "</") is name, any case.
    int colourOfName(QStringView name) const;
};

struct ColourRange {
    qsizetype start = 0;
    qsizetype length = 0;
    int colour = 0;

    friend bool operator==(const ColourRange&, const ColourRange&) = default;
};

// The stretches of text with a colour other than 0, in order. Everything not
// covered is colour 0; every covered stretch is bold.
QList<ColourRange> colourRanges(const QString& text, const TagColourTable& table);

// Line states carried by colourLine from one line to the next.
constexpr int kLineOutside = 0;    // between stretches
constexpr int kLineInComment = 1;  // inside "<!--" without its "-->" yet
constexpr int lineInTag(int colour)
{
    return 2 + colour;
}  // inside a tag without its ">" yet

// One line (without its line break) seen in the state left by the line before
// it (kLineOutside, or any negative value, for the first line). Appends the
// line's coloured stretches, with offsets inside the line, to out and returns
// the state for the next line. Over the lines of a text, with their CR LF
// breaks counted in, the result is that of colourRanges.
int colourLine(QStringView line, int stateIn, const TagColourTable& table, QList<ColourRange>& out);

}  // namespace tw
