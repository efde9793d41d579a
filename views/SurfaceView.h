#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "core/RenderMode.h"
#include "core/SweepMesh.h"
#include "core/Trackball.h"
#include "core/Vector3.h"
#include "core/bmp/DibDecoder.h"
#include "views/GLView.h"
#include "views/SurfaceScene.h"
#include "views/TextureFile.h"

// The lit, optionally textured 3D view of the swept surface, turned by a
// trackball (left button) and zoomed (right button). Its scene does the
// drawing; the view brackets it with its own context.
class CSurfaceView : public CGLView {
    Q_OBJECT
public:
    CSurfaceView();
    ~CSurfaceView() override;

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

    // Refills the surface's vertex buffer from the two curves, now.
    void BuildSurface(const std::vector<CVector3>& profileSamples,
                      const std::vector<CVector3>& pathControls,
                      const std::vector<CVector3>& profileControls);

    // Tells the view what the surface is swept from: sequences that live at
    // least as long as the view and are read in place. If they differ, bit
    // for bit, from what the surface was last built from, the surface is
    // stale: the view asks for a frame, and that frame (or an earlier
    // UpdateSurface) rebuilds it from the sequences as they are then.
    // Otherwise nothing happens: the picture cannot have changed. Returns
    // whether the surface is stale.
    bool RequestSurface(const std::vector<CVector3>& profileSamples,
                        const std::vector<CVector3>& pathControls,
                        const std::vector<CVector3>& profileControls);
    // Rebuilds a stale surface now (in its own context bracket).
    void UpdateSurface();
    bool IsSurfaceStale() const { return m_bSurfaceStale; }

    // Replaces the texture with the picture in a file (a bitmap or any
    // picture Qt reads, views/TextureFile.h); a file that cannot be read
    // leaves the texture as it was. Nothing when the file could not be opened
    // at all (which is not reported), otherwise how reading and showing it
    // went.
    std::optional<TextureLoad> LoadTexture(const char* path);
    std::optional<TextureLoad> LoadTextureImage(const char* path, RgbImage& image);
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
    struct SurfaceSource {
        const std::vector<CVector3>* profileSamples = nullptr;
        const std::vector<CVector3>* pathControls = nullptr;
        const std::vector<CVector3>* profileControls = nullptr;
    };

    // Fills the surface's vertex buffer; the context must be current.
    void RecordSurface(const std::vector<CVector3>& profileSamples,
                       const std::vector<CVector3>& pathControls,
                       const std::vector<CVector3>& profileControls);
    // Starts computing the mesh of the source on another thread, so that it
    // is ready (or nearly) when the frame uploads it.
    void StartMesh();
    bool IsBuiltFrom(const std::vector<CVector3>& profileSamples,
                     const std::vector<CVector3>& pathControls,
                     const std::vector<CVector3>& profileControls) const;

    SurfaceScene m_scene;
    // What the surface was last built from, as copies.
    std::vector<CVector3> m_BuiltProfileSamples;
    std::vector<CVector3> m_BuiltPathControls;
    std::vector<CVector3> m_BuiltProfileControls;
    SurfaceSource m_Source;
    bool m_bSurfaceStale = false;
    // The mesh computed ahead of the frame, with copies of its curves.
    struct MeshAhead;
    std::unique_ptr<MeshAhead> m_MeshAhead;
};
