#pragma once
// An empty application folder in a temporary directory, set as the suite's
// application folder for the life of the object.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace tw::test {

class TempAppFolder {
public:
    TempAppFolder();
    ~TempAppFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString& relative) const;
    // Writes bytes to a file below the folder, creating folders on the way.
    void put(const QString& relative, const QByteArray& bytes) const;
    QByteArray read(const QString& relative) const;
    bool exists(const QString& relative) const;

private:
    QTemporaryDir m_dir;
};

}  // namespace tw::test
