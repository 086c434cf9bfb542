// The FTP client. It reads no command line: started from the editor or by
// hand, it opens the same way.

#include "ftp/ui/frm_main.h"
#include "ftp/settings/profiles.h"
#include "common/gui/icons.h"
#include "common/gui/qtplatform.h"
#include "common/gui/units.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ftp"));
    QApplication::setApplicationVersion(QStringLiteral("0.1"));
    tw::installJapaneseTranslations(app);
    tw::setUpIcons(QStringLiteral("tagwright-ftp"));
    tw::QtPlatform platform;
    tw::FrmMainSetup setup{platform.platform(), tw::FtpSettingFiles::forProgram(), tw::FtpOptions(),
                           QDir::currentPath()};
    tw::Frm_Main window(setup);
    platform.setParent(&window);
    tw::centreOnScreen(&window);
    window.show();
    return app.exec();
}
