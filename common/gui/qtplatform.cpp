#include "common/gui/qtplatform.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QProgressDialog>
#include <QTranslator>
#include <QUrl>

namespace tw {

MsgResult QtMessageBoxes::show(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(title);
    // Messages quote file names and page text ("<meta>", "a&b"); Qt would
    // guess rich text from a tag and swallow it together with the line breaks.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    switch (icon) {
        case MsgIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MsgIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MsgIcon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case MsgIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case MsgIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
    }
    switch (buttons) {
        case MsgButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MsgButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MsgButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case MsgButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Yes:
            return MsgResult::Yes;
        case QMessageBox::No:
            return MsgResult::No;
        case QMessageBox::Ok:
            return MsgResult::Ok;
        default:
            return MsgResult::Cancel;
    }
}

QStringList QtFileDialogs::toQtFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return out;
}

QString QtFileDialogs::run(const FileDialogRequest& request)
{
    QFileDialog dlg(m_parent, request.title);
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    // The descriptions already name their patterns; show them as written.
    dlg.setOption(QFileDialog::HideNameFilterDetails, true);
    dlg.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = toQtFilters(request.filter);
    dlg.setNameFilters(filters);
    if (!filters.isEmpty())
        dlg.selectNameFilter(filters.first());
    if (!request.defaultExt.isEmpty())
        dlg.setDefaultSuffix(request.defaultExt);
    const QFileInfo initial(request.initialPath);
    if (!request.initialPath.isEmpty()) {
        dlg.setDirectory(initial.path());
        const QString name = initial.fileName().isEmpty() ? m_lastName : initial.fileName();
        if (!name.isEmpty())
            dlg.selectFile(name);
    } else if (!m_lastName.isEmpty()) {
        dlg.selectFile(m_lastName);
    }
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    const QString path = applyDefaultExtension(dlg.selectedFiles().first(), request.defaultExt);
    m_lastName = QFileInfo(path).fileName();
    return path;
}

QString QtFolderDialogs::chooseFolder(const QString& title, const QString& startFolder)
{
    return QFileDialog::getExistingDirectory(m_parent, title, startFolder,
                                             QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
}

std::optional<QString> QtTextPrompt::ask(const QString& title, const QString& label, const QString& initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, title, label, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<std::uint32_t> QtColourDialogs::pick()
{
    QColorDialog dlg(m_parent);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    const QColor c = dlg.selectedColor();
    return std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) | (std::uint32_t(c.blue()) << 16);
}

void QtClipboard::setText(const QString& text)
{
    QClipboard* cb = QGuiApplication::clipboard();
    cb->clear();
    cb->setText(text);
}

bool QtClipboard::hasText() const
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

QString QtClipboard::text() const
{
    return QGuiApplication::clipboard()->text();
}

Result QtLauncher::startDetached(const QString& program, const QStringList& args, const QString& workingDir)
{
    QProcess p;
    p.setProgram(program);
    p.setArguments(args);
    if (!workingDir.isEmpty())
        p.setWorkingDirectory(workingDir);
    if (p.startDetached())
        return Result::success();
    return Result::failure(QStringLiteral("%1 を起動できませんでした: %2").arg(program, p.errorString()));
}

Result QtLauncher::openWithDesktop(const QString& pathOrUrl)
{
    const QUrl url = pathOrUrl.contains(QStringLiteral("://")) ? QUrl(pathOrUrl) : QUrl::fromLocalFile(pathOrUrl);
    if (QDesktopServices::openUrl(url))
        return Result::success();
    return Result::failure(QStringLiteral("既定のアプリケーションで開けませんでした: ") + pathOrUrl);
}

QtProgress::~QtProgress()
{
    end();
}

void QtProgress::begin(const QString& title, const QString& text, qint64 total)
{
    end();
    m_total = std::max<qint64>(total, 1);
    m_dialog = new QProgressDialog(text, QStringLiteral("キャンセル"), 0, 1000, m_parent);
    m_dialog->setObjectName(QStringLiteral("ProgressDlg"));
    m_dialog->setWindowTitle(title);
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumDuration(0);
    m_dialog->setMinimumWidth(420);
    m_dialog->setValue(0);
    m_dialog->show();
    QCoreApplication::processEvents();
}

bool QtProgress::step(qint64 done)
{
    if (!m_dialog)
        return true;
    m_dialog->setValue(int(std::clamp<qint64>(done * 1000 / m_total, 0, 1000)));
    QCoreApplication::processEvents();
    return !m_dialog->wasCanceled();
}

void QtProgress::end()
{
    delete m_dialog;
    m_dialog = nullptr;
}

void installJapaneseTranslations(QApplication& app)
{
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    auto* tr = new QTranslator(&app);
    if (tr->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(tr);
    else
        delete tr;
}

}  // namespace tw
