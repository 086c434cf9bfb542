#include "editor/settings/editorsettings.h"

#include "common/appfolder.h"
#include "common/profilefile.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLocale>

#include <cfenv>
#include <cmath>

namespace tw {

namespace {
const QString kSection = QStringLiteral("Setting");
const QString kViewSection = QStringLiteral("View");

// The View section's switches, with the value a new installation starts with.
struct ViewKey {
    const char* key;
    std::int16_t EditorSettings::*field;
    std::int16_t initial;
};
const ViewKey kViewKeys[] = {
    {"LineNumbers", &EditorSettings::LineNumbers, 1},
    {"SyntaxColour", &EditorSettings::SyntaxColour, 1},
    {"WordWrap", &EditorSettings::WordWrap, 0},
    {"TagCompletion", &EditorSettings::TagCompletion, 1},
};

struct IntKey {
    const char* key;
    std::int16_t EditorSettings::*field;
};
struct TextKey {
    const char* key;
    QString EditorSettings::*field;
};

// The option keys in the order they are written.
const IntKey kIntKeysA[] = {
    {"Preview", &EditorSettings::Preview},
    {"ColorAdd", &EditorSettings::ColorAdd},
    {"DesignBar", &EditorSettings::DesignBar},
    {"SoutaiPath", &EditorSettings::SoutaiPath},
    {"PreviewWindowX", &EditorSettings::PreviewWindowX},
    {"PreviewWindowY", &EditorSettings::PreviewWindowY},
};
const TextKey kTextKeys[] = {
    {"Browser1", &EditorSettings::Browser1},         {"Browser2", &EditorSettings::Browser2},
    {"Browser3", &EditorSettings::Browser3},         {"Browser1Name", &EditorSettings::Browser1Name},
    {"Browser2Name", &EditorSettings::Browser2Name}, {"Browser3Name", &EditorSettings::Browser3Name},
};
const IntKey kIntKeysB[] = {
    {"NewVersionCheck", &EditorSettings::NewVersionCheck},
    {"DefaultMaxWin", &EditorSettings::DefaultMaxWin},
};
const IntKey kIntKeysC[] = {
    {"RealTimePreview", &EditorSettings::RealTimePreview},
    {"AreaDivide", &EditorSettings::AreaDivide},
};
const char* const kWindowKeys[] = {"Width", "Height", "Left", "Top"};

QString withSlash(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

bool holdsAFile(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
    return it.hasNext();
}
}  // namespace

std::optional<std::int16_t> toInt16(const QString& text)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(v);
    std::fesetround(saved);
    if (r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return std::int16_t(r);
}

std::optional<double> toReal(const QString& text)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QString realText(double v)
{
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}

QString settingsPath(const QString& appFolder)
{
    return joinPath(settingsFolder(appFolder), QStringLiteral("quillet.ini"));
}

void readSettingsFile(const QString& path, const QString& appFolder, EditorSettings& s, WindowPlacement& placement,
                      QString& folder)
{
    const ProfileFile ini(path);
    auto read = [&](const char* key, const QString& def = QString()) {
        QString v = ini.readString(kSection, QString::fromLatin1(key), def);
        const qsizetype nul = v.indexOf(QChar(0));
        if (nul >= 0)
            v.truncate(nul);
        return v;
    };
    auto readInt = [&](const IntKey& k) {
        const QString def = qstrcmp(k.key, "PreviewWindowX") == 0   ? QStringLiteral("800")
                            : qstrcmp(k.key, "PreviewWindowY") == 0 ? QStringLiteral("600")
                                                                    : QString();
        const QString v = read(k.key, def);
        if (v.isEmpty())
            return;
        const auto n = toInt16(v);
        if (!n)
            return;
        // A value outside the field's sensible range is treated like one
        // that does not convert: flags are 0 or 1, AreaDivide 0 to 2, the
        // preview window at least 100 pixels.
        const bool size = qstrcmp(k.key, "PreviewWindowX") == 0 || qstrcmp(k.key, "PreviewWindowY") == 0;
        const int top = size ? 32767 : qstrcmp(k.key, "AreaDivide") == 0 ? 2 : 1;
        const int bottom = size ? 100 : 0;
        if (*n >= bottom && *n <= top)
            s.*k.field = *n;
    };
    for (const IntKey& k : kIntKeysA)
        readInt(k);
    for (const ViewKey& k : kViewKeys) {
        const QString v = ini.readString(kViewSection, QString::fromLatin1(k.key), QString());
        if (v == QLatin1String("0") || v == QLatin1String("1"))
            s.*k.field = std::int16_t(v.toInt());
    }
    for (const TextKey& k : kTextKeys) {
        const QString v = read(k.key);
        if (!v.isEmpty())
            s.*k.field = v;
    }
    for (const IntKey& k : kIntKeysB)
        readInt(k);
    std::optional<double>* window[] = {&placement.width, &placement.height, &placement.left, &placement.top};
    for (int i = 0; i < 4; ++i) {
        const QString v = read(kWindowKeys[i]);
        if (v.isEmpty())
            continue;
        if (auto r = toReal(v))
            *window[i] = *r;
    }
    for (const IntKey& k : kIntKeysC)
        readInt(k);
    const QString f = read("FPath", appFolder);
    if (!f.isEmpty())
        folder = f;
}

QString startFolder(const QString& stored, const QString& appFolder)
{
    QString f = stored;
    while (f.size() > 1 && f.endsWith(QLatin1Char('/')))
        f.chop(1);
    if (QFileInfo(f).isDir() && holdsAFile(f))
        return f;
    return appFolder;
}

Result writeSettingsFile(const QString& path, const QString& appFolder, const EditorSettings& s,
                         const std::optional<WindowPlacement>& placement, const QString& workingFolder)
{
    ProfileFile ini(path);
    auto writeInt = [&](const IntKey& k) {
        ini.writeString(kSection, QString::fromLatin1(k.key), QString::number(s.*k.field));
    };
    for (const IntKey& k : kIntKeysA)
        writeInt(k);
    for (const TextKey& k : kTextKeys)
        ini.writeString(kSection, QString::fromLatin1(k.key), s.*k.field);
    for (const IntKey& k : kIntKeysB)
        writeInt(k);
    for (const IntKey& k : kIntKeysC)
        writeInt(k);
    if (placement) {
        const std::optional<double> window[] = {placement->width, placement->height, placement->left, placement->top};
        for (int i = 0; i < 4; ++i)
            if (window[i])
                ini.writeString(kSection, QString::fromLatin1(kWindowKeys[i]), realText(*window[i]));
    }
    const QString folder = withSlash(workingFolder);
    ini.writeString(kSection, QStringLiteral("fpath"), holdsAFile(folder) ? folder : withSlash(appFolder));
    // Only once the user has changed one from its default: a file that never
    // had the section keeps exactly its old layout.
    for (const ViewKey& k : kViewKeys) {
        const QString key = QString::fromLatin1(k.key);
        if (s.*k.field != k.initial || !ini.readString(kViewSection, key, QString()).isEmpty())
            ini.writeString(kViewSection, key, QString::number(s.*k.field));
    }
    return ini.save();
}

bool ensureSettingsFolders(const QString& appFolder)
{
    QDir app(appFolder);
    if (!app.exists(QStringLiteral("tools")))
        app.mkpath(QStringLiteral("tools"));
    if (!app.exists(QStringLiteral("tools/Setting"))) {
        app.mkpath(QStringLiteral("tools/Setting"));
        return true;
    }
    return false;
}

QString missingSettingsFolderMessage()
{
    return QStringLiteral(
        "設定ファイルの保存フォルダが見つかりませんでした\r\n"
        "最新版をインストールしなおすことを強くお勧めします。");
}

}  // namespace tw
