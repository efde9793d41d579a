#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/RenderMode.h"
#include "core/SweepMesh.h"
#include "core/Trackball.h"
#include "core/ExportOptions.h"
#include "core/Vector3.h"
#include "core/design/DesignDocument.h"
#include "views/GLView.h"
#include "views/SurfaceScene.h"

// The lit, optionally textured 3D view of the swept surface of a design.
// Drags turn (left button, a virtual trackball) and zoom (right button) the
// design's view, and the wheel zooms it too; every change of the design it
// shows has it rebuild what changed and ask for a frame. Its scene does the
// drawing; the view brackets it with its own context.
class CSurfaceView : public CGLView, private DesignListener {
    Q_OBJECT
public:
    explicit CSurfaceView(DesignDocument& design);
    ~CSurfaceView() override;

    void InitGL() override;
    void SetProjection() override;
    void ApplyTransform() override;
    void DrawBackground() override;
    void DrawScene() override;
    void OnLeftDown(unsigned flags, int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnRightDown(int x, int y) override;
    void OnRightUp(int x, int y) override;
    void OnDrag(unsigned flags, int x, int y) override;
    void OnWheel(int angleDelta) override;

    // Refills the surface's vertex buffer from these curves, now (for
    // comparisons: the design's own curves come back at its next change).
    void BuildSurface(const std::vector<CVector3>& profileSamples,
                      const std::vector<CVector3>& pathControls,
                      const std::vector<CVector3>& profileControls);

    // Checks the surface against the design's curves. If they differ, bit
    // for bit, from what the surface was last built from, the surface is
    // stale: the view asks for a frame, and that frame (or an earlier
    // UpdateSurface) rebuilds it from the curves as they are then.
    // Otherwise nothing happens: the picture cannot have changed. Returns
    // whether the surface is stale. Every change of a curve does this.
    bool RequestSurface();
    // Rebuilds a stale surface now (in its own context bracket).
    void UpdateSurface();
    bool IsSurfaceStale() const { return m_bSurfaceStale; }

    // Whether the view draws the mesh an export would write (the design's
    // export options) instead of the surface. A mesh the export cannot build
    // leaves the surface showing; PreviewFailure says why ("" when it can).
    void SetPreviewExport(bool on);
    bool IsPreviewExport() const { return m_previewOn; }
    const std::string& PreviewFailure() const { return m_previewFailure; }

    // The texture object in this view's context; 0 before any texture.
    unsigned int TextureName() const { return m_scene.TextureName(); }
    // The size of the design's picture as the texture holds it: smaller than
    // the picture when OpenGL takes no texture that large; 0 x 0 for none.
    PictureSize TextureShown() const { return m_textureShown; }

    const CTrackball& Trackball() const { return m_design.Trackball(); }
    RenderMode GetRenderMode() const { return m_scene.GetRenderMode(); }

private:
    void OnDesignChanged(const DesignDocument& design, DesignParts changed) override;
    // Uploads the design's picture as the texture; the context must be current.
    void RecordTexture();
    // Fills the surface's vertex buffer; the context must be current.
    void RecordSurface(const std::vector<CVector3>& profileSamples,
                       const std::vector<CVector3>& pathControls,
                       const std::vector<CVector3>& profileControls);
    // Builds and uploads the export preview if its inputs changed since it
    // was last built; the context must be current.
    void RecordPreview();
    // Starts computing the mesh of the design's curves on another thread, so
    // that it is ready (or nearly) when the frame uploads it.
    void StartMesh();
    bool IsBuiltFrom(const std::vector<CVector3>& profileSamples,
                     const std::vector<CVector3>& pathControls,
                     const std::vector<CVector3>& profileControls) const;

    DesignDocument& m_design;
    SurfaceScene m_scene;
    // What the surface was last built from, as copies.
    std::vector<CVector3> m_BuiltProfileSamples;
    std::vector<CVector3> m_BuiltPathControls;
    std::vector<CVector3> m_BuiltProfileControls;
    bool m_bSurfaceStale = false;
    // The design's texture changed while no context could be made current.
    bool m_textureStale = false;
    PictureSize m_textureShown;
    // What the export preview was last built from.
    bool m_previewOn = false;
    bool m_previewBuilt = false;
    std::vector<CVector3> m_previewProfileControls;
    std::vector<CVector3> m_previewPathControls;
    ExportOptions m_previewOptions;
    std::string m_previewFailure;
    // The mesh computed ahead of the frame, with copies of its curves.
    struct MeshAhead;
    std::unique_ptr<MeshAhead> m_MeshAhead;
};
