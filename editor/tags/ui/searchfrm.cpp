#include "editor/tags/ui/searchfrm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tw {

SearchFrm::SearchFrm(EditBuffer& buffer, MessageBoxes* messages, QWidget* parent)
    : QDialog(parent), m_run(buffer), m_messages(messages)
{
    setObjectName(QStringLiteral("SearchFrm"));
    setWindowTitle(QStringLiteral("検索＆置換"));
    setModal(true);

    SerchText = new QLineEdit(this);
    SerchText->setObjectName(QStringLiteral("SerchText"));
    ChangeText = new QLineEdit(this);
    ChangeText->setObjectName(QStringLiteral("ChangeText"));
    auto* findLabel = new QLabel(QStringLiteral("検索する文字列"), this);
    findLabel->setBuddy(SerchText);
    auto* changeLabel = new QLabel(QStringLiteral("置換後の文字列"), this);
    changeLabel->setBuddy(ChangeText);

    auto makeButton = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    SerchGo = makeButton("SerchGo", QStringLiteral("検索開始"));
    SerchNext = makeButton("SerchNext", QStringLiteral("次を検索"));
    TextChange = makeButton("TextChange", QStringLiteral("置換して次に"));
    CloseBtn = makeButton("CloseBtn", QStringLiteral("閉じる"));
    SerchGo->setDefault(true);
    SerchNext->setEnabled(false);
    TextChange->setEnabled(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(SerchText, 0, 1);
    grid->addWidget(changeLabel, 1, 0);
    grid->addWidget(ChangeText, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SerchGo);
    buttons->addWidget(SerchNext);
    buttons->addWidget(TextChange);
    buttons->addStretch(1);
    buttons->addWidget(CloseBtn);
    grid->addLayout(buttons, 2, 0, 1, 2);
    grid->setColumnMinimumWidth(1, 280);

    connect(SerchGo, &QPushButton::clicked, this, [this] {
        const SearchOutcome o = m_run.start(SerchText->text(), ChangeText->text());
        SerchNext->setEnabled(true);
        TextChange->setEnabled(true);
        report(o);
    });
    connect(SerchNext, &QPushButton::clicked, this, [this] { report(m_run.next()); });
    connect(TextChange, &QPushButton::clicked, this, [this] { report(m_run.replace()); });
    connect(SerchText, &QLineEdit::textChanged, this, [this] { SerchNext->setEnabled(false); });
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::reject);
}

SearchFrm::~SearchFrm()
{
    m_run.close();
}

void SearchFrm::done(int r)
{
    // A run still waiting ends here, leaving the document as it is.
    m_run.close();
    QDialog::done(r);
}

void SearchFrm::report(const SearchOutcome& o)
{
    if (!o.message.isEmpty() && m_messages)
        m_messages->show(o.message, QStringLiteral("Quillet"), MsgIcon::None, MsgButtons::Ok);
}

}  // namespace tw
