#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>
#include <cstdint>
#include <map>

#include "app/DialogUnits.h"
#include "curve/CurveView.h"
#include "surface/SurfaceView.h"

class QLabel;
class QLineEdit;

// The modeller's one window: the profile editor (left), the path editor
// (middle) and the surface view (right), with their buttons, the degree
// field and the read-out of the selected profile point.
class CMainDlg : public QDialog, public CCurveChangeListener {
    Q_OBJECT
public:
    explicit CMainDlg(QWidget* parent = nullptr);
    ~CMainDlg() override;

    // The transfer between the fields and the controls; from the controls
    // it fails (with a message) when the degree text does not parse.
    bool UpdateData(bool saveAndValidate);
    QWidget* GetDlgItem(int id) const;
    const DialogBaseUnits& BaseUnits() const { return m_baseUnits; }

    void OnCurveChanged() override;
    void OnSolid();
    void OnWireframe();
    void OnPoint();
    void OnReset();
    void OnLoadTexture();

    CCurveView m_Viewport3;
    CSurfaceView m_Viewport2;
    CCurveView m_Viewport1;
    QString m_strStatus;
    std::uint32_t m_nDegree;
    QIcon m_hIcon;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    void OnInitDialog();
    void OnOK();
    void SetRenderMode(unsigned int mode);
    void RepaintAll();

    DialogBaseUnits m_baseUnits{};
    std::map<int, QWidget*> m_controls;
    QLabel* m_status = nullptr;
    QLineEdit* m_degree = nullptr;
    // Set when the dialog itself is invalidated. Qt also repaints the dialog
    // beneath a child that repaints (a keystroke in the degree field), and
    // that must not write the stored degree back over the user's typing.
    bool m_bRefreshPending = true;
};

// The maximum degree a reset accepts: enough for any curve a person edits,
// small enough that the surface stays interactive.
constexpr std::uint32_t kMaxDegree = 100;
