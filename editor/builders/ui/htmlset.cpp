#include "editor/builders/ui/htmlset.h"

#include "editor/builders/ui/dialogbutton.h"
#include "common/paths.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tw {

namespace {
QLineEdit* lineEdit(QWidget* parent, const char* name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

QComboBox* colourCombo(QWidget* parent, const char* name)
{
    QComboBox* c = itemCombo(parent, name, skeletonColourNames(), true);
    c->setMinimumContentsLength(10);
    return c;
}

// The layout of a frame set as a small picture: its frames' rectangles.
QIcon framePicture(int kind)
{
    const int w = 48, h = 36;
    QPixmap pm(w, h);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(200, 220, 255));
    QList<QRect> frames;
    switch (kind) {
        case 0:
            frames = {{0, 0, w / 2, h}, {w / 2, 0, w / 2, h}};
            break;
        case 1:
            frames = {{0, 0, w, h / 2}, {0, h / 2, w, h / 2}};
            break;
        case 2:
            frames = {{0, 0, w / 3, h}, {w / 3, 0, w / 3, h}, {2 * w / 3, 0, w - 2 * w / 3, h}};
            break;
        case 3:
            frames = {{0, 0, w, h / 3}, {0, h / 3, w, h / 3}, {0, 2 * h / 3, w, h - 2 * h / 3}};
            break;
        case 4:
            frames = {{0, 0, w, h / 3}, {0, h / 3, w / 3, h - h / 3}, {w / 3, h / 3, w - w / 3, h - h / 3}};
            break;
        default:
            frames = {{0, 0, w / 3, h}, {w / 3, 0, w - w / 3, h / 3}, {w / 3, h / 3, w - w / 3, h - h / 3}};
            break;
    }
    for (const QRect& r : frames)
        p.drawRect(r.adjusted(0, 0, -1, -1));
    return QIcon(pm);
}
}  // namespace

HtmlSet::HtmlSet(const PageSkeletonOptions& v, const Platform& platform, const QString& panelFolder, QWidget* parent)
    : QDialog(parent),
      m_platform(platform),
      m_panelFolder(panelFolder)
{
    setObjectName(QStringLiteral("HtmlSet"));
    setWindowTitle(QStringLiteral("ＨＴＭＬの骨組み作成"));

    m_title = lineEdit(this, "TitleTxt");
    m_css = lineEdit(this, "CSSTxt");
    m_searchWord = lineEdit(this, "SearchWordTxt");
    m_introduce = lineEdit(this, "PageIntroduceTxt");
    m_maker = lineEdit(this, "PageMakerTxt");
    m_tyosaku = lineEdit(this, "TyosakuInfoTxt");
    m_mail = lineEdit(this, "MailAddressTxt");
    m_backPic = lineEdit(this, "BackPicTxt");
    m_point = colourCombo(this, "PointColorCmb");
    m_bg = colourCombo(this, "BgColorCmb");
    m_text = colourCombo(this, "TextColorCmb");
    m_link = colourCombo(this, "LinkColorCmb");
    m_click = colourCombo(this, "ClickColorCmb");
    m_linkZumi = colourCombo(this, "LinkZumiColorCmb");
    for (QLineEdit* e : {m_title, m_css, m_searchWord, m_introduce, m_maker, m_tyosaku, m_mail, m_backPic})
        e->setMinimumWidth(220);

    auto* grid = new QGridLayout;
    int row = 0;
    auto addRow = [this, grid, &row](int column, const QString& caption, QWidget* field, QWidget* button) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        grid->addWidget(label, row, column);
        grid->addWidget(field, row, column + 1);
        if (button)
            grid->addWidget(button, row, column + 2);
        ++row;
    };
    const QString cssFilter = QStringLiteral("スタイルシート (*.css)|*.css|すべてのファイル (*.*)|*.*");
    const QString picFilter = QStringLiteral("画像ファイル (*.gif;*.jpg;*.png)|*.gif;*.jpg;*.png");
    auto* cssBtn = dotsButton(this, "CSSBtn", QStringLiteral("CSSのパスを選択"));
    connect(cssBtn, &QPushButton::clicked, this, [this, cssFilter] { browse(m_css, cssFilter); });
    auto* picBtn = dotsButton(this, "BackPicBtn", QStringLiteral("背景の画像を選択"));
    connect(picBtn, &QPushButton::clicked, this, [this, picFilter] { browse(m_backPic, picFilter); });

    // Command3 .. Command8 pick the colour of their combo.
    const std::pair<const char*, QComboBox*> pickers[] = {{"Command3", m_bg},       {"Command4", m_text},
                                                          {"Command5", m_link},     {"Command6", m_click},
                                                          {"Command7", m_linkZumi}, {"Command8", m_point}};
    QHash<QComboBox*, QPushButton*> pickerOf;
    for (const auto& [name, combo] : pickers) {
        QPushButton* b = dotsButton(this, name, QString());
        QComboBox* target = combo;
        connect(b, &QPushButton::clicked, this, [this, target] { pickColour(target); });
        pickerOf.insert(combo, b);
    }

    // The "..." buttons are named for screen readers by what they pick.
    const std::pair<QComboBox*, const char*> pickerNames[] = {
        {m_point, "ポイント時の色を選択"}, {m_bg, "背景色を選択"},
        {m_text, "文字色を選択"},          {m_link, "リンク色を選択"},
        {m_click, "クリック時の色を選択"}, {m_linkZumi, "リンク済みの色を選択"}};
    for (const auto& [combo, name] : pickerNames)
        pickerOf[combo]->setAccessibleName(QString::fromUtf8(name));

    addRow(0, QStringLiteral("タイトル"), m_title, nullptr);
    addRow(0, QStringLiteral("CSSのパス"), m_css, cssBtn);
    addRow(0, QStringLiteral("検索単語(コンマで区切る)"), m_searchWord, nullptr);
    addRow(0, QStringLiteral("ページ紹介文"), m_introduce, nullptr);
    addRow(0, QStringLiteral("ページ製作者"), m_maker, nullptr);
    addRow(0, QStringLiteral("著作権情報"), m_tyosaku, nullptr);
    addRow(0, QStringLiteral("連絡先メールアドレス"), m_mail, nullptr);
    const int leftRows = row;
    row = 0;
    addRow(3, QStringLiteral("ポイント時の色(IEのみ)"), m_point, pickerOf[m_point]);
    addRow(3, QStringLiteral("背景色"), m_bg, pickerOf[m_bg]);
    addRow(3, QStringLiteral("文字色"), m_text, pickerOf[m_text]);
    addRow(3, QStringLiteral("背景の画像"), m_backPic, picBtn);
    addRow(3, QStringLiteral("リンク色"), m_link, pickerOf[m_link]);
    addRow(3, QStringLiteral("クリック時の色"), m_click, pickerOf[m_click]);
    addRow(3, QStringLiteral("リンク済みの色"), m_linkZumi, pickerOf[m_linkZumi]);
    row = std::max(row, leftRows);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    grid->setHorizontalSpacing(8);
    grid->setColumnMinimumWidth(2, 40);  // keeps the two halves apart

    auto* frameBox = new QGroupBox(QStringLiteral("フレーム"), this);
    frameBox->setObjectName(QStringLiteral("FrameFrm"));
    m_frame = new QCheckBox(QStringLiteral("フレームページを作成する"), frameBox);
    m_frame->setObjectName(QStringLiteral("FrameChk"));
    auto* kinds = new QHBoxLayout;
    auto* group = new QButtonGroup(this);
    const char* const kindNames[6] = {"左右2分割", "上下2分割", "左右3分割", "上下3分割", "上と下左右", "左と右上下"};
    for (int i = 0; i < 6; ++i) {
        m_kinds[i] = new QRadioButton(frameBox);
        m_kinds[i]->setObjectName(QStringLiteral("FrameKindOpt_%1").arg(i));
        m_kinds[i]->setIcon(framePicture(i));
        m_kinds[i]->setIconSize(QSize(48, 36));
        m_kinds[i]->setAccessibleName(QString::fromUtf8(kindNames[i]));
        m_kinds[i]->setToolTip(QString::fromUtf8(kindNames[i]));
        group->addButton(m_kinds[i], i);
        kinds->addWidget(m_kinds[i]);
    }
    kinds->addStretch(1);
    auto* note = new QLabel(QStringLiteral("※タイトルとページ情報以外の項目は無視して作成します"), frameBox);
    auto* frameLayout = new QVBoxLayout(frameBox);
    frameLayout->addWidget(m_frame);
    frameLayout->addLayout(kinds);
    frameLayout->addWidget(note);

    auto* make = dialogButton(this, "Command1", QStringLiteral("作成"), true);
    auto* cancel = dialogButton(this, "Command2", QStringLiteral("キャンセル"), false);
    connect(make, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    QHBoxLayout* buttons = buttonRow(make, cancel);

    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addWidget(frameBox);
    top->addLayout(buttons);

    m_title->setText(v.title);
    m_css->setText(v.css);
    m_searchWord->setText(v.searchWords);
    m_introduce->setText(v.pageIntroduce);
    m_maker->setText(v.pageMaker);
    m_tyosaku->setText(v.tyosakuInfo);
    m_mail->setText(v.mailAddress);
    m_backPic->setText(v.backPic);
    m_point->setEditText(v.pointColor);
    m_bg->setEditText(v.bgColor);
    m_text->setEditText(v.textColor);
    m_link->setEditText(v.linkColor);
    m_click->setEditText(v.clickColor);
    m_linkZumi->setEditText(v.linkZumiColor);
    m_frame->setChecked(v.frame);
    if (v.frameKind >= 0 && v.frameKind < 6)
        m_kinds[v.frameKind]->setChecked(true);
}

PageSkeletonOptions HtmlSet::values() const
{
    PageSkeletonOptions v;
    v.title = m_title->text();
    v.css = m_css->text();
    v.searchWords = m_searchWord->text();
    v.pageIntroduce = m_introduce->text();
    v.pageMaker = m_maker->text();
    v.tyosakuInfo = m_tyosaku->text();
    v.mailAddress = m_mail->text();
    v.backPic = m_backPic->text();
    v.pointColor = m_point->currentText();
    v.bgColor = m_bg->currentText();
    v.textColor = m_text->currentText();
    v.linkColor = m_link->currentText();
    v.clickColor = m_click->currentText();
    v.linkZumiColor = m_linkZumi->currentText();
    v.frame = m_frame->isChecked();
    v.frameKind = -1;
    for (int i = 0; i < 6; ++i) {
        if (m_kinds[i]->isChecked()) {
            v.frameKind = i;
            break;
        }
    }
    return v;
}

void HtmlSet::pickColour(QComboBox* combo)
{
    pickColourInto(m_platform.colours, combo);
}

void HtmlSet::browse(QLineEdit* box, const QString& filter)
{
    FileDialogRequest req;
    req.title = QStringLiteral("ファイルを開く");
    req.filter = filter;
    req.initialPath = m_panelFolder + QLatin1Char('/');
    const QString path = m_platform.files->run(req);
    if (!path.isEmpty())
        box->setText(MakeRelativePath(m_panelFolder, path));
}

}  // namespace tw
