#pragma once

#include <optional>
#include <vector>

#include "core/RenderMode.h"
#include "core/Trackball.h"
#include "core/Vector3.h"
#include "core/bmp/DibDecoder.h"
#include "views/GLView.h"

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
                      const std::vector<CVector3>& pathControls,
                      const std::vector<CVector3>& profileControls);

    // Replaces the texture with the picture in a file (a bitmap or any
    // picture Qt reads, views/TextureFile.h); the old one goes whatever the
    // outcome. Nothing when the file could not be opened at all (which is not
    // reported), otherwise how reading it went.
    std::optional<DibResult> LoadTexture(const char* path);
    std::optional<DibResult> LoadTextureImage(const char* path, RgbImage& image);

    void SetRenderMode(RenderMode mode);
    RenderMode GetRenderMode() const { return m_nRenderMode; }
    // The texture object in this view's context; 0 before any load.
    unsigned int TextureName() const { return m_nTexture; }

    const CTrackball& Trackball() const { return m_Trackball; }

private:
    CTrackball m_Trackball;
    RenderMode m_nRenderMode = RenderMode::Solid;
    unsigned int m_nTexture = 0;
};
