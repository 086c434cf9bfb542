#include "editor/window/linkbar.h"

#include "editor/shell/layout.h"
#include "common/gui/icons.h"
#include "common/gui/units.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace tw {

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
        const char* icon;
        const char* tip;
        LinkBarButton button;
    };
    const Insertion insertions[] = {
        {"LinkBtn", "tw-link-file", "リンクを挿入します", LinkBarButton::Link},
        {"AnkerBtn", "tw-anchor", "アンカー（ラベル）を挿入します", LinkBarButton::Anchor},
        {"MailBtn", "mail-message-new", "メールへのリンクを挿入します", LinkBarButton::Mail},
        {"PicBtn", "insert-image", "画像を挿入します", LinkBarButton::Picture},
        {"ThrowBtn", "tw-throw", "ファイル名をそのまま挿入します", LinkBarButton::Throw},
    };
    for (const Insertion& i : insertions) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(i.name));
        b->setIcon(toolIcon(QString::fromLatin1(i.icon)));
        b->setIconSize(QSize(24, 24));
        b->setToolTip(QString::fromUtf8(i.tip));
        b->setAccessibleName(QString::fromUtf8(i.tip));
        addWidget(b);
        const LinkBarButton which = i.button;
        connect(b, &QToolButton::clicked, this, [this, which] { emit insertClicked(which); });
    }
    auto* angou = new QPushButton(QStringLiteral("暗号化"), this);
    angou->setObjectName(QStringLiteral("AngouBtn"));
    angou->setIcon(toolIcon(QStringLiteral("tw-encode")));
    angou->setAccessibleName(QStringLiteral("暗号化"));
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
