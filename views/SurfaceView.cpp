#include "views/SurfaceView.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>
#include <system_error>
#include <thread>

#include "core/SweepMesh.h"

namespace {

constexpr GLuint kSurfaceList = 1;

GLenum PolygonModeOf(RenderMode mode)
{
    switch (mode) {
    case RenderMode::Wireframe: return GL_LINE;
    case RenderMode::Point: return GL_POINT;
    case RenderMode::Solid: break;
    }
    return GL_FILL;
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

CSurfaceView::CSurfaceView() = default;
CSurfaceView::~CSurfaceView() = default;

void CSurfaceView::SetRenderMode(RenderMode mode)
{
    m_nRenderMode = mode;
    Invalidate();
}

void CSurfaceView::InitGL()
{
    CGLView::InitGL();
    m_Trackball.SetViewportSize(m_rcClient.right, m_rcClient.bottom);
    if (!MakeCurrent())
        return;
    const GLfloat specular[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat shininess[] = {50.0f};
    // Set under the fresh context's identity and never again, so the light
    // stays fixed relative to the viewer.
    const GLfloat lightPosition[] = {1.0f, 1.0f, 1.0f, 0.0f};
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT, GL_SHININESS, shininess);
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glEnable(GL_LIGHT0);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    glEnable(GL_TEXTURE_2D);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    ReleaseCurrent();
}

void CSurfaceView::SetProjection()
{
    const double pi = 3.14159265358979323846;
    const double t = 1.0 / (std::cos(pi / 6.0) / std::sin(pi / 6.0));
    glFrustum(-t, t, -t, t, 1.0, 1000.0);
    glTranslatef(0.0f, 0.0f, -m_Trackball.Distance());
}

void CSurfaceView::ApplyTransform()
{
    glMultMatrixf(m_Trackball.Matrix());
}

void CSurfaceView::DrawBackground()
{
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_LIGHTING);
    glPolygonMode(GL_FRONT_AND_BACK, PolygonModeOf(m_nRenderMode));
    glLineWidth(2.0f);
    glBegin(GL_LINES);
    glColor3f(1.0f, 0.0f, 0.0f);
    glVertex3i(0, 0, 0);
    glVertex3i(50, 0, 0);
    glColor3f(0.0f, 1.0f, 0.0f);
    glVertex3i(0, 0, 0);
    glVertex3i(0, 50, 0);
    glColor3f(0.0f, 0.0f, 1.0f);
    glVertex3i(0, 0, 0);
    glVertex3i(0, 0, 50);
    glEnd();
}

void CSurfaceView::DrawScene()
{
    // A surface changed since the last frame is recorded now, in this
    // frame's context bracket.
    if (m_bSurfaceStale)
        RecordSurface(*m_Source.profileSamples, *m_Source.pathControls, *m_Source.profileControls);
    glBindTexture(GL_TEXTURE_2D, m_nTexture);
    glEnable(GL_LIGHTING);
    glCallList(kSurfaceList);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void CSurfaceView::OnLeftDown(int x, int y)
{
    m_Trackball.BeginRotation(x, y);
}

void CSurfaceView::OnLeftUp(int, int)
{
    m_Trackball.EndRotation();
}

void CSurfaceView::OnRightDown(int x, int y)
{
    m_Trackball.BeginZoom(x, y);
}

void CSurfaceView::OnRightUp(int, int)
{
    m_Trackball.EndZoom();
}

void CSurfaceView::OnDrag(unsigned, int x, int y)
{
    m_Trackball.Motion(x, y);
    Invalidate();
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

bool CSurfaceView::RequestSurface(const std::vector<CVector3>& profileSamples,
                                  const std::vector<CVector3>& pathControls,
                                  const std::vector<CVector3>& profileControls)
{
    m_Source = {&profileSamples, &pathControls, &profileControls};
    // Back to what the list shows (a change undone before its frame): the
    // list is right as it is.
    m_bSurfaceStale = !IsBuiltFrom(profileSamples, pathControls, profileControls);
    if (m_bSurfaceStale) {
        StartMesh();
        Invalidate();
    }
    return m_bSurfaceStale;
}

void CSurfaceView::UpdateSurface()
{
    if (m_bSurfaceStale)
        BuildSurface(*m_Source.profileSamples, *m_Source.pathControls, *m_Source.profileControls);
}

namespace {

bool SameBits(const std::vector<CVector3>& a, const std::vector<CVector3>& b)
{
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(CVector3)) == 0);
}

} // namespace

void CSurfaceView::StartMesh()
{
    if (!m_MeshAhead)
        m_MeshAhead = std::make_unique<MeshAhead>();
    MeshAhead& ahead = *m_MeshAhead;
    ahead.Wait();
    ahead.profileSamples = *m_Source.profileSamples;
    ahead.pathControls = *m_Source.pathControls;
    ahead.profileControls = *m_Source.profileControls;
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
    glDeleteLists(kSurfaceList, 1);
    // The mesh computed ahead, if it was computed from these curves.
    const SweepMeshBuilder* mesh = &m_Builder;
    bool hasSurface = false;
    MeshAhead* ahead = m_MeshAhead.get();
    if (ahead && ahead->worker.joinable()) {
        ahead->Wait();
        if (SameBits(profileSamples, ahead->profileSamples) && SameBits(pathControls, ahead->pathControls) &&
            SameBits(profileControls, ahead->profileControls)) {
            mesh = &ahead->builder;
            hasSurface = ahead->hasSurface;
        }
    }
    if (mesh == &m_Builder)
        hasSurface = m_Builder.Build(profileSamples, pathControls, profileControls);
    if (!hasSurface)
        return;
    // One colour call and 24 triangle strips. The strips are recorded from
    // vertex arrays: the same texture coordinates, normals and vertices, in
    // the same order, as glTexCoord2f, glNormal3d and glVertex3d would give
    // (OpenGL keeps all three as floats), so the pixels are the same.
    const GLsizei perStrip = static_cast<GLsizei>(mesh->VerticesPerStrip());
    glInterleavedArrays(GL_T2F_N3F_V3F, 0, mesh->Vertices().data());
    glNewList(kSurfaceList, GL_COMPILE);
    glColor3f(1.0f, 1.0f, 1.0f);
    for (int strip = 0; strip < SweepMeshBuilder::kStrips; ++strip)
        glDrawArrays(GL_TRIANGLE_STRIP, strip * perStrip, perStrip);
    glEndList();
    // Array state is client state, not part of the list.
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}
