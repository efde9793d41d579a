#include "views/SurfaceView.h"

#include <cstring>
#include <system_error>
#include <thread>

#include "core/export/ExportMesh.h"

namespace {

bool SameBits(const std::vector<CVector3>& a, const std::vector<CVector3>& b)
{
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(CVector3)) == 0);
}

} // namespace

struct CSurfaceView::MeshAhead {
    std::vector<CVector3> profileSamples;
    std::vector<CVector3> pathControls;
    std::vector<CVector3> profileControls;
    SweepMeshBuilder builder;
    bool hasSurface = false;
    std::thread worker;

    ~MeshAhead() { Wait(); }
    void Wait()
    {
        if (worker.joinable())
            worker.join();
    }
};

CSurfaceView::CSurfaceView(DesignDocument& design) : m_design(design)
{
    m_scene.SeeThrough(m_design.Trackball());
    m_scene.SetRenderMode(m_design.GetRenderMode());
    m_design.AddListener(this);
}

CSurfaceView::~CSurfaceView()
{
    m_design.RemoveListener(this);
}

void CSurfaceView::InitGL()
{
    CGLView::InitGL();
    m_design.SetViewportSize(m_rcClient.right, m_rcClient.bottom);
    m_design.SetDevicePixelRatio(DevicePixels(1.0f));
    m_scene.SetPixelRatio(DevicePixels(1.0f));
    if (!MakeCurrent())
        return;
    m_scene.InitGL();
    RecordTexture();
    ReleaseCurrent();
    RequestSurface();
}

void CSurfaceView::OnDesignChanged(const DesignDocument& design, DesignParts changed)
{
    // The surface keeps the default sweep settings: a change of the export
    // options shows only in the preview.
    if (changed & (kProfilePart | kPathPart))
        RequestSurface();
    if (m_previewOn && (changed & (kProfilePart | kPathPart | kOutputPart)))
        Invalidate();
    if (changed & kRenderModePart)
        m_scene.SetRenderMode(design.GetRenderMode());
    if (changed & kTexturePart) {
        m_textureStale = true;
        if (MakeCurrent()) {
            RecordTexture();
            ReleaseCurrent();
        }
    }
    if (changed & (kRenderModePart | kTexturePart | kViewPart))
        Invalidate();
}

void CSurfaceView::RecordTexture()
{
    m_textureStale = false;
    m_textureShown = m_scene.ReplaceTexture(m_design.Texture().picture.get());
}

void CSurfaceView::SetProjection()
{
    m_scene.SetProjection();
}

void CSurfaceView::ApplyTransform()
{
    m_scene.ApplyTransform();
}

void CSurfaceView::DrawBackground()
{
    m_scene.DrawBackground();
}

void CSurfaceView::DrawScene()
{
    // A surface changed since the last frame is uploaded now, in this
    // frame's context bracket.
    if (m_textureStale)
        RecordTexture();
    if (m_bSurfaceStale)
        RecordSurface(m_design.Profile().SamplePoints(), m_design.Path().ControlPoints(),
                      m_design.Profile().ControlPoints());
    if (m_previewOn)
        RecordPreview();
    m_scene.DrawScene();
}

void CSurfaceView::SetPreviewExport(bool on)
{
    if (on == m_previewOn)
        return;
    m_previewOn = on;
    m_scene.ShowPreview(on);
    Invalidate();
}

void CSurfaceView::RecordPreview()
{
    const std::vector<CVector3>& profile = m_design.Profile().ControlPoints();
    const std::vector<CVector3>& path = m_design.Path().ControlPoints();
    // A selection or a frame of its own (a turn) leaves the inputs as they were.
    if (m_previewBuilt && SameBits(profile, m_previewProfileControls) && SameBits(path, m_previewPathControls) &&
        m_design.Output() == m_previewOptions)
        return;
    m_previewBuilt = true;
    m_previewProfileControls = profile;
    m_previewPathControls = path;
    m_previewOptions = m_design.Output();
    const Result<IndexedMesh> mesh = BuildExportMesh(profile, path, m_previewOptions);
    m_previewFailure = mesh ? std::string() : mesh.Error();
    m_scene.UploadPreview(mesh ? &*mesh : nullptr);
}

void CSurfaceView::OnLeftDown(unsigned, int x, int y)
{
    m_design.BeginTurn(x, y);
}

void CSurfaceView::OnLeftUp(int, int)
{
    m_design.EndTurn();
}

void CSurfaceView::OnRightDown(int x, int y)
{
    m_design.BeginZoom(x, y);
}

void CSurfaceView::OnRightUp(int, int)
{
    m_design.EndZoom();
}

void CSurfaceView::OnDrag(unsigned, int x, int y)
{
    m_design.DragView(x, y);
}

void CSurfaceView::OnWheel(int angleDelta)
{
    m_design.ZoomByWheel(angleDelta);
}

void CSurfaceView::BuildSurface(const std::vector<CVector3>& profileSamples,
                                const std::vector<CVector3>& pathControls,
                                const std::vector<CVector3>& profileControls)
{
    if (!MakeCurrent())
        return;
    RecordSurface(profileSamples, pathControls, profileControls);
    ReleaseCurrent();
}

bool CSurfaceView::RequestSurface()
{
    // Back to what the buffer shows (a change undone before its frame): the
    // buffer is right as it is.
    m_bSurfaceStale = !IsBuiltFrom(m_design.Profile().SamplePoints(), m_design.Path().ControlPoints(),
                                   m_design.Profile().ControlPoints());
    if (m_bSurfaceStale) {
        StartMesh();
        Invalidate();
    }
    return m_bSurfaceStale;
}

void CSurfaceView::UpdateSurface()
{
    if (m_bSurfaceStale)
        BuildSurface(m_design.Profile().SamplePoints(), m_design.Path().ControlPoints(),
                     m_design.Profile().ControlPoints());
}

void CSurfaceView::StartMesh()
{
    if (!m_MeshAhead)
        m_MeshAhead = std::make_unique<MeshAhead>();
    MeshAhead& ahead = *m_MeshAhead;
    ahead.Wait();
    ahead.profileSamples = m_design.Profile().SamplePoints();
    ahead.pathControls = m_design.Path().ControlPoints();
    ahead.profileControls = m_design.Profile().ControlPoints();
    try {
        ahead.worker = std::thread([&ahead] {
            ahead.hasSurface = ahead.builder.Build(ahead.profileSamples, ahead.pathControls, ahead.profileControls);
        });
    } catch (const std::system_error&) {
        // No thread to be had: the frame computes the mesh itself.
        ahead.pathControls.clear();
        ahead.profileSamples.clear();
        ahead.profileControls.clear();
        ahead.hasSurface = false;
    }
}

bool CSurfaceView::IsBuiltFrom(const std::vector<CVector3>& profileSamples,
                               const std::vector<CVector3>& pathControls,
                               const std::vector<CVector3>& profileControls) const
{
    return SameBits(profileSamples, m_BuiltProfileSamples) && SameBits(pathControls, m_BuiltPathControls) &&
           SameBits(profileControls, m_BuiltProfileControls);
}

void CSurfaceView::RecordSurface(const std::vector<CVector3>& profileSamples,
                                 const std::vector<CVector3>& pathControls,
                                 const std::vector<CVector3>& profileControls)
{
    m_bSurfaceStale = false;
    m_BuiltProfileSamples = profileSamples;
    m_BuiltPathControls = pathControls;
    m_BuiltProfileControls = profileControls;
    // The mesh computed ahead, if it was computed from these curves.
    MeshAhead* ahead = m_MeshAhead.get();
    if (ahead && ahead->worker.joinable()) {
        ahead->Wait();
        if (SameBits(profileSamples, ahead->profileSamples) && SameBits(pathControls, ahead->pathControls) &&
            SameBits(profileControls, ahead->profileControls)) {
            m_scene.UploadMesh(ahead->hasSurface ? &ahead->builder : nullptr);
            return;
        }
    }
    m_scene.BuildSurface(profileSamples, pathControls, profileControls);
}
