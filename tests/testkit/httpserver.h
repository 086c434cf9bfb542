#pragma once
// A real HTTP server for tests: Python's http.server on 127.0.0.1 with a
// free port, serving a temporary folder. Started by the constructor, stopped
// by the destructor.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace tw::test {

class HttpServerFixture {
public:
    // stall: every request is accepted and never answered.
    explicit HttpServerFixture(bool stall = false);
    ~HttpServerFixture();
    HttpServerFixture(const HttpServerFixture&) = delete;
    HttpServerFixture& operator=(const HttpServerFixture&) = delete;

    bool isRunning() const { return m_port != 0; }
    QString errorString() const { return m_error; }
    // http://127.0.0.1:<port>/<path>
    QString url(const QString& path) const;
    // Puts a file into the served folder.
    void put(const QString& path, const QByteArray& bytes) const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};

}  // namespace tw::test
