#include "editor/builders/ui/gradationinsfrm.h"

#include "editor/builders/ui/dialogbutton.h"
#include "editor/tags/formatting.h"
#include "editor/builders/radix.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace tw {

namespace {
QScrollBar* scrollBar(QWidget* parent, const QString& name, int min, int max)
{
    auto* s = new QScrollBar(Qt::Horizontal, parent);
    s->setObjectName(name);
    s->setRange(min, max);
    s->setSingleStep(1);
    s->setPageStep(max - min >= 100 ? 16 : 1);
    s->setMinimumWidth(160);
    return s;
}
}  // namespace

GradationInsFrm::GradationInsFrm(const GradationOptions& v, const Platform& platform, QWidget* parent)
    : QDialog(parent),
      m_platform(platform)
{
    setObjectName(QStringLiteral("GradationInsFrm"));
    setWindowTitle(QStringLiteral("グラデーション文字の作成"));

    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("TextTxt"));
    auto* textLabel = new QLabel(QStringLiteral("文字列："), this);
    textLabel->setBuddy(m_text);
    auto* textRow = new QHBoxLayout;
    textRow->addWidget(textLabel);
    textRow->addWidget(m_text, 1);

    const char* const scrNames[2] = {"StartScr", "EndScr"};
    const char* const numberNames[2][3] = {{"RLbl", "Glbl", "Blbl"}, {"NRLbl", "NGLbl", "NBLbl"}};
    const char* const swatchNames[2] = {"StartLbl", "EndLbl"};
    const char* const sizeNames[2] = {"StartFntScr", "EndFntScr"};
    const char* const buttonNames[2] = {"StartColorBtn", "EndColorBtn"};
    const char* const components[3] = {"赤", "緑", "青"};
    auto* colours = new QHBoxLayout;
    for (int w = 0; w < 2; ++w) {
        auto* box = new QGroupBox(w == 0 ? QStringLiteral("開始色") : QStringLiteral("終了色"), this);
        box->setObjectName(w == 0 ? QStringLiteral("StartFrm") : QStringLiteral("EndFrm"));
        auto* grid = new QGridLayout(box);
        for (int c = 0; c < 3; ++c) {
            m_scr[w][c] = scrollBar(box, QStringLiteral("%1_%2").arg(QLatin1String(scrNames[w])).arg(c), 0, 255);
            auto* l = new QLabel(QString::fromUtf8(components[c]), box);
            l->setBuddy(m_scr[w][c]);
            m_numbers[w][c] = new QLabel(box);
            m_numbers[w][c]->setObjectName(QLatin1String(numberNames[w][c]));
            m_numbers[w][c]->setMinimumWidth(m_numbers[w][c]->fontMetrics().horizontalAdvance(QStringLiteral("000"))
                                             + 4);
            m_numbers[w][c]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grid->addWidget(l, c, 0);
            grid->addWidget(m_scr[w][c], c, 1);
            grid->addWidget(m_numbers[w][c], c, 2);
            connect(m_scr[w][c], &QScrollBar::valueChanged, this, [this, w] { colourChanged(w); });
        }
        m_swatch[w] = new QLabel(box);
        m_swatch[w]->setObjectName(QLatin1String(swatchNames[w]));
        m_swatch[w]->setFixedSize(40, 40);
        m_swatch[w]->setFrameShape(QFrame::Box);
        m_swatch[w]->setAutoFillBackground(true);
        auto* pick =
            dotsButton(box, buttonNames[w], w == 0 ? QStringLiteral("開始色を選択") : QStringLiteral("終了色を選択"));
        connect(pick, &QPushButton::clicked, this, [this, w] { pickColour(w); });
        grid->addWidget(m_swatch[w], 0, 3, 2, 1, Qt::AlignCenter);
        grid->addWidget(pick, 2, 3, Qt::AlignCenter);

        m_size[w] = scrollBar(box, QLatin1String(sizeNames[w]), 1, 7);
        auto* sizeLabel = new QLabel(QStringLiteral("サイズ"), box);
        sizeLabel->setBuddy(m_size[w]);
        m_sizeNumber[w] = new QLabel(box);
        m_sizeNumber[w]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(sizeLabel, 3, 0);
        grid->addWidget(m_size[w], 3, 1);
        grid->addWidget(m_sizeNumber[w], 3, 2);
        connect(m_size[w], &QScrollBar::valueChanged, this, [this, w](int value) {
            m_sizeNumber[w]->setNum(value);
            PrintTxt();
        });
        colours->addWidget(box);
    }

    m_fontSize = new QCheckBox(QStringLiteral("フォントサイズを指定する"), this);
    m_fontSize->setObjectName(QStringLiteral("FontSizeChk"));
    m_br = new QCheckBox(QStringLiteral("1文字ごとに改行する"), this);
    m_br->setObjectName(QStringLiteral("BRChk"));
    auto* checks = new QHBoxLayout;
    checks->addWidget(m_fontSize);
    checks->addWidget(m_br);
    checks->addStretch(1);

    m_preview = new QTextEdit(this);
    m_preview->setObjectName(QStringLiteral("RichTextBox1"));
    m_preview->setReadOnly(true);
    m_preview->setAccessibleName(QStringLiteral("プレビュー"));
    m_preview->setMinimumHeight(80);

    auto* insert = dialogButton(this, "InsertBtn", QStringLiteral("挿入"), true);
    auto* cancel = dialogButton(this, "CancelBtn", QStringLiteral("キャンセル"), false);
    connect(insert, &QPushButton::clicked, this, [this] {
        PrintTxt();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    QHBoxLayout* buttons = buttonRow(insert, cancel);

    auto* top = new QVBoxLayout(this);
    top->addLayout(textRow);
    top->addLayout(colours);
    top->addLayout(checks);
    top->addWidget(m_preview, 1);
    top->addLayout(buttons);

    connect(m_text, &QLineEdit::textChanged, this, &GradationInsFrm::PrintTxt);
    connect(m_fontSize, &QCheckBox::toggled, this, &GradationInsFrm::PrintTxt);
    connect(m_br, &QCheckBox::toggled, this, &GradationInsFrm::PrintTxt);

    m_text->setText(v.text);
    m_fontSize->setChecked(v.fontSize);
    m_br->setChecked(v.lineBreaks);
    for (int c = 0; c < 3; ++c) {
        m_scr[0][c]->setValue(RGBSet(v.start[c]));
        m_scr[1][c]->setValue(RGBSet(v.end[c]));
    }
    m_size[0]->setValue(v.startSize);
    m_size[1]->setValue(v.endSize);
    for (int w = 0; w < 2; ++w) {
        m_sizeNumber[w]->setNum(m_size[w]->value());
        colourChanged(w);
    }
    resize(sizeHint().width(), sizeHint().height() + 60);
}

void GradationInsFrm::colourChanged(int w)
{
    for (int c = 0; c < 3; ++c)
        m_numbers[w][c]->setNum(m_scr[w][c]->value());
    QPalette p = m_swatch[w]->palette();
    p.setColor(QPalette::Window, QColor(m_scr[w][0]->value(), m_scr[w][1]->value(), m_scr[w][2]->value()));
    m_swatch[w]->setPalette(p);
    PrintTxt();
}

void GradationInsFrm::pickColour(int w)
{
    const auto colour = m_platform.colours->pick();
    if (!colour)
        return;
    const QString hex = QLatin1Char('#') + ColourToHex(*colour);
    for (int c = 0; c < 3; ++c)
        m_scr[w][c]->setValue(ConvertRadix(16, 10, hex.mid(1 + 2 * c, 2)).toInt());
}

GradationOptions GradationInsFrm::values() const
{
    GradationOptions v;
    v.text = m_text->text();
    for (int c = 0; c < 3; ++c) {
        v.start[c] = m_scr[0][c]->value();
        v.end[c] = m_scr[1][c]->value();
    }
    v.startSize = m_size[0]->value();
    v.endSize = m_size[1]->value();
    v.fontSize = m_fontSize->isChecked();
    v.lineBreaks = m_br->isChecked();
    return v;
}

void GradationInsFrm::PrintTxt()
{
    const Gradation g = BuildGradation(values());
    m_built = g.text;
    // The preview shows the characters as a browser would: coloured, sized
    // when sizes are written, without the line breaks of the source.
    m_preview->clear();
    QTextCursor cursor(m_preview->document());
    cursor.beginEditBlock();
    QTextCharFormat f;
    for (const GradationChar& ch : g.preview) {
        f.setForeground(QColor(ch.rgb[0], ch.rgb[1], ch.rgb[2]));
        f.setFontPointSize(ch.pointSize);
        cursor.insertText(ch.ch, f);
    }
    if (g.preview.isEmpty())
        cursor.insertText(m_text->text());
    cursor.endEditBlock();
}

}  // namespace tw
