#pragma once

#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QString>
#include <QUndoStack>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "app/EditCommands.h"
#include "app/RecentFiles.h"

#include "core/CurveDocument.h"
#include "app/DialogUnits.h"
#include "core/design/Design.h"
#include "core/RenderMode.h"
#include "views/CurveView.h"
#include "views/SurfaceView.h"

class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;

// The answer to "save the unsaved changes first?".
enum class SaveChoice { Save, Discard, Cancel };
using SaveQuestion = std::function<SaveChoice(const QString& designName)>;

// The modeller's one window. It owns the two curve documents, the profile
// (left editor, X >= 0) and the path (middle editor); the surface view
// (right) shows what is swept from them. Every change of a document has the
// surface rebuilt at its next frame (if its curves changed), refreshes the
// read-out of the selected profile point and redraws the changed editor.
// Every change of the design is an undo step; the design is kept in a file,
// and nothing unsaved is dropped without asking.
class CMainDlg : public QDialog, private CurveDocumentListener {
    Q_OBJECT
public:
    explicit CMainDlg(QWidget* parent = nullptr);

    // The transfer between the fields and the controls; from the controls
    // it fails (with a message) when the degree text does not parse.
    bool UpdateData(bool saveAndValidate);
    QWidget* GetDlgItem(int id) const;
    const DialogBaseUnits& BaseUnits() const { return m_baseUnits; }

    CurveDocument& Profile() { return m_profile; }
    CurveDocument& Path() { return m_path; }
    CCurveView& ProfileView() const { return *m_Viewport1; }
    CCurveView& PathView() const { return *m_Viewport3; }
    CSurfaceView& SurfaceView() const { return *m_Viewport2; }
    std::uint32_t Degree() const { return m_nDegree; }

    void OnSolid();
    void OnWireframe();
    void OnPoint();
    void OnReset();
    void OnLoadTexture();
    // Loads a picture file as the texture, an undo step. A file that cannot
    // be read changes nothing and is reported in a box, as is a picture
    // shown smaller than it is.
    void OpenTexture(const QString& fileName);

    // The design file commands. Each that replaces the design asks first
    // when there are unsaved changes; a refused file leaves everything as it
    // was. Failures are reported in a box.
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
    void OnExportMesh();
    void OnSaveImage();
    bool ExportMesh(const QString& path);
    bool SaveImage(const QString& path);

    // The design on screen, as a file keeps it.
    Design CurrentDesign() const;
    // The design's file, empty until it is saved or opened.
    const QString& FileName() const { return m_fileName; }
    bool IsModified() const { return !m_undoStack.isClean(); }
    QUndoStack& UndoStack() { return m_undoStack; }
    QMenuBar* MenuBar() const { return m_menuBar; }
    // Replaces the box that asks whether to save (for tests).
    void SetSaveQuestion(SaveQuestion question) { m_askToSave = std::move(question); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnCurveChanged(const CurveDocument& document) override;
    void OnEditRefused(const CurveDocument& document, EditRefusal refusal) override;
    void CreateMenus();
    void CreateControls();
    void SetToolTips();
    // Shows each editor's mode and the render mode on their buttons; call it
    // after anything that changes one of them.
    void SyncModeButtons();
    // What dropping this file on the window does, decided by its type;
    // empty for a file the window does not take.
    std::function<void()> DropActionFor(const QString& fileName);
    // Takes a drag that carries such a file, as a copy; refuses any other.
    void AnswerDrag(QDropEvent* event);
    void OnInitDialog();
    void OnOK();
    void RefreshReadOut();

    void RecordCurveEdit(const CurveDocument& document);
    void EditCurve(const QString& name, const std::function<void()>& edit);
    void ChangeRenderMode(RenderMode mode);
    // Shows the texture at `path` (empty, or a file that cannot be read:
    // none); how loading it went.
    std::optional<TextureLoad> ApplyTexture(const std::string& path);
    // Replaces the whole design without recording a step: the history starts anew.
    void ReplaceDesign(const std::function<void()>& replace);
    bool MaybeSaveChanges();
    // Makes the design's file the one at `localPath`.
    void SetFile(const std::string& localPath);
    QString AskForOutputFile(const QString& title, const QStringList& filters);
    void OpenRecent(const QString& path);
    void FillRecentMenu();
    void UpdateTitle();

    // Declared before the views, which draw them, so that they are made first.
    CurveDocument m_profile{true};
    CurveDocument m_path{false};
    // The views belong to their window containers, which the dialog owns.
    CCurveView* m_Viewport3 = nullptr;
    CSurfaceView* m_Viewport2 = nullptr;
    CCurveView* m_Viewport1 = nullptr;
    QString m_strStatus;
    std::uint32_t m_nDegree;
    QIcon m_hIcon;

    QUndoStack m_undoStack;
    // The curves as the last recorded step left them.
    CurveSnapshot m_profileRecorded;
    CurveSnapshot m_pathRecorded;
    // Set while the dialog itself changes a curve: by undo, redo or a new
    // design (nothing to record), or by a named command.
    bool m_replaying = false;
    QString m_editName;
    // Counts presses in the editors, so that one drag makes one step.
    long m_gesture = 0;
    std::string m_texturePath;  // of the texture shown; empty: none
    QString m_fileName;
    std::string m_filePath;  // the same file as the file system names it
    RecentFiles m_recentFiles;
    SaveQuestion m_askToSave;
    QMenuBar* m_menuBar = nullptr;
    QMenu* m_recentMenu = nullptr;
    QWidget* m_client = nullptr;  // the controls, below the menu bar

    DialogBaseUnits m_baseUnits{};
    std::map<int, QWidget*> m_controls;
    QLabel* m_status = nullptr;
    QLineEdit* m_degree = nullptr;
    QString m_pathViewTip;  // the path view's tool tip without its selection
};
