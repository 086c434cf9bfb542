#include "stylesheet/ui/colorselect.h"

#include "stylesheet/colourtext.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace tw::velmora {

ColorSelect::ColorSelect(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ColorSelect"));
    setWindowTitle(QStringLiteral("色の入力"));
    setModal(true);

    RTxt = new QLineEdit(this);
    GTxt = new QLineEdit(this);
    BTxt = new QLineEdit(this);
    m_boxes = {RTxt, GTxt, BTxt};
    const char* boxNames[] = {"RTxt", "GTxt", "BTxt"};
    const QString captions[] = {QStringLiteral("赤(&R)："), QStringLiteral("緑(&G)："), QStringLiteral("青(&B)：")};

    auto* grid = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        auto* s = new QSlider(Qt::Horizontal, this);
        s->setObjectName(QStringLiteral("Slider_%1").arg(i));
        s->setRange(0, 255);
        s->setSingleStep(1);
        s->setPageStep(10);
        s->setTickPosition(QSlider::TicksBelow);
        s->setTickInterval(tickSpacing(s->maximum()));
        s->setMinimumWidth(256);
        Slider[i] = s;

        QLineEdit* box = m_boxes[i];
        box->setObjectName(QLatin1String(boxNames[i]));
        box->setText(QStringLiteral("0"));
        box->setMaxLength(3);
        box->setFixedWidth(48);
        box->setAlignment(Qt::AlignRight);

        auto* label = new QLabel(captions[i], this);
        label->setBuddy(s);
        s->setAccessibleName(captions[i].left(1));
        box->setAccessibleName(captions[i].left(1) + QStringLiteral("の値"));
        grid->addWidget(label, i, 0);
        grid->addWidget(s, i, 1);
        grid->addWidget(box, i, 2);

        connect(s, &QSlider::valueChanged, this, &ColorSelect::slidersChanged);
        connect(box, &QLineEdit::textEdited, this, [this, i] { boxEdited(i); });
        // A box left with a text that was ignored shows the slider's value again,
        // so the boxes always show the colour that will be inserted.
        connect(box, &QLineEdit::editingFinished, this,
                [this, i] { m_boxes[i]->setText(QString::number(Slider[i]->value())); });
    }

    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAccessibleName(QStringLiteral("色見本"));
    Picture1->setFrameShape(QFrame::Box);
    Picture1->setFixedSize(72, 72);
    Picture1->setAutoFillBackground(true);

    Command1 = new QPushButton(QStringLiteral("挿入"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);

    auto* right = new QVBoxLayout;
    right->addWidget(Picture1, 0, Qt::AlignHCenter);
    right->addStretch();
    right->addWidget(Command1);

    auto* top = new QHBoxLayout(this);
    top->addLayout(grid, 1);
    top->addSpacing(12);
    top->addLayout(right);

    // Keyboard order follows the rows: slider, then its number box.
    for (int i = 0; i < 3; ++i) {
        setTabOrder(i == 0 ? static_cast<QWidget*>(Command1) : m_boxes[i - 1], Slider[i]);
        setTabOrder(Slider[i], m_boxes[i]);
    }
    setTabOrder(BTxt, Command1);
    Slider[0]->setFocus();

    slidersChanged();
}

QString ColorSelect::colourText() const
{
    return ColourText(Slider[0]->value(), Slider[1]->value(), Slider[2]->value());
}

void ColorSelect::slidersChanged()
{
    for (int i = 0; i < 3; ++i) {
        // A box that already reads as its slider's value (e.g. "025" while
        // typing) is left alone so that typing is not disturbed.
        if (parseColourComponent(m_boxes[i]->text()) != Slider[i]->value())
            m_boxes[i]->setText(QString::number(Slider[i]->value()));
    }
    QPalette pal = Picture1->palette();
    pal.setColor(QPalette::Window, QColor(Slider[0]->value(), Slider[1]->value(), Slider[2]->value()));
    Picture1->setPalette(pal);
}

void ColorSelect::boxEdited(int index)
{
    if (const auto v = parseColourComponent(m_boxes[index]->text()))
        Slider[index]->setValue(*v);
}

}  // namespace tw::velmora
