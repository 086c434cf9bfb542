#pragma once
// Transfer modes and the automatic choice by file extension.

#include <QString>
#include <QStringList>

namespace tw {

// Stored as the profile's TransMode and as the index of the mode box.
enum class TransferType { Automatic = 0, Ascii = 1, Binary = 2 };

// Anything outside 0..2 (a hand-edited file) falls back to automatic.
TransferType transferTypeFromInt(int value);

// The built-in text extensions, in their fixed order (indexes 0 to 9).
const QStringList& BuiltInTextExtensions();
// The extensions automatic mode sends as ASCII: the built-in list until the
// program sets the one stored in Ftp.ini or chosen in 詳細設定.
QStringList TextExtensions();
void setTextExtensions(const QStringList& extensions);
// An extension as the list keeps it: upper case, without a leading "."; empty
// when the text cannot be one (blank, a dot, a separator, "=").
QString normalizedExtension(const QString& text);

// The text after the last "." of a name; empty when there is none.
QString extensionOf(const QString& name);

// True when the name's extension is one of TextExtensions (any case).
bool isTextName(const QString& name);

// Ascii for a text extension, Binary for everything else. Only the file
// name counts: a dot in a folder name of the path is not an extension.
TransferType ModeForName(const QString& path);

// Automatic resolved by the name; Ascii and Binary unchanged.
TransferType resolveTransferType(TransferType type, const QString& path);

}  // namespace tw
