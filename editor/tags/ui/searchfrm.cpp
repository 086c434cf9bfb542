#include "editor/tags/ui/searchfrm.h"

#include "editor/document/editbuffer.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace tw {

SearchFrm::SearchFrm(EditBuffer& buffer, MessageBoxes* messages, QWidget* parent)
    : QDialog(parent),
      m_buffer(buffer),
      m_run(buffer),
      m_messages(messages)
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
    ReplaceAllBtn = makeButton("ReplaceAllBtn", QStringLiteral("すべて置換"));
    CloseBtn = makeButton("CloseBtn", QStringLiteral("閉じる"));
    RegexChk = new QCheckBox(QStringLiteral("正規表現"), this);
    RegexChk->setObjectName(QStringLiteral("RegexChk"));
    CaseChk = new QCheckBox(QStringLiteral("大文字と小文字を区別"), this);
    CaseChk->setObjectName(QStringLiteral("CaseChk"));
    CaseChk->setChecked(true);
    SerchGo->setDefault(true);
    SerchNext->setEnabled(false);
    TextChange->setEnabled(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(SerchText, 0, 1);
    grid->addWidget(changeLabel, 1, 0);
    grid->addWidget(ChangeText, 1, 1);
    auto* choices = new QHBoxLayout;
    choices->addWidget(CaseChk);
    choices->addWidget(RegexChk);
    choices->addStretch(1);
    grid->addLayout(choices, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SerchGo);
    buttons->addWidget(SerchNext);
    buttons->addWidget(TextChange);
    buttons->addWidget(ReplaceAllBtn);
    buttons->addStretch(1);
    buttons->addWidget(CloseBtn);
    grid->addLayout(buttons, 3, 0, 1, 2);
    grid->setColumnMinimumWidth(1, 280);

    connect(SerchGo, &QPushButton::clicked, this, [this] {
        const SearchOutcome o = m_run.start(SerchText->text(), ChangeText->text(), options());
        SerchNext->setEnabled(true);
        TextChange->setEnabled(true);
        report(o);
    });
    connect(SerchNext, &QPushButton::clicked, this, [this] { report(m_run.next()); });
    connect(TextChange, &QPushButton::clicked, this, [this] { report(m_run.replace()); });
    connect(SerchText, &QLineEdit::textChanged, this, [this] { SerchNext->setEnabled(false); });
    connect(ReplaceAllBtn, &QPushButton::clicked, this, &SearchFrm::replaceAll);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::reject);
}

SearchOptions SearchFrm::options() const
{
    return SearchOptions{.regularExpression = RegexChk->isChecked(), .caseSensitive = CaseChk->isChecked()};
}

void SearchFrm::replaceAll()
{
    // A run waiting at an occurrence ends first; its steps are already in the document.
    m_run.close();
    SerchNext->setEnabled(false);
    TextChange->setEnabled(false);
    if (SerchText->text().isEmpty() || m_buffer.length() == 0)
        return report(searchEnterTextsMessage());
    const ReplaceAllResult r = replaceAllIn(m_buffer.text(), SerchText->text(), ChangeText->text(), options());
    if (!r.message.isEmpty())
        return report(r.message);
    if (r.count == 0)
        return report(searchNotFoundMessage());
    // One change either way: one undo step.
    if (!r.edits.empty()) {
        m_buffer.replaceRanges(r.edits);
    } else {
        const qsizetype caret = m_buffer.selectionStart();
        m_buffer.SetText(r.text);
        m_buffer.SetSelection(std::min(caret, r.text.size()), 0);
    }
    report(replaceAllDoneMessage(r.count));
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
    report(o.message);
}

void SearchFrm::report(const QString& message)
{
    if (!message.isEmpty() && m_messages)
        m_messages->show(message, QStringLiteral("Quillet"), MsgIcon::None, MsgButtons::Ok);
}

}  // namespace tw
