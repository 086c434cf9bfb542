#include "tests/testkit/ftpserver.h"

#include "tests/testkit/pythonserver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QThread>

#include <signal.h>
#include <unistd.h>

namespace tw::test {

namespace {

// The server. Its stdin is held open by the test process: when that goes
// away (even by a crash) the server exits too.
const char kScript[] = R"PY(
import argparse, asynchat, logging, os, sys, threading, time
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import BufferedIteratorProducer, FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer

p = argparse.ArgumentParser()
p.add_argument('--home', required=True)
p.add_argument('--user', required=True)
p.add_argument('--password', required=True)
p.add_argument('--log', default='')
p.add_argument('--cp932', action='store_true')
p.add_argument('--no-mlsd', action='store_true')
p.add_argument('--hostile', action='store_true')
p.add_argument('--stall', default='')
p.add_argument('--throttle', type=int, default=0)
p.add_argument('--no-rename-over', action='store_true')
p.add_argument('--refuse-data', type=int, default=0)
p.add_argument('--tls-cert', default='')

p.add_argument('--tls-key', default='')
a = p.parse_args()
Base = FTPHandler
if a.tls_cert:
    from pyftpdlib.handlers import TLS_FTPHandler
    Base = TLS_FTPHandler
logging.basicConfig(level=logging.CRITICAL)
logging.getLogger('pyftpdlib').setLevel(logging.CRITICAL)
ENC = 'cp932' if a.cp932 else 'utf8'
logf = open(a.log, 'a', buffering=1, encoding='utf-8') if a.log else None

def note(s):
    if logf:
        logf.write(s + '\n')
        logf.flush()

HOSTILE = ['../evil', 'a/../../evil', '..\\evil']

def hostile_dir(basedir):
    return a.hostile and os.path.basename(os.path.normpath(basedir)) == 'hostile'

class FS(AbstractedFS):
    def format_list(self, basedir, listing, ignore_err=True):
        extra = HOSTILE if hostile_dir(basedir) else []
        def gen():
            yield from AbstractedFS.format_list(self, basedir, listing, ignore_err)
            for n in extra:
                yield ('-rw-r--r--   1 owner    group           4 Jan 01  2024 %s\r\n' % n).encode('utf8')
        return gen()

    def format_mlsx(self, basedir, listing, perms, facts, ignore_err=True):
        # MLST asks with ignore_err=False: only MLSD gets the extra entries.
        extra = HOSTILE if ignore_err and hostile_dir(basedir) else []
        def gen():
            yield from AbstractedFS.format_mlsx(self, basedir, listing, perms, facts, ignore_err)
            for n in extra:
                yield ('type=file;size=4;modify=20240101000000;unix.mode=0644; %s\r\n' % n).encode('utf8')
        return gen()

cmds = dict(Base.proto_cmds)
if a.no_mlsd:
    cmds.pop('MLSD', None)
    cmds.pop('MLST', None)

class Handler(Base):
    proto_cmds = cmds
    abstracted_fs = FS
    auth_failed_timeout = 0
    banner = 'test server ready.'

    def decode(self, data):
        return data.decode(ENC, self.unicode_errors)

    def push(self, s):
        if ENC == 'utf8':
            return Base.push(self, s)
        asynchat.async_chat.push(self, s.replace(' UTF8\r\n', '').encode(ENC, 'replace'))

    def push_dtp_data(self, data, isproducer=False, file=None, cmd=None):
        if ENC != 'utf8' and cmd in ('LIST', 'MLSD', 'NLST'):
            if isproducer:
                it = data.iterator
                data = BufferedIteratorProducer(x.decode('utf8').encode(ENC, 'replace') for x in it)
            else:
                data = data.decode('utf8').encode(ENC, 'replace')
        return Base.push_dtp_data(self, data, isproducer, file, cmd)

    def pre_process_command(self, line, cmd, arg):
        note('CMD ' + ('PASS ******' if cmd == 'PASS' else line))
        if a.stall and a.stall in line:
            time.sleep(3600)
        return Base.pre_process_command(self, line, cmd, arg)

    def ftp_RNTO(self, path):
        if a.no_rename_over and os.path.exists(path):
            self._rnfr = None
            return self.respond('550 File exists.')
        return Base.ftp_RNTO(self, path)

    refused_data = [a.refuse_data]

    def closed_port(self):
        # A port nothing listens on: the client's data connection is refused.
        import socket
        s = socket.socket()
        s.bind(('127.0.0.1', 0))
        port = s.getsockname()[1]
        s.close()
        return port

    def ftp_PASV(self, line):
        if self.refused_data[0] > 0:
            self.refused_data[0] -= 1
            port = self.closed_port()
            return self.respond('227 Entering passive mode (127,0,0,1,%d,%d).' % (port >> 8, port & 255))
        return Base.ftp_PASV(self, line)

    def ftp_EPSV(self, line):
        if self.refused_data[0] > 0:
            self.refused_data[0] -= 1
            return self.respond('229 Entering extended passive mode (|||%d|).' % self.closed_port())
        return Base.ftp_EPSV(self, line)

    def on_login(self, username):
        note('LOGIN ' + username)

def watch_parent():
    try:
        sys.stdin.buffer.read()
    finally:
        os._exit(0)

auth = DummyAuthorizer()
auth.add_user(a.user, a.password, a.home, perm='elradfmwMT')
Handler.authorizer = auth
if a.tls_cert:
    from pyftpdlib.handlers import TLS_DTPHandler

    class TlsData(TLS_DTPHandler):
        # Clients such as curl start TLS on the data connection before they
        # send the transfer command; pyftpdlib would take those early bytes
        # for a closed connection. And once that handshake is done, it
        # closes a connection still waiting for its command the moment it
        # asks whether to read from it (a busy machine gets there first).
        def readable(self):
            if self._ssl_requested and not self._ssl_established:
                return True
            if not self.receive and not self._initialized:
                return False
            return TLS_DTPHandler.readable(self)

    # Both connections encrypted, as a hosting service demands.
    Handler.dtp_handler = TlsData
    Handler.certfile = a.tls_cert
    Handler.keyfile = a.tls_key
    Handler.tls_control_required = True
    Handler.tls_data_required = True
if a.throttle > 0:
    class Slow(ThrottledDTPHandler):
        read_limit = a.throttle
        write_limit = a.throttle
        ac_out_buffer_size = min(65536, a.throttle)
        ac_in_buffer_size = min(65536, a.throttle)
    Handler.dtp_handler = Slow
server = FTPServer(('127.0.0.1', 0), Handler)

def drop(*_):
    # SIGUSR1: every client connection closed, as a server drops idle ones.
    for h in list(server.ioloop.socket_map.values()):
        if isinstance(h, FTPHandler):
            h.close()
    note('DROPPED')

import signal
signal.signal(signal.SIGUSR1, drop)
threading.Thread(target=watch_parent, daemon=True).start()
print('PORT %d' % server.address[1], flush=True)
server.serve_forever(handle_exit=True)
)PY";

}  // namespace

FtpServerFixture::FtpServerFixture() : FtpServerFixture(Options()) {}

FtpServerFixture::FtpServerFixture(const Options& options) : m_options(options)
{
    start();
}

FtpServerFixture::~FtpServerFixture()
{
    stop();
}

QString FtpServerFixture::serverText() const
{
    return host() + u':' + QString::number(m_port);
}

QString FtpServerFixture::certificateFile() const
{
    return m_dir.filePath(QStringLiteral("cert.pem"));
}

QString FtpServerFixture::home() const
{
    return m_dir.filePath(QStringLiteral("home"));
}

QString FtpServerFixture::homeFile(const QString& relative) const
{
    return home() + u'/' + relative;
}

void FtpServerFixture::start()
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return;
    }
    QDir().mkpath(home());
    const QString script = m_dir.filePath(QStringLiteral("server.py"));
    QFile f(script);
    if (!f.open(QIODevice::WriteOnly) || f.write(kScript) != qint64(sizeof kScript - 1)) {
        m_error = QStringLiteral("cannot write the server script");
        return;
    }
    f.close();
    if (m_options.hostile) {
        QDir().mkpath(homeFile(QStringLiteral("hostile")));
        QFile ok(homeFile(QStringLiteral("hostile/ok.txt")));
        if (ok.open(QIODevice::WriteOnly))
            ok.write("fine");
        QFile evil(homeFile(QStringLiteral("evil")));
        if (evil.open(QIODevice::WriteOnly))
            evil.write("evil");
    }
    QStringList args = {QStringLiteral("--home"),     home(),
                        QStringLiteral("--user"),     m_options.user,
                        QStringLiteral("--password"), m_options.password};
    if (m_options.log)
        args << QStringLiteral("--log") << m_dir.filePath(QStringLiteral("log.txt"));
    if (m_options.cp932Names)
        args << QStringLiteral("--cp932");
    if (m_options.noMlsd)
        args << QStringLiteral("--no-mlsd");
    if (m_options.hostile)
        args << QStringLiteral("--hostile");
    if (!m_options.stallOn.isEmpty())
        args << QStringLiteral("--stall") << m_options.stallOn;
    if (m_options.noRenameOver)
        args << QStringLiteral("--no-rename-over");
    if (m_options.refuseDataConnections > 0)
        args << QStringLiteral("--refuse-data") << QString::number(m_options.refuseDataConnections);
    if (m_options.tls) {
        // A certificate of its own for 127.0.0.1, made now (self-signed: the
        // test decides whether to give it to the client as an authority).
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                       QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"),
                       QStringLiteral("-nodes"), QStringLiteral("-keyout"), m_dir.filePath(QStringLiteral("key.pem")),
                       QStringLiteral("-out"), certificateFile(), QStringLiteral("-days"), QStringLiteral("2"),
                       QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1/O=Tagwright test"),
                       QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1")});
        if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0) {
            m_error = QStringLiteral("openssl req failed: ") + QString::fromLocal8Bit(openssl.readAllStandardError());
            return;
        }
        args << QStringLiteral("--tls-cert") << certificateFile() << QStringLiteral("--tls-key")
             << m_dir.filePath(QStringLiteral("key.pem"));
    }
    if (m_options.throttleBytesPerSec > 0)
        args << QStringLiteral("--throttle") << QString::number(m_options.throttleBytesPerSec);
    m_port = startPythonServer(m_process, script, args, m_dir.filePath(QStringLiteral("server.err")), &m_error);
    if (m_port == 0)
        return;
    m_running = true;
}

void FtpServerFixture::dropConnections()
{
    const qsizetype before = logLines().count(QStringLiteral("DROPPED"));
    ::kill(pid_t(m_process.processId()), SIGUSR1);
    for (int i = 0; i < 200 && logLines().count(QStringLiteral("DROPPED")) == before; ++i)
        QThread::msleep(10);
}

void FtpServerFixture::stop()
{
    m_running = false;
    stopPythonServer(m_process);
}

QStringList FtpServerFixture::logLines() const
{
    QFile f(m_dir.filePath(QStringLiteral("log.txt")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    return lines;
}

QStringList FtpServerFixture::commands() const
{
    QStringList out;
    for (const QString& line : logLines()) {
        if (line.startsWith(u"CMD "))
            out.append(line.mid(4));
    }
    return out;
}

int FtpServerFixture::loginCount() const
{
    int n = 0;
    for (const QString& line : logLines()) {
        if (line.startsWith(u"LOGIN "))
            ++n;
    }
    return n;
}

void FtpServerFixture::clearLog() const
{
    QFile f(m_dir.filePath(QStringLiteral("log.txt")));
    if (f.exists())
        f.resize(0);
}

}  // namespace tw::test
