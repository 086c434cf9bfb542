#pragma once
// The encoded form of snippet texts: a line break is held as the two
// characters backslash and n, a tab may be held as backslash and t. There is
// no escape for a literal backslash.

#include <QString>

namespace tw {

// For menu and dialog insertion: every "\n" becomes CR LF, then every "\t"
// a tab character.
QString DecodeSnippetText(const QString& stored);

// For hot-key insertion: every "\n" becomes CR LF; "\t" stays as it is.
QString decodeHotKeyText(const QString& stored);

// Box text to stored form: every line break (CR LF, LF, CR, or the
// paragraph and line separators a text widget may hand out) becomes "\n".
// Tabs and a typed "\t" stay as they are.
QString EncodeLineBreaks(const QString& shown);

// Stored form to box text: every "\n" becomes CR LF; "\t" stays as it is.
QString DecodeLineBreaks(const QString& stored);

}  // namespace tw
