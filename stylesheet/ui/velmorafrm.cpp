#include "stylesheet/ui/velmorafrm.h"

#include "stylesheet/ui/colorselect.h"
#include "common/textfile.h"
#include "common/gui/updown.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tw::velmora {

namespace {
const QString kTitle = QStringLiteral("Velmoraβ");

QComboBox* makeCombo(const QString& name, const QStringList& items, bool editable, QWidget* parent)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(editable);
    if (editable)
        c->setInsertPolicy(QComboBox::NoInsert);  // a typed text is a value, not a new item
    c->addItems(items);
    if (editable)
        c->setCurrentIndex(-1);
    return c;
}

QLabel* makeLabel(const QString& caption, QWidget* buddy, QWidget* parent)
{
    auto* l = new QLabel(caption, parent);
    l->setBuddy(buddy);
    return l;
}

QCheckBox* makeCheck(const QString& name, const QString& caption, QWidget* parent)
{
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    return c;
}
}  // namespace

MainFrm::MainFrm(const Platform& platform, QWidget* parent)
    : QWidget(parent),
      m_platform(platform),
      m_saveFolder(QDir::currentPath())
{
    setObjectName(QStringLiteral("MainFrm"));
    setWindowTitle(kTitle);

    Tab = new QTabWidget(this);
    Tab->setObjectName(QStringLiteral("Tab"));
    Tab->addTab(buildComposeTab(), QStringLiteral("設定"));
    Tab->addTab(buildOutputTab(), QStringLiteral("出力"));
    Tab->setCurrentIndex(0);

    auto* top = new QVBoxLayout(this);
    top->addWidget(Tab);
}

QWidget* MainFrm::buildComposeTab()
{
    auto* page = new QWidget(this);

    List1 = new QListWidget(page);
    List1->setObjectName(QStringLiteral("List1"));
    List1->addItems(selectorItems());
    List1->setCurrentRow(-1);
    // Wide enough for the longest item without a horizontal scroll bar.
    List1->setMinimumWidth(List1->sizeHintForColumn(0) + 2 * List1->frameWidth() + 24);
    auto* selectorBox = new QVBoxLayout;
    selectorBox->addWidget(makeLabel(QStringLiteral("設定タグ（セレクタ）："), List1, page));
    selectorBox->addWidget(List1, 1);

    auto makeColourButton = [this, page](int target, const QString& what) {
        auto* b = new QPushButton(QStringLiteral("..."), page);
        b->setObjectName(QStringLiteral("ColorSelectBtn_%1").arg(target));
        b->setAccessibleName(QStringLiteral("色の入力（%1）").arg(what));
        b->setToolTip(b->accessibleName());
        b->setAutoDefault(false);
        b->setFixedWidth(32);
        connect(b, &QPushButton::clicked, this, [this, target] { openColorSelect(target); });
        ColorSelectBtn[target] = b;
        return b;
    };

    // Font frame: name, colour, size and style.
    auto* fontFrame = new QGroupBox(QStringLiteral("フォント"), page);
    FontCmb = makeCombo(QStringLiteral("FontCmb"), {}, true, fontFrame);
    // Qt names a family found at several foundries "C059 [urw]"; a style
    // sheet needs the bare family name, once.
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
    QStringList families;
    QSet<QString> seen;
    for (const QString& family : QFontDatabase::families()) {
        const QString name = QString(family).remove(foundry);
        if (!QFontDatabase::isPrivateFamily(family) && !seen.contains(name)) {
            seen.insert(name);
            families << name;
        }
    }
    FontCmb->addItems(families);
    FontCmb->setCurrentIndex(-1);
    // What the user types is the value: no inline completion that turns
    // "serif" into an installed font called "Serif".
    FontCmb->setCompleter(nullptr);
    FontColorCmb = makeCombo(QStringLiteral("FontColorCmb"), fontColourItems(), true, fontFrame);
    BackColorCmb = makeCombo(QStringLiteral("BackColorCmb"), scrollBarColourItems(), true, fontFrame);
    FontSizeTxt = new QLineEdit(fontFrame);
    FontSizeTxt->setObjectName(QStringLiteral("FontSizeTxt"));
    FontSizeTxt->setFixedWidth(60);
    UpDown1 = new tw::UpDown(FontSizeTxt, 0, 100, fontFrame);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    FontSizeScaleCmb = makeCombo(QStringLiteral("FontSizeScaleCmb"), sizeUnitItems(), false, fontFrame);
    FontSizeScaleCmb->setAccessibleName(QStringLiteral("サイズの単位"));
    BoldChk = makeCheck(QStringLiteral("BoldChk"), QStringLiteral("太字"), fontFrame);
    ItaricChk = makeCheck(QStringLiteral("ItaricChk"), QStringLiteral("斜体"), fontFrame);
    UnderLineChk = makeCheck(QStringLiteral("UnderLineChk"), QStringLiteral("下線"), fontFrame);
    OverLineChk = makeCheck(QStringLiteral("OverLineChk"), QStringLiteral("上線"), fontFrame);
    UchikeshiChk = makeCheck(QStringLiteral("UchikeshiChk"), QStringLiteral("取り消し線"), fontFrame);

    auto* fontGrid = new QGridLayout(fontFrame);
    fontGrid->addWidget(makeLabel(QStringLiteral("フォント名："), FontCmb, fontFrame), 0, 0);
    fontGrid->addWidget(FontCmb, 0, 1, 1, 3);
    fontGrid->addWidget(new QLabel(QStringLiteral("フォント名は一般的なものを使用してください"), fontFrame), 1, 1, 1,
                        3);
    fontGrid->addWidget(makeLabel(QStringLiteral("文字色："), FontColorCmb, fontFrame), 2, 0);
    fontGrid->addWidget(FontColorCmb, 2, 1, 1, 2);
    fontGrid->addWidget(makeColourButton(0, QStringLiteral("文字色")), 2, 3);
    fontGrid->addWidget(makeLabel(QStringLiteral("背景色："), BackColorCmb, fontFrame), 3, 0);
    fontGrid->addWidget(BackColorCmb, 3, 1, 1, 2);
    fontGrid->addWidget(makeColourButton(kScrollBarRows + 1, QStringLiteral("背景色")), 3, 3);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(FontSizeTxt);
    sizeRow->addWidget(UpDown1);
    sizeRow->addWidget(FontSizeScaleCmb);
    sizeRow->addStretch();
    fontGrid->addWidget(makeLabel(QStringLiteral("サイズ："), FontSizeTxt, fontFrame), 4, 0);
    fontGrid->addLayout(sizeRow, 4, 1, 1, 3);
    auto* styleRow = new QHBoxLayout;
    for (QCheckBox* c : {BoldChk, ItaricChk, UnderLineChk, OverLineChk, UchikeshiChk})
        styleRow->addWidget(c);
    styleRow->addStretch();
    fontGrid->addLayout(styleRow, 5, 0, 1, 4);
    fontGrid->setColumnStretch(1, 1);

    // Background image frame.
    auto* imageFrame = new QGroupBox(QStringLiteral("背景画像"), page);
    BackImageChk = makeCheck(QStringLiteral("BackImageChk"), QStringLiteral("表示"), imageFrame);
    BackImgTxt = new QLineEdit(imageFrame);
    BackImgTxt->setObjectName(QStringLiteral("BackImgTxt"));
    BackImgScrollChk =
        makeCheck(QStringLiteral("BackImgScrollChk"), QStringLiteral("画像をスクロールさせない"), imageFrame);
    auto* imageGrid = new QGridLayout(imageFrame);
    imageGrid->addWidget(BackImageChk, 0, 0, 1, 2);
    imageGrid->addWidget(makeLabel(QStringLiteral("画像："), BackImgTxt, imageFrame), 1, 0);
    imageGrid->addWidget(BackImgTxt, 1, 1);
    imageGrid->addWidget(BackImgScrollChk, 2, 0, 1, 2);

    // Other.
    auto* otherFrame = new QGroupBox(QStringLiteral("その他"), page);
    CursolCmb = makeCombo(QStringLiteral("CursolCmb"), cursorItems(), true, otherFrame);
    auto* otherRow = new QHBoxLayout(otherFrame);
    otherRow->addWidget(makeLabel(QStringLiteral("マウスポインタ："), CursolCmb, otherFrame));
    otherRow->addWidget(CursolCmb, 1);

    // Scroll-bar colours, written for BODY only.
    auto* scrollFrame = new QGroupBox(QStringLiteral("スクロールバー(BODYのみ)"), page);
    auto* scrollGrid = new QGridLayout(scrollFrame);
    for (int i = 0; i < kScrollBarRows; ++i) {
        const ScrollBarRow& row = scrollBarRows()[i];
        QComboBox* c =
            makeCombo(QStringLiteral("ScrollBarColorCmb_%1").arg(i), scrollBarColourItems(), true, scrollFrame);
        c->setMinimumWidth(120);
        ScrollBarColorCmb[i] = c;
        scrollGrid->addWidget(makeLabel(row.label, c, scrollFrame), i, 0);
        scrollGrid->addWidget(c, i, 1);
        QString what = row.label;
        what.chop(1);  // without the colon
        scrollGrid->addWidget(makeColourButton(i + 1, what), i, 2);
    }
    scrollGrid->setColumnStretch(1, 1);
    scrollGrid->setRowStretch(kScrollBarRows, 1);

    SettingBtn = new QPushButton(QStringLiteral("設定追加"), page);
    SettingBtn->setObjectName(QStringLiteral("SettingBtn"));
    connect(SettingBtn, &QPushButton::clicked, this, &MainFrm::SettingBtn_Click);

    auto* middle = new QVBoxLayout;
    middle->addWidget(fontFrame);
    middle->addWidget(imageFrame);
    middle->addWidget(otherFrame);
    middle->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(scrollFrame, 1);
    right->addWidget(SettingBtn, 0, Qt::AlignRight);

    auto* layout = new QHBoxLayout(page);
    layout->addLayout(selectorBox, 1);
    layout->addLayout(middle, 2);
    layout->addLayout(right, 1);
    return page;
}

QWidget* MainFrm::buildOutputTab()
{
    auto* page = new QWidget(this);

    auto* checkFrame = new QGroupBox(QStringLiteral("最終確認"), page);
    OutputTxt = new QPlainTextEdit(checkFrame);
    OutputTxt->setObjectName(QStringLiteral("OutputTxt"));
    OutputTxt->setAccessibleName(QStringLiteral("最終確認"));
    OutputTxt->setLineWrapMode(QPlainTextEdit::NoWrap);
    OutputTxt->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* checkBox = new QVBoxLayout(checkFrame);
    checkBox->addWidget(OutputTxt);

    auto* formatFrame = new QGroupBox(QStringLiteral("出力形式"), page);
    auto* group = new QButtonGroup(formatFrame);
    const QString captions[] = {QStringLiteral("スタイルシート"), QStringLiteral("HTML形式")};
    auto* formatBox = new QVBoxLayout(formatFrame);
    for (int i = 0; i < 2; ++i) {
        auto* r = new QRadioButton(captions[i], formatFrame);
        r->setObjectName(QStringLiteral("OutputFormat_%1").arg(i));
        group->addButton(r, i);
        formatBox->addWidget(r);
        OutputFormatOpt[i] = r;
    }
    OutputFormatOpt[0]->setChecked(true);
    formatBox->addStretch();

    OutputBtn = new QPushButton(QStringLiteral("出力"), page);
    OutputBtn->setObjectName(QStringLiteral("OutputBtn"));
    OutputBtn->setAutoDefault(false);
    connect(OutputBtn, &QPushButton::clicked, this, &MainFrm::OutputBtn_Click);

    auto* side = new QVBoxLayout;
    side->addWidget(formatFrame);
    side->addStretch();
    side->addWidget(OutputBtn);

    auto* layout = new QHBoxLayout(page);
    layout->addWidget(checkFrame, 1);
    layout->addLayout(side);
    return page;
}

StyleRuleValues MainFrm::ruleValues() const
{
    StyleRuleValues v;
    if (const QListWidgetItem* item = List1->currentItem(); item && item->isSelected())
        v.selector = item->text();
    for (int i = 0; i < kScrollBarRows; ++i)
        v.scrollBarColours[i] = ScrollBarColorCmb[i]->currentText();
    v.fontName = FontCmb->currentText();
    v.fontColour = FontColorCmb->currentText();
    v.backgroundColour = BackColorCmb->currentText();
    v.fontSize = FontSizeTxt->text();
    v.sizeUnit = FontSizeScaleCmb->currentText();
    v.bold = BoldChk->isChecked();
    v.italic = ItaricChk->isChecked();
    v.underline = UnderLineChk->isChecked();
    v.overline = OverLineChk->isChecked();
    v.lineThrough = UchikeshiChk->isChecked();
    v.backImage = BackImageChk->isChecked();
    v.backImageUrl = BackImgTxt->text();
    v.backImageFixed = BackImgScrollChk->isChecked();
    v.cursor = CursolCmb->currentText();
    return v;
}

QString MainFrm::outputText() const
{
    return normaliseLineBreaks(OutputTxt->toPlainText());
}

void MainFrm::setOutputText(const QString& text)
{
    QString lf = text;
    lf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    OutputTxt->setPlainText(lf);
    OutputTxt->moveCursor(QTextCursor::End);
}

OutputFormat MainFrm::outputFormat() const
{
    return OutputFormatOpt[1]->isChecked() ? OutputFormat::Html : OutputFormat::StyleSheet;
}

QComboBox* MainFrm::colourTargetCombo(int target) const
{
    if (target == 0)
        return FontColorCmb;
    if (target >= 1 && target <= kScrollBarRows)
        return ScrollBarColorCmb[target - 1];
    if (target == kScrollBarRows + 1)
        return BackColorCmb;
    return nullptr;
}

void MainFrm::openColorSelect(int target)
{
    QComboBox* combo = colourTargetCombo(target);
    if (!combo)
        return;
    m_colourTarget = target;
    ColorSelect dlg(this);
    if (dlg.exec() == QDialog::Accepted)
        colourTargetCombo(m_colourTarget)->setEditText(dlg.colourText());
}

void MainFrm::SettingBtn_Click()
{
    const RuleResult r = AppendStyleRule(outputText(), ruleValues());
    switch (r.outcome) {
        case RuleOutcome::NoSelector:
            return;
        case RuleOutcome::BadSize:
            showMessage(
                QStringLiteral("サイズには半角の数値を入力してください（例：12、1.5）。\n"
                               "単位は右の一覧から選ぶか、数値の後に続けて入力してください（例：12px、1.2em、90%）。"));
            FontSizeTxt->setFocus();
            FontSizeTxt->selectAll();
            return;
        case RuleOutcome::Appended:
            setOutputText(r.text);
            return;
    }
}

void MainFrm::OutputBtn_Click()
{
    const QString text = outputText();
    const SaveResult r = saveStyleOutput(m_platform, outputFormat(), text, m_saveFolder);
    if (!r.path.isEmpty())
        m_saveFolder = QFileInfo(r.path).absolutePath();
    if (r.outcome == SaveOutcome::Saved)
        m_writtenText = text;
}

void MainFrm::closeEvent(QCloseEvent* event)
{
    const QString text = outputText();
    if (text != m_writtenText && !text.trimmed().isEmpty()
        && m_platform.messages->show(QStringLiteral("出力していないスタイルがあります。\n破棄して終了しますか？"),
                                     kTitle, MsgIcon::Question, MsgButtons::YesNo)
               != MsgResult::Yes) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void MainFrm::showMessage(const QString& text)
{
    m_platform.messages->show(text, kTitle, MsgIcon::Warning, MsgButtons::Ok);
}

}  // namespace tw::velmora
