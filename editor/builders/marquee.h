#pragma once
// The marquee: a text in a MARQUEE element with optional background colour,
// size, motion, direction and scroll step, all on one line.

#include "editor/builders/pageskeleton.h"

#include <QString>
#include <QStringList>

namespace tw {

// ColorCmb's items: the skeleton's colour names without "black".
const QStringList& marqueeColourNames();
// MarqueeMoveCmb's items: "スクロール", "往復", "端で停止".
const QStringList& marqueeMotionNames();
// MarqueeScrollCmb's items: "左から右", "右から左", "上から下", "下から上".
const QStringList& marqueeDirectionNames();

struct MarqueeOptions {
    QString text;  // the selection the dialog opened with
    QString bgColor = colourNotSet();
    bool setHeight = false;
    QString height = QStringLiteral("100");
    QString heightUnit = QStringLiteral("パーセント");
    bool setWidth = false;
    QString width = QStringLiteral("100");
    QString widthUnit = QStringLiteral("パーセント");
    QString motion = QStringLiteral("スクロール");
    QString direction = QStringLiteral("左から右");
    QString scrollStep = QStringLiteral("6");  // "6" writes no scrollAmount
};

// The element; no line break is added. Values are copied unescaped, the
// colour without quotes.
QString BuildMarquee(const MarqueeOptions& o);

}  // namespace tw
