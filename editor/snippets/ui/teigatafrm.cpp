#include "editor/snippets/ui/teigatafrm.h"

#include "editor/snippets/keyname.h"
#include "editor/document/editbuffer.h"
#include "editor/document/ui/plainlines.h"
#include "editor/snippets/snippetfile.h"
#include "editor/snippets/snippetstore.h"
#include "common/gui/units.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tw {

namespace {
const QString kTitle = QStringLiteral("定型文設定");

QString boxText(const QPlainTextEdit* box)
{
    return crLfFromBoxRaw(box->document()->toRawText());
}
}  // namespace

HotKeyBox::HotKeyBox(QWidget* parent) : QLineEdit(parent)
{
    // Only key presses write here: no pasting, dropping or composing.
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

bool HotKeyBox::event(QEvent* e)
{
    // Every combination is a candidate hot key, so none may be taken as a
    // shortcut of this window or the application before it arrives here.
    if (e->type() == QEvent::ShortcutOverride) {
        e->accept();
        return true;
    }
    return QLineEdit::event(e);
}

void HotKeyBox::keyPressEvent(QKeyEvent* e)
{
    const int keyCode = virtualKeyFromQt(e->key(), e->modifiers(), e->nativeScanCode());
    setText(KeyName(keyCode, modifierMaskFromQt(e->modifiers())));
    e->accept();
}

void HotKeyBox::inputMethodEvent(QInputMethodEvent* e)
{
    e->accept();
}

void HotKeyBox::mouseReleaseEvent(QMouseEvent* e)
{
    // The middle button would paste the X11 selection.
    if (e->button() == Qt::MiddleButton) {
        e->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
}

TeigataFrm::TeigataFrm(SnippetStore& store, EditBuffer& buffer, const Platform& platform, const QString& appFolder,
                       QWidget* parent)
    : QDialog(parent),
      m_store(store),
      m_buffer(buffer),
      m_platform(platform),
      m_appFolder(appFolder)
{
    setObjectName(QStringLiteral("TeigataFrm"));
    setWindowTitle(kTitle);
    // The owner keeps this one object for the whole run: the close box and
    // Esc only hide it (QDialog's reject), nothing is saved then.
    setAttribute(Qt::WA_DeleteOnClose, false);
    buildControls();
    refreshList();
}

void TeigataFrm::buildControls()
{
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setAccessibleName(QStringLiteral("定型文の一覧"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setTextElideMode(Qt::ElideRight);
    m_list->setWordWrap(false);
    m_list->header()->setStretchLastSection(true);
    const QList<SnippetListColumn> columns = snippetListColumns();
    QStringList captions;
    for (const SnippetListColumn& c : columns)
        captions << c.caption;
    m_list->setColumnCount(int(columns.size()));
    m_list->setHeaderLabels(captions);
    int listWidth = 0;
    for (int i = 0; i < columns.size(); ++i) {
        // Never narrower than the caption: "割り当てるキー" does not fit
        // 1200 twips in every font.
        const int w = qMax(twipsToPixels(columns.at(i).widthTwips, this), m_list->header()->sectionSizeHint(i));
        m_list->setColumnWidth(i, w);
        listWidth += w;
    }
    listWidth += 2 * m_list->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_list);
    m_list->setMinimumWidth(listWidth);
    m_list->setMinimumHeight(m_list->fontMetrics().height() * 8);
    connect(m_list, &QTreeWidget::itemClicked, this, [this] { showSelectedEntry(); });
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!m_refreshing)
            showSelectedEntry();
    });

    m_title = new QLineEdit(this);
    m_title->setObjectName(QStringLiteral("TitleTxt"));
    m_start = new QPlainTextEdit(this);
    m_start->setObjectName(QStringLiteral("DataTxt"));
    m_end = new QPlainTextEdit(this);
    m_end->setObjectName(QStringLiteral("Data2Txt"));
    for (QPlainTextEdit* box : {m_start, m_end}) {
        box->setLineWrapMode(QPlainTextEdit::NoWrap);
        box->setTabChangesFocus(true);
        box->setMinimumHeight(box->fontMetrics().lineSpacing() * 6 + 2 * box->frameWidth() + 8);
    }
    // Tab in the start text is a tab character (snippets often indent);
    // Shift+Tab still leaves the box.
    m_start->installEventFilter(this);
    m_key = new HotKeyBox(this);
    m_key->setObjectName(QStringLiteral("KeyTxt"));

    auto label = [this](const char* name, const QString& caption, QWidget* buddy) {
        auto* l = new QLabel(caption, this);
        if (name)
            l->setObjectName(QLatin1String(name));
        if (buddy)
            l->setBuddy(buddy);
        return l;
    };
    QLabel* titleLabel = label(nullptr, QStringLiteral("定型文のタイトル"), m_title);
    QLabel* startLabel = label(nullptr, QStringLiteral("開始タグ"), m_start);
    QLabel* endLabel = label(nullptr, QStringLiteral("終了タグ"), m_end);
    QLabel* keyLabel = label(nullptr, QStringLiteral("割り当てるキー"), m_key);
    QLabel* hint =
        label("Label4", QStringLiteral("ファンクションキーを押しながら一般のキーを一緒に押してください"), nullptr);
    QLabel* example =
        label("Label5", QStringLiteral("例：\u3000(ShiftとCtrlキーを押しながらAを押す)\u3000Shift＋Ctrl＋A"), nullptr);
    m_key->setAccessibleDescription(hint->text() + QLatin1Char(' ') + example->text());
    m_key->setFixedWidth(m_key->fontMetrics().horizontalAdvance(QStringLiteral("Shift+Ctrl+Alt+Delete")) + 24);

    auto button = [this](const char* name, const QString& caption, void (TeigataFrm::*slot)()) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        // Enter in a box must not press whichever button Qt would pick as
        // the default: that could be 削除 or 閉じる.
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    QPushButton* add = button("AddBtn", QStringLiteral("追加"), &TeigataFrm::addEntry);
    QPushButton* change = button("ChangeBtn", QStringLiteral("変更"), &TeigataFrm::changeEntry);
    QPushButton* del = button("DeleteBtn", QStringLiteral("削除"), &TeigataFrm::deleteEntry);
    QPushButton* copy = button("CopyBtn", QStringLiteral("複製"), &TeigataFrm::copyEntry);
    QPushButton* clear = button("ClearBtn", QStringLiteral("クリア"), &TeigataFrm::clearBoxes);
    QPushButton* insert = button("InsertBtn", QStringLiteral("挿入"), &TeigataFrm::insertEntry);
    QPushButton* load = button("CSVLoadBtn", QStringLiteral("読み込み"), &TeigataFrm::loadFile);
    QPushButton* save = button("CSVSaveBtn", QStringLiteral("保存"), &TeigataFrm::saveFile);
    QPushButton* ok = button("OKBtn", QStringLiteral("閉じる"), &TeigataFrm::closeAndSave);

    // List on top with the entry buttons beside it; the boxes below; file
    // buttons bottom left, insert and close bottom right.
    auto* entryButtons = new QVBoxLayout;
    for (QPushButton* b : {add, change, del, copy, clear})
        entryButtons->addWidget(b);
    entryButtons->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(m_list, 1);
    top->addLayout(entryButtons);

    // The title and hot-key boxes start at the same x.
    const int labelWidth = qMax(titleLabel->sizeHint().width(), keyLabel->sizeHint().width());
    titleLabel->setMinimumWidth(labelWidth);
    keyLabel->setMinimumWidth(labelWidth);
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(titleLabel);
    titleRow->addWidget(m_title, 1);

    auto* texts = new QGridLayout;
    texts->addWidget(startLabel, 0, 0);
    texts->addWidget(endLabel, 0, 1);
    texts->addWidget(m_start, 1, 0);
    texts->addWidget(m_end, 1, 1);
    texts->setColumnStretch(0, 1);
    texts->setColumnStretch(1, 1);
    texts->setRowStretch(1, 1);

    auto* keyRows = new QGridLayout;
    keyRows->addWidget(keyLabel, 0, 0);
    keyRows->addWidget(m_key, 0, 1, Qt::AlignLeft);
    keyRows->addWidget(hint, 1, 1);
    keyRows->addWidget(example, 2, 1);
    keyRows->setColumnStretch(1, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(load);
    bottom->addWidget(save);
    bottom->addStretch(1);
    bottom->addWidget(insert);
    bottom->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(titleRow);
    layout->addLayout(texts, 1);
    layout->addLayout(keyRows);
    layout->addLayout(bottom);

    QWidget* order[] = {m_list, m_title, m_start, m_end, m_key, add, change, del, copy, clear, load, save, insert, ok};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

bool TeigataFrm::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_start && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Tab && !(k->modifiers() & Qt::ShiftModifier)) {
            m_start->insertPlainText(QStringLiteral("\t"));
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void TeigataFrm::refreshList()
{
    rebuildList(selectedRow());
}

void TeigataFrm::rebuildList(int selectRow)
{
    m_refreshing = true;
    m_list->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(m_store.size());
    for (const TeigataEntry& e : m_store.entries()) {
        const QStringList cells(snippetListRow(e));
        auto* item = new QTreeWidgetItem(cells);
        // The columns are narrow; the whole text shows on hovering.
        for (int c = 0; c < cells.size(); ++c)
            item->setToolTip(c, cells.at(c));
        items << item;
    }
    m_list->addTopLevelItems(items);
    if (m_store.isValidRow(selectRow)) {
        QTreeWidgetItem* item = m_list->topLevelItem(selectRow);
        m_list->setCurrentItem(item);
        m_list->scrollToItem(item);
    }
    m_refreshing = false;
}

void TeigataFrm::clearForNewEntry()
{
    m_title->clear();
    m_start->clear();
    m_key->clear();
    m_title->setFocus();
}

int TeigataFrm::selectedRow() const
{
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->indexOfTopLevelItem(selected.first());
}

SnippetBoxes TeigataFrm::boxes() const
{
    return {m_title->text(), boxText(m_start), boxText(m_end), m_key->text()};
}

void TeigataFrm::setBoxes(const SnippetBoxes& boxes)
{
    m_title->setText(boxes.title);
    m_start->setPlainText(boxTextFromCrLf(boxes.start));
    m_end->setPlainText(boxTextFromCrLf(boxes.end));
    m_key->setText(boxes.hotKey);
}

void TeigataFrm::showSelectedEntry()
{
    const int row = selectedRow();
    if (m_store.isValidRow(row))
        setBoxes(boxesFromEntry(m_store.at(row)));
}

void TeigataFrm::warn(const QString& text)
{
    if (m_platform.messages)
        m_platform.messages->show(text, kTitle, MsgIcon::Warning, MsgButtons::Ok);
}

void TeigataFrm::addEntry()
{
    if (const Result added = addSnippet(m_store, boxes()); !added) {
        warn(added.reason());
        return;
    }
    // The new row is selected, matching the boxes, so 変更 acts on it.
    rebuildList(int(m_store.size()) - 1);
}

void TeigataFrm::changeEntry()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    if (const Result changed = changeSnippet(m_store, row, boxes()); !changed) {
        if (!changed.reason().isEmpty())
            warn(changed.reason());
        return;
    }
    rebuildList(row);
}

void TeigataFrm::deleteEntry()
{
    const int row = selectedRow();
    if (!deleteSnippet(m_store, row))
        return;
    // Nothing stays selected, so a second press cannot delete the next
    // entry unseen.
    rebuildList(-1);
}

void TeigataFrm::copyEntry()
{
    const int row = selectedRow();
    if (!copySnippet(m_store, row))
        return;
    rebuildList(row);
}

void TeigataFrm::clearBoxes()
{
    setBoxes({});
}

void TeigataFrm::insertEntry()
{
    const int row = selectedRow();
    if (!insertSnippetStartText(m_buffer, m_store, row))
        return;
    closeAndSave();
}

void TeigataFrm::closeAndSave()
{
    accept();
    const WriteResult saved = saveStandardSnippetFile(m_store, m_appFolder);
    if (!saved.ok)
        warn(saved.error);
    emit snippetsSaved();
}

void TeigataFrm::loadFile()
{
    if (!m_platform.files)
        return;
    const QString path = m_platform.files->run(snippetFileDialogRequest(false));
    if (path.isEmpty())
        return;
    const SnippetLoadResult loaded = LoadSnippetFile(m_store, path);
    if (!loaded.ok)
        return;
    rebuildList(-1);
    emit snippetsSaved();
    // Saving the shortened store over the same file would lose those lines
    // for good, so the user is told.
    if (loaded.stoppedAtLine > 0)
        warn(QStringLiteral("%1 の %2 行目は項目が足りないため、そこから後の %3 行は読み込んでいません。")
                 .arg(QDir::toNativeSeparators(path))
                 .arg(loaded.stoppedAtLine)
                 .arg(loaded.unreadLines));
}

void TeigataFrm::saveFile()
{
    if (!m_platform.files)
        return;
    const QString path = m_platform.files->run(snippetFileDialogRequest(true));
    if (path.isEmpty())
        return;
    const WriteResult saved = SaveSnippetFile(m_store, path);
    if (!saved.ok)
        warn(saved.error);
}

}  // namespace tw
