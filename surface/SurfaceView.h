#pragma once

#include <vector>

#include "core/Trackball.h"
#include "geometry/Vector3.h"
#include "glview/GLView.h"

struct RgbImage;

// The lit, optionally textured 3D view of the swept surface, turned by a
// trackball (left button) and zoomed (right button).
class CSurfaceView : public CGLView {
    Q_OBJECT
public:
    CSurfaceView();

    void InitGL() override;
    void SetProjection() override;
    void ApplyTransform() override;
    void DrawBackground() override;
    void DrawScene() override;
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnRightDown(int x, int y) override;
    void OnRightUp(int x, int y) override;
    void OnDrag(unsigned flags, int x, int y) override;

    // Re-records display list 1 from the two curves.
    void BuildSurface(const std::vector<CVector3>& profileSamples,
                      const std::vector<float>& profileParams,
                      const std::vector<CVector3>& pathControls,
                      const std::vector<CVector3>& profileControls);
    // Replaces the texture with the picture in a bitmap file.
    void LoadTexture(const char* path);
    RgbImage* LoadTextureImage(const char* path);

    CTrackball m_Trackball;
    unsigned int m_nRenderMode;
    unsigned int m_nTexture = 0;
};
