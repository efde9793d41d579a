#pragma once

#include <vector>

#include "core/RenderMode.h"
#include "core/SweepMesh.h"
#include "core/Trackball.h"
#include "core/Vector3.h"
#include "core/bmp/RgbImage.h"
#include "core/export/IndexedMesh.h"
#include "views/FrameCycle.h"

// What the 3D view draws and the GL calls that draw it: the axes, the lit
// surface from a vertex buffer, its texture, seen through the trackball. It
// works in whatever context is current, so the window and the offscreen
// renderer run the very same calls; the caller makes a context current.
class SurfaceScene : public FrameSteps {
public:
    // Light, material and depth state of a fresh context.
    void InitGL();
    void SetProjection() override;
    void ApplyTransform() override;
    void DrawBackground() override;
    void DrawScene() override;

    // Fills the surface's vertex buffer from the two curves.
    void BuildSurface(const std::vector<CVector3>& profileSamples,
                      const std::vector<CVector3>& pathControls,
                      const std::vector<CVector3>& profileControls);
    // Fills the surface's vertex buffer from a mesh computed elsewhere; none: no surface.
    void UploadMesh(const SweepMeshBuilder* mesh);
    // Fills the export preview's buffers from `mesh`; none: no preview.
    void UploadPreview(const IndexedMesh* mesh);
    // Whether an uploaded preview is drawn instead of the surface.
    void ShowPreview(bool show) { m_showPreview = show; }
    // Deletes the texture, then uploads `image` as the new one (none when null).
    // A picture larger than the current context takes as a texture is scaled
    // down, its proportions kept, to the largest size it takes. The size
    // uploaded; 0 x 0 for none.
    PictureSize ReplaceTexture(const RgbImage* image);

    void SetRenderMode(RenderMode mode) { m_nRenderMode = mode; }
    RenderMode GetRenderMode() const { return m_nRenderMode; }
    unsigned int TextureName() const { return m_nTexture; }
    // Device pixels per logical pixel: lines keep their width on a scaled display.
    void SetPixelRatio(float ratio) { m_fPixelRatio = ratio; }
    // The trackball whose pose the scene is seen through; it must outlive
    // the scene's frames.
    void SeeThrough(const CTrackball& trackball) { m_trackball = &trackball; }

private:
    void DrawSurface() const;
    void DrawPreview() const;

    const CTrackball* m_trackball = nullptr;
    RenderMode m_nRenderMode = RenderMode::Solid;
    unsigned int m_nTexture = 0;
    float m_fPixelRatio = 1.0f;
    unsigned int m_nSurfaceBuffer = 0;
    // Vertices in each of the strips held by the buffer; 0: no surface.
    int m_nStripVertices = 0;
    int m_nStrips = 0;
    // The export preview: vertices and triangle indices; 0 indices: none.
    unsigned int m_previewVertexBuffer = 0;
    unsigned int m_previewIndexBuffer = 0;
    int m_previewIndices = 0;
    bool m_showPreview = false;
    // The mesh of the last build, its storage kept for the next one.
    SweepMeshBuilder m_Builder;
};
