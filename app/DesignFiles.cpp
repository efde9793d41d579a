#include "app/DesignFiles.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "app/DesignCommands.h"
#include "app/DialogTemplate.h"
#include "app/ExportOptionsDialog.h"
#include "app/FileFilters.h"
#include "app/MessageBox.h"
#include "app/TextureMessages.h"
#include "core/design/DesignFile.h"
#include "views/SurfaceView.h"
#include "app/TextureFile.h"

namespace {

SaveChoice AskInABox(QWidget* parent, const QString& designName)
{
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kDialogCaption),
                    DesignFiles::tr("The design \"%1\" has unsaved changes.").arg(designName),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setInformativeText(DesignFiles::tr("Do you want to save them?"));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save: return SaveChoice::Save;
    case QMessageBox::Discard: return SaveChoice::Discard;
    default: return SaveChoice::Cancel;
    }
}

QString DesignFilter()
{
    return DesignFiles::tr("Velmora Designs (*.velmora)");
}

std::string LocalPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// Tells that the picture at `path`, of `size`, is shown at `shown`, if smaller.
void TellIfShrunk(const std::string& path, const RgbImage& picture, PictureSize shown)
{
    const PictureSize size{picture.width, picture.height};
    if (shown != size)
        ShowModellerMessage(TextureMessages::Shrunk(path, size, shown));
}

// Shows how a command that writes a file went; true when it wrote it.
bool Report(const Result<Written>& outcome)
{
    if (!outcome) {
        ShowModellerMessage(outcome.Error());
        return false;
    }
    if (!outcome->warning.empty())
        ShowModellerMessage(outcome->warning);
    return true;
}

} // namespace

DesignFiles::DesignFiles(DesignDocument& design, UndoRecorder& recorder, CSurfaceView& surface, QWidget* window)
    : QObject(window), m_design(design), m_recorder(recorder), m_surface(surface), m_window(window)
{
    m_askToSave = [this](const QString& name) { return AskInABox(m_window, name); };
    connect(&m_recorder.Stack(), &QUndoStack::cleanChanged, this, &DesignFiles::FileChanged);
}

void DesignFiles::OnNew()
{
    if (!MaybeSaveChanges())
        return;
    m_recorder.Replace([this] { m_design.Clear(); });
    m_fileName.clear();
    m_filePath.clear();
    emit FileChanged();
}

void DesignFiles::OnOpen()
{
    if (!MaybeSaveChanges())
        return;
    const QString path =
        QFileDialog::getOpenFileName(m_window, tr("Open Design"), QFileInfo(m_fileName).path(), DesignFilter(),
                                     nullptr, QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty())
        OpenDesign(path);
}

void DesignFiles::OpenRecent(const QString& path)
{
    if (!MaybeSaveChanges())
        return;
    if (!OpenDesign(path) && !QFileInfo::exists(path))
        m_recentFiles.Remove(path);
}

void DesignFiles::FillRecentMenu(QMenu* menu)
{
    menu->clear();
    const QStringList paths = m_recentFiles.List();
    for (int i = 0; i < paths.size(); ++i) {
        const QString path = paths[i];
        QAction* action =
            menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), this, [this, path] { OpenRecent(path); });
        action->setData(path);
    }
    menu->addSeparator();
    // The entries go when the menu is filled next; the action that runs
    // now is one of them.
    menu->addAction(tr("&Clear Menu"), this, [this, menu] {
            m_recentFiles.Clear();
            menu->setEnabled(false);
        })->setObjectName(QStringLiteral("actionClearRecent"));
    menu->setEnabled(!paths.isEmpty());
}

bool DesignFiles::OpenDesign(const QString& path)
{
    return OpenDesignAt(LocalPath(path));
}

bool DesignFiles::OpenDesignAt(const std::string& localPath)
{
    const Result<Design> read = OpenDesignFile(localPath);
    if (!read) {
        ShowModellerMessage(read.Error());
        return false;
    }
    const Design& design = *read;
    const bool hasTexture = !design.texturePath.empty();
    const bool textureOpens = hasTexture && CanOpenTextureFile(design.texturePath.c_str());
    std::optional<Result<RgbImage>> texture;
    std::shared_ptr<const RgbImage> picture;
    if (textureOpens) {
        texture = LoadTextureFile(design.texturePath.c_str());
        if (*texture)
            picture = std::make_shared<const RgbImage>(std::move(*texture).Value());
    }
    Result<void> assigned;
    m_recorder.Replace([&] { assigned = m_design.Assign(design, picture); });
    if (!assigned) {
        ShowModellerMessage(assigned.Error());
        return false;
    }
    SetFile(localPath);
    const QString name = QFileInfo(m_fileName).fileName();
    const QString texturePath = QFile::decodeName(design.texturePath.c_str());
    if (hasTexture && !textureOpens)
        ShowModellerMessage(tr("%1: the texture %2 is missing; the design is open without it.")
                                .arg(name, texturePath)
                                .toStdString());
    else if (texture && !*texture)
        TextureMessages::ShowFailure(texture->Error(), design.texturePath);
    else if (picture)
        TellIfShrunk(design.texturePath, *picture, m_surface.TextureShown());
    return true;
}

bool DesignFiles::OnSave()
{
    return m_filePath.empty() ? OnSaveAs() : SaveDesignAt(m_filePath);
}

bool DesignFiles::OnSaveAs()
{
    const QString path = AskForOutputFile(tr("Save Design"), {DesignFilter()});
    return !path.isEmpty() && SaveDesign(path);
}

bool DesignFiles::SaveDesign(const QString& path)
{
    return SaveDesignAt(LocalPath(path));
}

bool DesignFiles::SaveDesignAt(const std::string& localPath)
{
    const Result<void> saved = SaveDesignFile(localPath, m_design.Value());
    if (!saved) {
        ShowModellerMessage(saved.Error());
        return false;
    }
    m_recorder.Stack().setClean();
    SetFile(localPath);
    return true;
}

void DesignFiles::SetFile(const std::string& localPath)
{
    std::error_code failed;
    const std::filesystem::path absolute = std::filesystem::absolute(localPath, failed);
    m_filePath = failed ? localPath : absolute.lexically_normal().string();
    // Shown with U+FFFD for bytes that are not UTF-8, and, being text, kept
    // in the recent files only when it names the same file again.
    m_fileName = QFile::decodeName(m_filePath.c_str());
    if (LocalPath(m_fileName) == m_filePath)
        m_recentFiles.Add(m_fileName);
    emit FileChanged();
}

// A save dialog for a file named after the design, with the extension of
// the chosen filter, in the design's folder; empty when cancelled.
QString DesignFiles::AskForOutputFile(const QString& title, const QStringList& filters)
{
    QFileDialog dialog(m_window, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    const auto suffixOf = [](const QString& filter) {
        return filter.section(QStringLiteral("*."), 1).section(QLatin1Char(')'), 0, 0);
    };
    dialog.setDefaultSuffix(suffixOf(filters.first()));
    connect(&dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog, suffixOf](const QString& filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
    const QFileInfo design(m_fileName.isEmpty() ? tr("untitled.velmora") : m_fileName);
    dialog.selectFile(design.completeBaseName() + QLatin1Char('.') + suffixOf(filters.first()));
    if (!m_fileName.isEmpty())
        dialog.setDirectory(design.absolutePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

void DesignFiles::OnExportMesh()
{
    const QString path = AskForOutputFile(tr("Export Mesh"), MeshExportFilters());
    if (!path.isEmpty())
        AskOptionsAndExport(path);
}

bool DesignFiles::AskOptionsAndExport(const QString& path)
{
    ExportOptionsDialog dialog(m_design.Output(), m_window);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const ExportOptions options = dialog.Options();
    m_recorder.Record(tr("Export Options"), [&] { m_design.SetOutput(options); });
    return ExportMesh(path);
}

void DesignFiles::OnSaveImage()
{
    const QString path = AskForOutputFile(tr("Save Image"), {tr("PNG Images (*.png)")});
    if (!path.isEmpty())
        SaveImage(path);
}

bool DesignFiles::ExportMesh(const QString& path)
{
    return Report(ExportDesignToFile(m_design.Value(), LocalPath(path)));
}

bool DesignFiles::SaveImage(const QString& path)
{
    return Report(SaveSurfaceImage(m_surface, LocalPath(path)));
}

void DesignFiles::OnLoadTexture()
{
    QFileDialog dialog(m_window);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(tr("Load Texture"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({tr("Images (%1)").arg(TextureFilePatterns().join(QLatin1Char(' '))),
                           QStringLiteral("Bitmap Files (*.bmp)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    OpenTexture(dialog.selectedFiles().constFirst());
}

void DesignFiles::OpenTexture(const QString& fileName)
{
    const std::string path = LocalPath(QFileInfo(fileName).absoluteFilePath());
    // A file that cannot be read leaves the texture as it was, and so is no
    // step; one that cannot be opened at all is passed over in silence.
    if (!CanOpenTextureFile(path.c_str()))
        return;
    Result<RgbImage> read = LoadTextureFile(path.c_str());
    if (!read) {
        TextureMessages::ShowFailure(read.Error(), path);
        return;
    }
    auto picture = std::make_shared<const RgbImage>(std::move(read).Value());
    m_design.SetTexture({path, picture});
    TellIfShrunk(path, *picture, m_surface.TextureShown());
}

QString DesignFiles::DisplayName() const
{
    return m_fileName.isEmpty() ? tr("Untitled") : QFileInfo(m_fileName).fileName();
}

bool DesignFiles::MaybeSaveChanges()
{
    if (!IsModified())
        return true;
    switch (m_askToSave(DisplayName())) {
    case SaveChoice::Save: return OnSave();
    case SaveChoice::Discard: return true;
    case SaveChoice::Cancel: break;
    }
    return false;
}
