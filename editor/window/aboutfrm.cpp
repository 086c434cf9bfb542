#include "editor/window/aboutfrm.h"

#include "common/gui/units.h"
#include "editor/window/splashfrm.h"
#include "editor/shell/versioncheck.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tw {

namespace {
// The credits as one tall picture, each line centred.
class CreditsPicture : public QWidget {
public:
    CreditsPicture(QStringList lines, QWidget* parent) : QWidget(parent), m_lines(std::move(lines)) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        const int step = fontMetrics().lineSpacing();
        int y = 0;
        for (const QString& line : m_lines) {
            p.drawText(QRect(0, y, width(), step), Qt::AlignHCenter | Qt::AlignTop, line);
            y += step;
        }
    }

private:
    QStringList m_lines;
};

void addEmpty(QStringList& lines, int n)
{
    for (int i = 0; i < n; ++i)
        lines << QString();
}
}  // namespace

QStringList AboutFrm::creditLines()
{
    QStringList l;
    addEmpty(l, 2);
    l << QStringLiteral("Tagwright");
    addEmpty(l, 3);
    l << QStringLiteral("☆　開発者　☆");
    addEmpty(l, 2);
    l << QStringLiteral("■　プログラミング　■") << QStringLiteral("Tagwright 開発チーム");
    addEmpty(l, 2);
    l << QStringLiteral("■　グラフィック　■") << QStringLiteral("Tagwright デザインチーム");
    addEmpty(l, 2);
    l << QStringLiteral("■　サンクス　■");
    // The work this program stands on.
    l << QStringLiteral("Qt") << QStringLiteral("QScintilla") << QStringLiteral("Scintilla")
      << QStringLiteral("Qt WebEngine / Chromium") << QStringLiteral("libcurl")
      << QStringLiteral("GNU C ライブラリ (iconv)") << QStringLiteral("GCC") << QStringLiteral("CMake")
      << QStringLiteral("Ninja") << QStringLiteral("Debian") << QStringLiteral("Noto CJK フォント")
      << QStringLiteral("Poppler") << QStringLiteral("Python") << QStringLiteral("pyftpdlib")
      << QStringLiteral("試用して意見をくださった皆さん");
    l << QStringLiteral("そして･･･スタッフロールをご覧のあなたに感謝します");
    addEmpty(l, 2);
    l << QStringLiteral("Copyright (C) 2026 Tagwright Project");
    return l;
}

AboutFrm::AboutFrm(std::function<void()> openTopPage, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    auto* main = new QVBoxLayout(this);

    auto* head = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setPixmap(quilletLogo(48));
    icon->setCursor(Qt::PointingHandCursor);
    icon->setToolTip(QStringLiteral("スプラッシュを表示します"));
    icon->installEventFilter(this);
    m_icon = icon;
    head->addWidget(icon, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    auto* tagline = new QLabel(QStringLiteral("作業効率と実用性を追求した"), this);
    tagline->setObjectName(QStringLiteral("lblDescription"));
    auto* product = new QLabel(QStringLiteral("Tagwright Quillet"), this);
    product->setObjectName(QStringLiteral("lblTitle"));
    QFont big = product->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    product->setFont(big);
    auto* version = new QLabel(QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + programVersion(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    texts->addWidget(tagline);
    texts->addWidget(product);
    texts->addWidget(version);
    head->addLayout(texts, 1);
    main->addLayout(head);

    m_box = new QWidget(this);
    m_box->setObjectName(QStringLiteral("CreditsBox"));
    m_box->setFixedSize(360, 200);
    m_box->setAutoFillBackground(true);
    QPalette pal = m_box->palette();
    pal.setColor(QPalette::Window, Qt::white);
    m_box->setPalette(pal);
    m_picture = new CreditsPicture(creditLines(), m_box);
    m_picture->setObjectName(QStringLiteral("Picture1"));
    m_picture->setGeometry(0, 0, m_box->width(), twipsToPixels(13000, this));
    main->addWidget(m_box, 0, Qt::AlignHCenter);

    auto* visit = new QLabel(QStringLiteral("是非、ホームページをご覧ください"), this);
    visit->setObjectName(QStringLiteral("lblHomePage"));
    auto* hp = new QPushButton(QStringLiteral("HPを見る"), this);
    hp->setObjectName(QStringLiteral("hpbtn"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto* foot = new QHBoxLayout;
    foot->addWidget(visit);
    foot->addStretch();
    foot->addWidget(hp);
    foot->addWidget(ok);
    main->addLayout(foot);
    connect(hp, &QPushButton::clicked, this, [openTopPage] {
        if (openTopPage)
            openTopPage();
    });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(40);
    connect(m_timer, &QTimer::timeout, this, &AboutFrm::scrollCredits);
    m_timer->start();
}

void AboutFrm::scrollCredits()
{
    // One pixel a tick; once the bottom has passed the top of the box the
    // roll starts again from the box's bottom edge.
    int y = m_picture->y() - 1;
    if (y + m_picture->height() <= 0)
        y = m_box->height();
    m_picture->move(0, y);
}

bool AboutFrm::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_icon && e->type() == QEvent::MouseButtonRelease) {
        SplashFrm splash(this);
        splash.exec();
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

}  // namespace tw
