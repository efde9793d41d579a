#pragma once

#include <optional>
#include <vector>

#include "core/RenderMode.h"
#include "core/Trackball.h"
#include "core/Vector3.h"
#include "core/bmp/DibDecoder.h"
#include "views/GLView.h"
#include "views/SurfaceScene.h"

// The lit, optionally textured 3D view of the swept surface, turned by a
// trackball (left button) and zoomed (right button). Its scene does the
// drawing; the view brackets it with its own context.
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
    // Shows the surface untextured again.
    void RemoveTexture();

    void SetRenderMode(RenderMode mode);
    RenderMode GetRenderMode() const { return m_scene.GetRenderMode(); }
    // The texture object in this view's context; 0 before any load.
    unsigned int TextureName() const { return m_scene.TextureName(); }

    const CTrackball& Trackball() const { return m_scene.Trackball(); }
    // Puts the view where a saved design left it.
    void SetView(const float rotation[16], float distance);

private:
    SurfaceScene m_scene;
};
