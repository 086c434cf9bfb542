// Velmora: the style sheet maker, started by the editor as a separate program.

#include "common/gui/icons.h"
#include "common/gui/qtplatform.h"
#include "common/gui/units.h"
#include "stylesheet/ui/velmorafrm.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    tw::installJapaneseTranslations(app);
    tw::setUpIcons(QStringLiteral("tagwright-velmora"));
    tw::QtPlatform platform;
    tw::velmora::MainFrm w(platform.platform());
    platform.setParent(&w);
    w.resize(1040, 580);
    tw::centreOnScreen(&w);
    w.show();
    return app.exec();
}
