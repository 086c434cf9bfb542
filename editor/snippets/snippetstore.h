#pragma once
// The user's snippets (定型文): one ordered list for the whole run, shown by
// the snippet dialog, the ten snippet menu items and the hot keys.

#include <QList>
#include <QObject>
#include <QString>

namespace tw {

// One snippet. Line breaks inside StartText and EndText are held as the two
// characters backslash and n; a tab as a tab character or as backslash and t.
// No field holds a comma or a raw line break (the file has no quoting).
struct TeigataEntry {
    QString Title;
    QString StartText;
    QString EndText;
    QString HotKey;  // a KeyName ("Shift+Ctrl+C"), or empty

    bool operator==(const TeigataEntry&) const = default;
};

// The five snippets a new installation starts with, in their fixed order.
QList<TeigataEntry> defaultSnippets();

// Rows are 0-based (the rows of the dialog's list); the menus number the
// same entries from 1. Every change emits changed() once, so the dialog's
// list and the menus can follow the store.
class SnippetStore : public QObject {
    Q_OBJECT
public:
    explicit SnippetStore(QObject* parent = nullptr) : QObject(parent) {}
    explicit SnippetStore(const QList<TeigataEntry>& entries, QObject* parent = nullptr)
        : QObject(parent),
          m_entries(entries)
    {
    }

    qsizetype size() const { return m_entries.size(); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    bool isValidRow(qsizetype row) const { return row >= 0 && row < m_entries.size(); }
    const TeigataEntry& at(qsizetype row) const { return m_entries.at(row); }
    const QList<TeigataEntry>& entries() const { return m_entries; }

    void append(const TeigataEntry& entry);
    // row may be size() (appends). Out-of-range rows are ignored.
    void insert(qsizetype row, const TeigataEntry& entry);
    void replace(qsizetype row, const TeigataEntry& entry);
    void removeAt(qsizetype row);
    void setEntries(const QList<TeigataEntry>& entries);
    void clear() { setEntries({}); }

signals:
    void changed();

private:
    QList<TeigataEntry> m_entries;
};

}  // namespace tw
