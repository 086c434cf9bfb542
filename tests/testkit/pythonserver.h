#pragma once
// Starts a test server written in Python (/usr/bin/python3, which sees
// Debian's packages) that prints "PORT <n>" once it listens on 127.0.0.1.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace tw::test {

// The port, or 0 with *error set. The server ends when its standard input
// closes (the process object goes), so a crashed test leaves none behind.
quint16 startPythonServer(QProcess& process, const QString& script, const QStringList& args, const QString& errorFile,
                          QString* error);
// Closes the server's input and waits for it, killing it if it hangs.
void stopPythonServer(QProcess& process);

}  // namespace tw::test
