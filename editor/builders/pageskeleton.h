#pragma once
// The page skeleton: a whole new page from the HtmlSet form, either with a
// body carrying colour attributes or with one of six frame sets.

#include <QString>
#include <QStringList>

namespace tw {

// The colour combos' items; the first, "なし", means "not set".
const QStringList& skeletonColourNames();
QString colourNotSet();

struct PageSkeletonOptions {
    QString title = QStringLiteral("タイトル");
    QString css;
    QString searchWords;
    QString pageIntroduce;
    QString pageMaker;
    QString tyosakuInfo;
    QString mailAddress;
    QString pointColor = colourNotSet();
    QString bgColor = colourNotSet();
    QString textColor = colourNotSet();
    QString backPic;
    QString linkColor = colourNotSet();
    QString clickColor = colourNotSet();
    QString linkZumiColor = colourNotSet();
    bool frame = false;
    int frameKind = 0;  // 0-5; any other value writes no frame set
};

// The page, CR LF line breaks, no break after the closing </HTML>. Values
// are copied as typed, unescaped.
QString BuildPageSkeleton(const PageSkeletonOptions& o);

}  // namespace tw
