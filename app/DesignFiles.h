#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>

#include "app/RecentFiles.h"
#include "app/UndoRecorder.h"
#include "core/design/DesignDocument.h"

class CSurfaceView;
class QMenu;
class QWidget;

// The answer to "save the unsaved changes first?".
enum class SaveChoice { Save, Discard, Cancel };
using SaveQuestion = std::function<SaveChoice(const QString& designName)>;

// The file commands of the modeller: the design's own file (new, open,
// save, recent designs), the files made from it (mesh, picture) and the
// pictures loaded into it as a texture. Each command that replaces the
// design asks first when there are unsaved changes; a refused file leaves
// everything as it was. Failures are reported in a box over `window`.
class DesignFiles : public QObject {
    Q_OBJECT
public:
    DesignFiles(DesignDocument& design, UndoRecorder& recorder, CSurfaceView& surface, QWidget* window);

    void OnNew();
    void OnOpen();
    bool OnSave();
    bool OnSaveAs();
    bool OpenDesign(const QString& path);
    bool SaveDesign(const QString& path);
    // The same for a path as the file system names it (bytes, which need
    // not be UTF-8): Save writes back to those bytes.
    bool OpenDesignAt(const std::string& localPath);
    bool SaveDesignAt(const std::string& localPath);
    // The surface as a mesh file (format by extension) and the 3D view's
    // picture as PNG; the same files the command line writes.
    // Export Mesh asks for the file, then for the export options: OK keeps
    // them in the design (an undo step) and exports with them; Cancel does
    // neither.
    void OnExportMesh();
    bool AskOptionsAndExport(const QString& path);
    void OnSaveImage();
    bool ExportMesh(const QString& path);
    bool SaveImage(const QString& path);
    void OnLoadTexture();
    // Loads a picture file as the texture, an undo step. A file that cannot
    // be read changes nothing and is reported in a box, as is a picture
    // shown smaller than it is.
    void OpenTexture(const QString& fileName);

    // Asks whether to save unsaved changes; false when the user cancels.
    bool MaybeSaveChanges();
    // Replaces the box that asks whether to save (for tests).
    void SetSaveQuestion(SaveQuestion question) { m_askToSave = std::move(question); }
    // The design's file, empty until it is saved or opened.
    const QString& FileName() const { return m_fileName; }
    // The design's name as the title and the questions show it: its file's
    // name, or "Untitled".
    QString DisplayName() const;
    bool IsModified() const { return !m_recorder.Stack().isClean(); }
    // Fills `menu` with the recent designs, each opening its design, and
    // Clear Menu; an empty list disables it.
    void FillRecentMenu(QMenu* menu);

signals:
    // The design's file or its unsaved state changed.
    void FileChanged();

private:
    void OpenRecent(const QString& path);
    // Makes the design's file the one at `localPath`.
    void SetFile(const std::string& localPath);
    QString AskForOutputFile(const QString& title, const QStringList& filters);

    DesignDocument& m_design;
    UndoRecorder& m_recorder;
    CSurfaceView& m_surface;
    QWidget* m_window;
    QString m_fileName;
    std::string m_filePath;  // the same file as the file system names it
    RecentFiles m_recentFiles;
    SaveQuestion m_askToSave;
};
