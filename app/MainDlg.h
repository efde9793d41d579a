#pragma once

#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QString>
#include <QUndoStack>
#include <cstdint>
#include <functional>
#include <map>

#include "app/DesignFiles.h"
#include "app/PointCommands.h"
#include "app/UndoRecorder.h"

#include "core/CurveDocument.h"
#include "app/DialogUnits.h"
#include "core/design/DesignDocument.h"
#include "views/CurveView.h"
#include "views/SurfaceView.h"

class FileDrops;
class StatusBar;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;

// The modeller's one window: it lays out the controls and views, makes the
// menus, and connects them to the design. The profile (left editor, X >= 0)
// and the path (middle editor) are the design's; the surface view (right)
// shows what is swept from them. Every change of the design redraws the
// views that show it and refreshes the read-outs and mode buttons; the undo
// recorder makes it a step, and the file commands keep it in a file.
class CMainDlg : public QDialog, private DesignListener {
    Q_OBJECT
public:
    explicit CMainDlg(QWidget* parent = nullptr);
    ~CMainDlg() override;

    // The transfer between the fields and the controls; from the controls
    // it fails (with a message) when the degree text does not parse.
    bool UpdateData(bool saveAndValidate);
    QWidget* GetDlgItem(int id) const;
    const DialogBaseUnits& BaseUnits() const { return m_baseUnits; }

    DesignDocument& Document() { return m_design; }
    CurveDocument& Profile() { return m_design.Profile(); }
    CurveDocument& Path() { return m_design.Path(); }
    CCurveView& ProfileView() const { return *m_Viewport1; }
    CCurveView& PathView() const { return *m_Viewport3; }
    CSurfaceView& SurfaceView() const { return *m_Viewport2; }
    DesignFiles& Files() { return *m_files; }
    PointCommands& Points() { return *m_points; }
    // The degree field's value, as last taken from it.
    std::uint32_t Degree() const { return m_nDegree; }
    QUndoStack& UndoStack() { return m_recorder.Stack(); }
    QMenuBar* MenuBar() const { return m_menuBar; }

    void OnSolid();
    void OnWireframe();
    void OnPoint();
    void OnReset();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnDesignChanged(const DesignDocument& design, DesignParts changed) override;
    void OnEditRefused(const CurveDocument& document, EditRefusal refusal) override;
    void CreateMenus();
    void CreateControls();
    void ConnectButtons();
    void SetToolTips();
    // Shows each editor's mode and the render mode on their buttons, and the
    // modes in the status bar; call it after anything that changes one of them.
    void SyncModeButtons();
    void OnInitDialog();
    void OnOK();
    void RefreshReadOut();
    void UpdateTitle();

    // Declared before the views, which show it, so that it is made first and
    // goes last.
    DesignDocument m_design;
    UndoRecorder m_recorder{m_design};
    // The views belong to their window containers, which the dialog owns.
    CCurveView* m_Viewport3 = nullptr;
    CSurfaceView* m_Viewport2 = nullptr;
    CCurveView* m_Viewport1 = nullptr;
    DesignFiles* m_files = nullptr;
    FileDrops* m_drops = nullptr;
    StatusBar* m_statusBar = nullptr;  // below the controls
    PointCommands* m_points = nullptr;
    QString m_strStatus;
    std::uint32_t m_nDegree;
    QIcon m_hIcon;

    QMenuBar* m_menuBar = nullptr;
    QWidget* m_client = nullptr;  // the controls, below the menu bar

    DialogBaseUnits m_baseUnits{};
    std::map<int, QWidget*> m_controls;
    QLabel* m_status = nullptr;
    QLineEdit* m_degree = nullptr;
    QString m_pathViewTip;  // the path view's tool tip without its selection
};
