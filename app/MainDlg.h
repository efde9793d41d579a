#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>
#include <cstdint>
#include <map>

#include "core/CurveDocument.h"
#include "core/DialogUnits.h"
#include "core/design/Design.h"
#include "core/RenderMode.h"
#include "views/CurveView.h"
#include "views/SurfaceView.h"

class QLabel;
class QLineEdit;

// The modeller's one window. It owns the two curve documents, the profile
// (left editor, X >= 0) and the path (middle editor); the surface view
// (right) shows what is swept from them. Every change of a document has the
// surface rebuilt at its next frame (if its curves changed), refreshes the
// read-out of the selected profile point and redraws the changed editor.
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

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnCurveChanged(const CurveDocument& document) override;
    void OnEditRefused(const CurveDocument& document, EditRefusal refusal) override;
    void CreateControls();
    void OnInitDialog();
    void OnOK();
    void RefreshReadOut();
    void RepaintAll();

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

    DialogBaseUnits m_baseUnits{};
    std::map<int, QWidget*> m_controls;
    QLabel* m_status = nullptr;
    QLineEdit* m_degree = nullptr;
};
