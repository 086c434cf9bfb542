#include "ftp/ui/frm_trust.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tw {

Frm_Trust::Frm_Trust(const PeerIdentity& peer, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Frm_Trust"));
    setModal(true);
    const QString server = trustKey(peer.host, peer.port);
    QString heading;
    if (peer.hostKey) {
        setWindowTitle(QStringLiteral("ホスト鍵の確認"));
        heading = server
                  + QStringLiteral(
                      " のホスト鍵はまだ登録されていません。\n"
                      "サーバの管理者が示す指紋と同じか確かめてください。");
    } else {
        setWindowTitle(QStringLiteral("証明書の確認"));
        heading = peer.changed ? server
                                     + QStringLiteral(
                                         " の証明書が、以前に信頼したものから変わっています。\n"
                                         "サーバが証明書を更新したのでなければ、接続しないでください。")
                               : server + QStringLiteral(" の証明書を確認出来ませんでした。");
    }
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(48, 48));
    auto* head = new QLabel(heading, this);
    head->setObjectName(QStringLiteral("Lbl_Heading"));
    head->setWordWrap(true);

    auto* facts = new QFormLayout;
    auto addFact = [&](const QString& label, const QString& value) {
        auto* v = new QLabel(value, this);
        v->setTextInteractionFlags(Qt::TextSelectableByMouse);
        v->setWordWrap(true);
        facts->addRow(label, v);
    };
    if (peer.hostKey) {
        addFact(QStringLiteral("鍵の種類:"), peer.keyType);
    } else {
        addFact(QStringLiteral("理由:"), peer.problem);
        addFact(QStringLiteral("発行先:"), peer.subject);
        addFact(QStringLiteral("発行者:"), peer.issuer);
        addFact(QStringLiteral("有効期間:"), peer.validFrom + QStringLiteral(" ～ ") + peer.validTo);
    }
    addFact(QStringLiteral("SHA-256 指紋:"), peer.fingerprint);

    auto* question = new QLabel(
        peer.hostKey ? QStringLiteral("このホスト鍵を信頼しますか？") : QStringLiteral("この証明書を信頼しますか？"),
        this);
    question->setObjectName(QStringLiteral("Lbl_Question"));
    auto* buttons = new QDialogButtonBox(this);
    auto add = [&](const QString& caption, const QString& name, TrustAnswer answer) {
        auto* b = buttons->addButton(caption, QDialogButtonBox::ActionRole);
        b->setObjectName(name);
        connect(b, &QPushButton::clicked, this, [this, answer] {
            m_answer = answer;
            answer == TrustAnswer::Refuse ? reject() : accept();
        });
        return b;
    };
    add(QStringLiteral("今回だけ"), QStringLiteral("Btn_Once"), TrustAnswer::Once);
    add(QStringLiteral("常に"), QStringLiteral("Btn_Always"), TrustAnswer::Always);
    QPushButton* no = add(QStringLiteral("接続しない"), QStringLiteral("Btn_Refuse"), TrustAnswer::Refuse);
    no->setDefault(true);
    no->setFocus();

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    auto* text = new QVBoxLayout;
    text->addWidget(head);
    text->addLayout(facts);
    text->addWidget(question);
    top->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    resize(560, sizeHint().height());
}

}  // namespace tw
