#include "editor/settings/options.h"

namespace tw {

namespace {
std::int16_t flag(bool on)
{
    return on ? 1 : 0;
}

QString badSizeMessage(const char* axis)
{
    return QStringLiteral("プレビューウインドウのサイズ (%1) には -32768 から 32767 までの数値を入力してください。")
        .arg(QLatin1String(axis));
}
}  // namespace

OptionValues optionValuesFrom(const EditorSettings& s, const QString& workingFolder)
{
    OptionValues v;
    v.Preview = s.Preview == 1;
    v.ColorAdd = s.ColorAdd == 1;
    v.DesignBar = s.DesignBar == 1;
    v.SoutaiPath = s.SoutaiPath == 1;
    v.NewVersionCheck = s.NewVersionCheck == 1;
    v.DefaultMaxWin = s.DefaultMaxWin == 1;
    v.RealTimePreview = s.RealTimePreview == 1;
    v.TagCompletion = s.TagCompletion == 1;
    v.WorkingFolder = workingFolder;
    v.PreviewWindowX = QString::number(s.PreviewWindowX);
    v.PreviewWindowY = QString::number(s.PreviewWindowY);
    v.Browser1 = s.Browser1;
    v.Browser2 = s.Browser2;
    v.Browser3 = s.Browser3;
    v.Browser1Name = s.Browser1Name;
    v.Browser2Name = s.Browser2Name;
    v.Browser3Name = s.Browser3Name;
    return v;
}

OptionsOutcome applyOptionValues(const OptionValues& v, EditorSettings& s)
{
    OptionsOutcome out;
    const auto x = toInt16(v.PreviewWindowX);
    if (!x) {
        out.badField = OptionField::PreviewWindowX;
        out.message = badSizeMessage("X");
        return out;
    }
    const auto y = toInt16(v.PreviewWindowY);
    if (!y) {
        out.badField = OptionField::PreviewWindowY;
        out.message = badSizeMessage("Y");
        return out;
    }

    s.Preview = flag(v.Preview);
    s.ColorAdd = flag(v.ColorAdd);
    s.DesignBar = flag(v.DesignBar);
    s.SoutaiPath = flag(v.SoutaiPath);
    s.NewVersionCheck = flag(v.NewVersionCheck);
    s.TagCompletion = flag(v.TagCompletion);
    s.DefaultMaxWin = flag(v.DefaultMaxWin);
    s.RealTimePreview = flag(v.RealTimePreview);
    s.PreviewWindowX = *x;
    s.PreviewWindowY = *y;
    s.Browser1 = v.Browser1;
    s.Browser2 = v.Browser2;
    s.Browser3 = v.Browser3;
    s.Browser1Name = v.Browser1Name;
    s.Browser2Name = v.Browser2Name;
    s.Browser3Name = v.Browser3Name;
    out.ok = true;
    out.workingFolder = v.WorkingFolder;
    return out;
}

}  // namespace tw
