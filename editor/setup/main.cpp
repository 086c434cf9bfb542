// Run by the build: puts the default settings files into the application
// folder given as the one argument, leaving files that are already there.

#include "editor/session/shippedfiles.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: quillet_setup <application folder>\n";
        return 2;
    }
    const tw::ShippedFilesResult r = tw::installShippedSettingFiles(args[1]);
    if (!r.error.isEmpty()) {
        QTextStream(stderr) << r.error << "\n";
        return 1;
    }
    return 0;
}
