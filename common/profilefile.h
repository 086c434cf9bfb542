#pragma once
// INI-style settings file with the rules of the classic profile functions:
// sections and keys matched without regard to case, values cut at 1023
// characters, the default on absence, a write replaces the first matching
// key or appends to its section, a missing section is appended at the end.
// Lines it does not understand (and unknown keys) are kept as they are.

#include "common/textcodec.h"
#include "common/result.h"

#include <QString>
#include <QStringList>

namespace tw {

class ProfileFile {
public:
    static constexpr int kMaxValue = 1023;

    ProfileFile() = default;
    explicit ProfileFile(const QString& path) { load(path); }

    // Reads the file (CP932 or UTF-8); a missing or unreadable file gives an
    // empty profile. Never fails.
    void load(const QString& path);
    // Writes the whole profile atomically, creating the file. Encoding is the
    // one the file was read in (CP932 for a new file); CR LF line ends.
    Result save() const;

    const QString& path() const { return m_path; }

    // Value of key in section, trimmed of blanks, one pair of surrounding
    // double (or single) quotes removed, cut at kMaxValue characters; def
    // when absent.
    QString readString(const QString& section, const QString& key, const QString& def = QString()) const;
    // Replaces the first matching key's line, else appends "key=value" after
    // the last line of the section, else appends the section at the end.
    void writeString(const QString& section, const QString& key, const QString& value);

private:
    int findSection(const QString& section) const;  // index of the header line, -1
    int sectionEnd(int header) const;               // index after its last non-empty line
    int findKey(int header, const QString& key) const;

    QString m_path;
    QStringList m_lines;
    TextEncoding m_encoding = TextEncoding::Cp932;
};

}  // namespace tw
