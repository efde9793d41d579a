#pragma once

#include <vector>

#include "geometry/Vector3.h"
#include "glview/GLView.h"

// Whoever must hear, synchronously, that an editor's curve has changed.
class CCurveChangeListener {
public:
    virtual void OnCurveChanged() = 0;

protected:
    ~CCurveChangeListener() = default;
};

// The 2D editor of one Bezier curve in the world square [-10, 10] x [-10, 10].
class CCurveView : public CGLView {
    Q_OBJECT
public:
    enum { MODE_ADD = 1, MODE_SELECT = 2 };

    CCurveView();

    void DrawBackground() override;
    void DrawScene() override;
    void SetProjection() override;
    void OnLeftDown(int x, int y) override;
    void OnDrag(unsigned flags, int x, int y) override;

    int GetSelectedPoint(CVector3& out) const;
    void DeleteSelectedPoint();
    void ResetCurve(unsigned int degree);
    void EvaluateCurve();

    std::vector<CVector3> m_ControlPoints;
    std::vector<CVector3> m_SamplePoints;
    std::vector<float> m_SampleParams;
    int m_nSelected = -1;
    int m_nMode = MODE_ADD;
    CCurveChangeListener* m_hNotifyWnd = nullptr;
    int m_bNonNegativeX = 0;

private:
    void DrawCurve();
    void DrawControlPolygon();
    void NotifyCurveChanged();
    // World X and Y of a window point, from the near unprojected point.
    void WindowToWorld(int x, int y, double& worldX, double& worldY);
};
