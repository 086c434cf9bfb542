#include "tests/testkit/httpserver.h"

#include "tests/testkit/pythonserver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tw::test {

namespace {
const char kScript[] = R"PY(
import functools, http.server, os, sys, threading, time

root, stall = sys.argv[1], sys.argv[2] == 'stall'

class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        if stall:
            time.sleep(3600)
        return http.server.SimpleHTTPRequestHandler.do_GET(self)
    def log_message(self, *args):
        pass

def watch_parent():
    try:
        sys.stdin.buffer.read()
    finally:
        os._exit(0)

server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Handler, directory=root))
server.daemon_threads = True
threading.Thread(target=watch_parent, daemon=True).start()
print('PORT %d' % server.server_address[1], flush=True)
server.serve_forever()
)PY";
}  // namespace

HttpServerFixture::HttpServerFixture(bool stall)
{
    const QString root = m_dir.filePath(QStringLiteral("www"));
    const QString script = m_dir.filePath(QStringLiteral("server.py"));
    QFile f(script);
    if (!m_dir.isValid() || !QDir().mkpath(root) || !f.open(QIODevice::WriteOnly)
        || f.write(kScript) != qint64(sizeof kScript - 1)) {
        m_error = QStringLiteral("cannot write the server script");
        return;
    }
    f.close();
    m_port = startPythonServer(m_process, script, {root, stall ? QStringLiteral("stall") : QStringLiteral("serve")},
                               m_dir.filePath(QStringLiteral("server.err")), &m_error);
}

HttpServerFixture::~HttpServerFixture()
{
    stopPythonServer(m_process);
}

QString HttpServerFixture::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1/%2").arg(m_port).arg(path);
}

void HttpServerFixture::put(const QString& path, const QByteArray& bytes) const
{
    const QString file = m_dir.filePath(QStringLiteral("www/") + path);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

}  // namespace tw::test
