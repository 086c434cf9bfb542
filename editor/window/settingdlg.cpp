#include "editor/window/settingdlg.h"

#include "common/appfolder.h"
#include "editor/settings/headerfooter.h"
#include "editor/document/ui/plainlines.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tw {

namespace {
const QString kTitle = QStringLiteral("設定");

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption)
{
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(QLatin1String(name));
    return c;
}

QLineEdit* lineEdit(QWidget* parent, const QString& name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}

QLabel* labelFor(QWidget* parent, const QString& caption, QWidget* buddy)
{
    auto* l = new QLabel(caption, parent);
    l->setBuddy(buddy);
    return l;
}

QString boxText(const QPlainTextEdit* box)
{
    return crLfFromBoxRaw(box->document()->toRawText());
}
}  // namespace

Setting::Setting(const OptionValues& values, const Platform& platform, QWidget* parent)
    : QDialog(parent),
      m_platform(platform),
      m_panelFolder(values.PanelFolder)
{
    setObjectName(QStringLiteral("Setting"));
    setWindowTitle(kTitle);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SettingTab"));
    auto* general = new QWidget(m_tabs);
    auto* tags = new QWidget(m_tabs);
    buildGeneralTab(general);
    buildTagsTab(tags);
    m_tabs->addTab(general, QStringLiteral("一般設定"));
    m_tabs->addTab(tags, QStringLiteral("初期タグ"));

    auto* ok = new QPushButton(QStringLiteral("設定"), this);
    ok->setObjectName(QStringLiteral("SettingBtn"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(ok, &QPushButton::clicked, this, &Setting::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* top = new QVBoxLayout(this);
    top->addWidget(m_tabs);
    top->addLayout(buttons);

    // Wide enough for the default header's longest line without scrolling.
    const int headerWidth =
        m_header->fontMetrics().horizontalAdvance(defaultHeaderText().section(QStringLiteral("\r\n"), 3, 3)) + 80;
    resize(qMax(sizeHint().width(), headerWidth), sizeHint().height());

    m_tabs->setCurrentIndex(0);
    fill(values);
}

void Setting::buildGeneralTab(QWidget* page)
{
    auto* grid = new QGridLayout(page);

    m_preview = checkBox(page, "PreviewChk", QStringLiteral("プレビューエリアを表示する"));
    m_colorAdd = checkBox(page, "ColorAddChk", QStringLiteral("色付けを行う\u3000（非推奨）"));
    m_designBar = checkBox(page, "DesignBarChk", QStringLiteral("デザインバーを表示する"));
    m_soutai = checkBox(page, "SoutaiChk", QStringLiteral("パスは相対パスで取得する"));
    m_newVersionCheck = checkBox(page, "NewVersionCheckChk",
                                 QStringLiteral("起動時に最新バージョンのチェックを行う(インターネットに接続します)"));
    m_defaultMaxWin = checkBox(page, "DefaultMaxWinChk", QStringLiteral("起動時に最大化する"));
    m_realTimePreview =
        checkBox(page, "RealTimePreviewChk", QStringLiteral("自動でプレビューする(F9による手動プレビューと両立)"));
    m_tagCompletion = checkBox(page, "TagCompletionChk", QStringLiteral("タグと属性の入力候補を表示する"));
    int row = 0;
    for (QCheckBox* c : {m_preview, m_colorAdd, m_designBar, m_soutai, m_newVersionCheck, m_defaultMaxWin,
                         m_realTimePreview, m_tagCompletion})
        grid->addWidget(c, row++, 0, 1, 3);

    m_firstFolder = lineEdit(page, QStringLiteral("FirstFolderTxt"));
    auto* dirNow = new QPushButton(QStringLiteral("現在のディレクトリ"), page);
    dirNow->setObjectName(QStringLiteral("DirNowBtn"));
    connect(dirNow, &QPushButton::clicked, this, [this] { m_firstFolder->setText(m_panelFolder); });
    grid->addWidget(labelFor(page, QStringLiteral("カレントフォルダ："), m_firstFolder), row, 0);
    grid->addWidget(m_firstFolder, row, 1);
    grid->addWidget(dirNow, row, 2);
    ++row;

    auto* sizeFrame = new QGroupBox(QStringLiteral("プレビューウインドウのサイズ"), page);
    sizeFrame->setObjectName(QStringLiteral("PreviewWindowFrame"));
    auto* sizeGrid = new QGridLayout(sizeFrame);
    m_previewX = lineEdit(sizeFrame, QStringLiteral("PreviewWindowXTxt"));
    m_previewY = lineEdit(sizeFrame, QStringLiteral("PreviewWindowYTxt"));
    m_previewX->setText(QStringLiteral("800"));
    m_previewY->setText(QStringLiteral("600"));
    for (QLineEdit* e : {m_previewX, m_previewY})
        e->setMaximumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("-000000")) + 16);
    sizeGrid->addWidget(labelFor(sizeFrame, QStringLiteral("X (横サイズ)"), m_previewX), 0, 0);
    sizeGrid->addWidget(m_previewX, 0, 1);
    sizeGrid->addWidget(labelFor(sizeFrame, QStringLiteral("Y (縦サイズ)"), m_previewY), 0, 2);
    sizeGrid->addWidget(m_previewY, 0, 3);
    sizeGrid->setColumnStretch(4, 1);
    grid->addWidget(sizeFrame, row++, 0, 1, 3);

    auto* browserFrame = new QGroupBox(QStringLiteral("プレビューに使うブラウザ"), page);
    browserFrame->setObjectName(QStringLiteral("BrowserFrame"));
    auto* bGrid = new QGridLayout(browserFrame);
    bGrid->addWidget(new QLabel(QStringLiteral("ブラウザ名"), browserFrame), 0, 1);
    bGrid->addWidget(new QLabel(QStringLiteral("パス"), browserFrame), 0, 2);
    // The browse buttons are numbered from the bottom row up.
    const char* const browseNames[3] = {"Command3", "Command2", "Command1"};
    for (int i = 0; i < 3; ++i) {
        const QString n = QString::number(i + 1);
        m_browserName[i] = lineEdit(browserFrame, QStringLiteral("Browser%1NameTxt").arg(n));
        m_browser[i] = lineEdit(browserFrame, QStringLiteral("Browser%1Txt").arg(n));
        m_browserName[i]->setAccessibleName(QStringLiteral("ブラウザ%1：ブラウザ名").arg(n));
        m_browser[i]->setAccessibleName(QStringLiteral("ブラウザ%1：パス").arg(n));
        auto* browseBtn = new QPushButton(QStringLiteral("..."), browserFrame);
        browseBtn->setObjectName(QLatin1String(browseNames[i]));
        browseBtn->setAccessibleName(QStringLiteral("ブラウザ%1のパスを選択").arg(n));
        browseBtn->setMaximumWidth(browseBtn->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
        QLineEdit* pathBox = m_browser[i];
        connect(browseBtn, &QPushButton::clicked, this, [this, pathBox] { browse(pathBox); });
        bGrid->addWidget(labelFor(browserFrame, QStringLiteral("ブラウザ%1：").arg(n), m_browserName[i]), i + 1, 0);
        bGrid->addWidget(m_browserName[i], i + 1, 1);
        bGrid->addWidget(m_browser[i], i + 1, 2);
        bGrid->addWidget(browseBtn, i + 1, 3);
    }
    bGrid->setColumnStretch(1, 1);
    bGrid->setColumnStretch(2, 3);
    bGrid->addWidget(new QLabel(QStringLiteral("※パスはダブルコーテーションで囲まないでください"), browserFrame), 4, 0,
                     1, 4);
    grid->addWidget(browserFrame, row++, 0, 1, 3);

    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
}

void Setting::buildTagsTab(QWidget* page)
{
    auto* grid = new QGridLayout(page);
    m_header = new QPlainTextEdit(page);
    m_header->setObjectName(QStringLiteral("HeaderTxt"));
    m_footer = new QPlainTextEdit(page);
    m_footer->setObjectName(QStringLiteral("FutterTxt"));
    for (QPlainTextEdit* box : {m_header, m_footer}) {
        box->setLineWrapMode(QPlainTextEdit::NoWrap);
        box->setTabChangesFocus(true);
    }
    grid->addWidget(labelFor(page, QStringLiteral("ヘッダ部"), m_header), 0, 0);
    grid->addWidget(m_header, 1, 0);
    grid->addWidget(labelFor(page, QStringLiteral("フッタ部"), m_footer), 2, 0);
    grid->addWidget(m_footer, 3, 0);
    grid->setRowStretch(1, 3);
    grid->setRowStretch(3, 1);
}

void Setting::fill(const OptionValues& v)
{
    m_preview->setChecked(v.Preview);
    m_colorAdd->setChecked(v.ColorAdd);
    m_designBar->setChecked(v.DesignBar);
    m_soutai->setChecked(v.SoutaiPath);
    m_newVersionCheck->setChecked(v.NewVersionCheck);
    m_defaultMaxWin->setChecked(v.DefaultMaxWin);
    m_realTimePreview->setChecked(v.RealTimePreview);
    m_tagCompletion->setChecked(v.TagCompletion);
    m_firstFolder->setText(v.WorkingFolder);
    m_previewX->setText(v.PreviewWindowX);
    m_previewY->setText(v.PreviewWindowY);
    const QString* paths[3] = {&v.Browser1, &v.Browser2, &v.Browser3};
    const QString* names[3] = {&v.Browser1Name, &v.Browser2Name, &v.Browser3Name};
    for (int i = 0; i < 3; ++i) {
        m_browser[i]->setText(*paths[i]);
        m_browserName[i]->setText(*names[i]);
    }
    m_header->setPlainText(boxTextFromCrLf(v.Header));
    m_footer->setPlainText(boxTextFromCrLf(v.Footer));
}

OptionValues Setting::values() const
{
    OptionValues v;
    v.Preview = m_preview->isChecked();
    v.ColorAdd = m_colorAdd->isChecked();
    v.DesignBar = m_designBar->isChecked();
    v.SoutaiPath = m_soutai->isChecked();
    v.NewVersionCheck = m_newVersionCheck->isChecked();
    v.DefaultMaxWin = m_defaultMaxWin->isChecked();
    v.RealTimePreview = m_realTimePreview->isChecked();
    v.TagCompletion = m_tagCompletion->isChecked();
    v.WorkingFolder = m_firstFolder->text();
    v.PreviewWindowX = m_previewX->text();
    v.PreviewWindowY = m_previewY->text();
    v.Browser1 = m_browser[0]->text();
    v.Browser2 = m_browser[1]->text();
    v.Browser3 = m_browser[2]->text();
    v.Browser1Name = m_browserName[0]->text();
    v.Browser2Name = m_browserName[1]->text();
    v.Browser3Name = m_browserName[2]->text();
    v.Header = boxText(m_header);
    v.Footer = boxText(m_footer);
    v.PanelFolder = m_panelFolder;
    v.browsed = m_browsed;
    return v;
}

void Setting::confirm()
{
    // Checked here so the dialog stays open on a bad size; the editor applies
    // the values once the dialog is accepted.
    EditorSettings checked;
    const OptionsOutcome r = applyOptionValues(values(), checked);
    if (!r.ok) {
        m_platform.messages->show(r.message, kTitle, MsgIcon::Warning, MsgButtons::Ok);
        QLineEdit* box = r.badField == OptionField::PreviewWindowY ? m_previewY : m_previewX;
        m_tabs->setCurrentIndex(0);
        box->setFocus();
        box->selectAll();
        return;
    }
    accept();
}

void Setting::browse(QLineEdit* pathBox)
{
    m_browsed = true;
    FileDialogRequest req;
    req.save = false;
    req.title = QStringLiteral("ファイルを開く");
    // Programs here carry no .exe, so every file can be chosen as well.
    req.filter = QStringLiteral("実行ファイル(*.exe)|*.exe|すべてのファイル (*)|*");
    req.initialPath = joinPath(m_panelFolder, QString());
    const QString path = m_platform.files->run(req);
    if (path.isEmpty())
        return;
    pathBox->setText(path);
}

}  // namespace tw
