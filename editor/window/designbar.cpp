#include "editor/window/designbar.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tw {

namespace {
const QString kInitialPattern = QStringLiteral("*.html;*.htm;*.txt;*.c;*.cpp;*.shtm;*.shtml");

QComboBox* makeCombo(const char* name, const QStringList& items, QWidget* parent)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(true);
    c->addItems(items);
    c->setCurrentIndex(0);
    c->setInsertPolicy(QComboBox::NoInsert);
    return c;
}
}  // namespace

DesignBar::DesignBar(QWidget* parent) : QWidget(parent), m_pattern(kInitialPattern)
{
    setObjectName(QStringLiteral("DesignBar"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);

    Frame1 = new QGroupBox(QStringLiteral("フォント"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* font = new QGridLayout(Frame1);
    FSize = makeCombo("FSize", {QStringLiteral("なし"), "1", "2", "3", "4", "5", "6", "7"}, Frame1);
    FColor = makeCombo("FColor",
                       {QStringLiteral("なし"), "red", "blue", "skyblue", "green", "pink", "yellow", "aqua", "fuchsia",
                        "gray", "lime", "maroon", "navy", "olive", "purple", "silver", "teal"},
                       Frame1);
    auto* sizeLabel = new QLabel(QStringLiteral("サイズ"), Frame1);
    sizeLabel->setBuddy(FSize);
    auto* colourLabel = new QLabel(QStringLiteral("文字色"), Frame1);
    colourLabel->setBuddy(FColor);
    Command5 = new QPushButton(QStringLiteral("..."), Frame1);
    Command5->setObjectName(QStringLiteral("Command5"));
    Command5->setToolTip(QStringLiteral("文字色を選択します"));
    Command5->setAccessibleName(QStringLiteral("文字色を選択します"));
    Command5->setMaximumWidth(28);
    Command2 = new QPushButton(QStringLiteral("設定"), Frame1);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setToolTip(QStringLiteral("フォントの設定を行います"));
    // Labels above their boxes: the column is narrow.
    font->addWidget(sizeLabel, 0, 0, 1, 2);
    font->addWidget(FSize, 1, 0, 1, 2);
    font->addWidget(colourLabel, 2, 0, 1, 2);
    font->addWidget(FColor, 3, 0);
    font->addWidget(Command5, 3, 1);
    font->addWidget(Command2, 4, 0, 1, 2);
    font->setColumnStretch(0, 1);
    column->addWidget(Frame1);

    Frame3 = new QGroupBox(QStringLiteral("ファイル一覧"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    auto* files = new QVBoxLayout(Frame3);
    File1 = new QListWidget(Frame3);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setToolTip(QStringLiteral("開きたいファイルを選択してください"));
    File1->setAccessibleName(QStringLiteral("ファイル一覧"));
    File1->setContextMenuPolicy(Qt::CustomContextMenu);
    Text5 = new QLineEdit(kInitialPattern, Frame3);
    Text5->setObjectName(QStringLiteral("Text5"));
    Text5->setToolTip(QStringLiteral("リストに表示するファイルの種類を指定します"));
    Text5->setAccessibleName(QStringLiteral("リストに表示するファイルの種類を指定します"));
    Command1 = new QPushButton(QStringLiteral("フォルダの変更"), Frame3);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setToolTip(QStringLiteral("カレントフォルダの変更"));
    Command4 = new QPushButton(QStringLiteral("更新"), Frame3);
    Command4->setObjectName(QStringLiteral("Command4"));
    Command4->setToolTip(QStringLiteral("ファイル一覧を更新"));
    files->addWidget(File1, 1);
    files->addWidget(Text5);
    files->addWidget(Command1);
    files->addWidget(Command4);
    column->addWidget(Frame3, 1);

    connect(Command1, &QPushButton::clicked, this, &DesignBar::changeFolderClicked);
    connect(Command5, &QPushButton::clicked, this, &DesignBar::colourPickClicked);
    connect(Command2, &QPushButton::clicked, this,
            [this] { emit fontRequested(FSize->currentText(), FColor->currentText()); });
    connect(Text5, &QLineEdit::returnPressed, this, &DesignBar::applyPattern);
    connect(Command4, &QPushButton::clicked, this, &DesignBar::applyPattern);
    connect(File1, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { emit fileClicked(item->text()); });
    connect(File1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { emit folderMenuRequested(File1->viewport()->mapToGlobal(pos)); });
}

void DesignBar::setFolder(const QString& folder)
{
    m_folder = folder;
    refresh();
}

void DesignBar::applyPattern()
{
    m_pattern = Text5->text();
    refresh();
}

void DesignBar::refresh()
{
    File1->clear();
    if (m_folder.isEmpty())
        return;
    QStringList patterns;
    for (const QString& p : m_pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        patterns << p.trimmed();
    const QDir dir(m_folder);
    QStringList names = dir.entryList(patterns, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    // The editor's own preview file is no page of the site.
    names.removeAll(QStringLiteral("quillettmp.html"));
    File1->addItems(names);
    setCurrentFile(m_current);
}

void DesignBar::setCurrentFile(const QString& name)
{
    m_current = name;
    const QList<QListWidgetItem*> found =
        name.isEmpty() ? QList<QListWidgetItem*>() : File1->findItems(name, Qt::MatchExactly);
    if (found.isEmpty()) {
        File1->clearSelection();
        File1->setCurrentItem(nullptr);
    } else {
        File1->setCurrentItem(found.first());
    }
}

QString DesignBar::highlightedFile() const
{
    const QList<QListWidgetItem*> selected = File1->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void DesignBar::setColourText(const QString& colour)
{
    FColor->setEditText(colour);
}

QStringList DesignBar::listedFiles() const
{
    QStringList names;
    for (int i = 0; i < File1->count(); ++i)
        names << File1->item(i)->text();
    return names;
}

}  // namespace tw
