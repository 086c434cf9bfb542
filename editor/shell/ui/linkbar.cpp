#include "editor/shell/ui/linkbar.h"

#include "editor/shell/layout.h"
#include "common/gui/units.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

namespace tw {

namespace {
// The buttons' pictures: a short sign on a tile, drawn so they look the same
// with any icon theme.
QIcon signPicture(const QString& sign, const QColor& colour)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour.darker(140), 1.5));
    p.setBrush(colour.lighter(185));
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 5, 5);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(sign.size() > 2 ? 11 : 16);
    p.setFont(f);
    p.setPen(colour.darker(160));
    p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, sign);
    return QIcon(pm);
}
}  // namespace

LinkBar::LinkBar(QWidget* parent) : QToolBar(QStringLiteral("リンクバー"), parent)
{
    setObjectName(QStringLiteral("LinkBar"));
    m_file = new QLineEdit(QStringLiteral("test.html"), this);
    m_file->setObjectName(QStringLiteral("LinkFileNameTxt"));
    m_file->setAccessibleName(QStringLiteral("リンクするファイル"));
    m_choose = new QPushButton(QStringLiteral("..."), this);
    m_choose->setObjectName(QStringLiteral("FileSelectBtn"));
    m_choose->setAccessibleName(QStringLiteral("ファイルを選択"));
    m_choose->setMaximumWidth(28);
    addWidget(m_file);
    addWidget(m_choose);
    connect(m_choose, &QPushButton::clicked, this, &LinkBar::chooseFileClicked);
    struct Insertion {
        const char* name;
        const char* sign;
        QColor colour;
        const char* tip;
        LinkBarButton button;
    };
    const Insertion insertions[] = {
        {"LinkBtn", "<A>", QColor(30, 90, 200), "リンクを挿入します", LinkBarButton::Link},
        {"AnkerBtn", "#", QColor(140, 60, 170), "アンカー（ラベル）を挿入します", LinkBarButton::Anchor},
        {"MailBtn", "@", QColor(200, 110, 20), "メールへのリンクを挿入します", LinkBarButton::Mail},
        {"PicBtn", "IMG", QColor(30, 140, 60), "画像を挿入します", LinkBarButton::Picture},
        {"ThrowBtn", "T", QColor(90, 90, 90), "ファイル名をそのまま挿入します", LinkBarButton::Throw},
    };
    for (const Insertion& i : insertions) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(i.name));
        b->setIcon(signPicture(QString::fromLatin1(i.sign), i.colour));
        b->setIconSize(QSize(24, 24));
        b->setToolTip(QString::fromUtf8(i.tip));
        b->setAccessibleName(QString::fromUtf8(i.tip));
        addWidget(b);
        const LinkBarButton which = i.button;
        connect(b, &QToolButton::clicked, this, [this, which] { emit insertClicked(which); });
    }
    auto* angou = new QPushButton(QStringLiteral("暗号化"), this);
    angou->setObjectName(QStringLiteral("AngouBtn"));
    angou->setToolTip(QStringLiteral("リンクするファイル名（アドレス）を暗号化して挿入します"));
    addWidget(angou);
    connect(angou, &QPushButton::clicked, this, &LinkBar::encodeClicked);
    addSeparator();
    auto* welcome = new QLabel(QStringLiteral("「Tagwright」にようこそ！！"), this);
    welcome->setObjectName(QStringLiteral("Label10"));
    auto* wanted = new QLabel(QStringLiteral("感想や要望などを募集しています"), this);
    wanted->setObjectName(QStringLiteral("Label11"));
    addWidget(welcome);
    addSeparator();
    addWidget(wanted);
}

QString LinkBar::fileName() const
{
    return m_file->text();
}

void LinkBar::setFileName(const QString& name)
{
    m_file->setText(name);
}

void LinkBar::fitTo(double innerWidthTwips)
{
    // The file box fills a narrow window and keeps 5100 twips in a wide one.
    const double left = pixelsToTwips(m_file->mapTo(window(), QPoint(0, 0)).x(), this);
    const double button = pixelsToTwips(m_choose->sizeHint().width(), this);
    m_file->setFixedWidth(twipsToPixels(linkFileBoxWidthTwips(innerWidthTwips, left, button), this));
}

}  // namespace tw
