#pragma once

#include "core/CurveDocument.h"
#include "views/GLView.h"

// The 2D editor of one curve document: draws the grid, the curve and its
// control polygon in the world square [-10, 10] x [-10, 10], and turns left
// clicks and drags into edits of the document at the world point under the
// pointer (the same point the drawn frame's matrices unproject to).
class CCurveView : public CGLView {
    Q_OBJECT
public:
    explicit CCurveView(CurveDocument& document);

    void DrawBackground() override;
    void DrawScene() override;
    void SetProjection() override;
    void OnLeftDown(int x, int y) override;
    void OnDrag(unsigned flags, int x, int y) override;

    CurveDocument& Document() const { return m_Document; }

private:
    void DrawCurve();
    void DrawControlPolygon();

    CurveDocument& m_Document;
};
