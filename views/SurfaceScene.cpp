#include "views/SurfaceScene.h"

#include <GL/gl.h>

#include <cmath>

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

void SurfaceScene::InitGL()
{
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
}

void SurfaceScene::SetProjection()
{
    const double pi = 3.14159265358979323846;
    const double t = 1.0 / (std::cos(pi / 6.0) / std::sin(pi / 6.0));
    glFrustum(-t, t, -t, t, 1.0, 1000.0);
    glTranslatef(0.0f, 0.0f, -m_Trackball.Distance());
}

void SurfaceScene::ApplyTransform()
{
    glMultMatrixf(m_Trackball.Matrix());
}

void SurfaceScene::DrawBackground()
{
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_LIGHTING);
    glPolygonMode(GL_FRONT_AND_BACK, PolygonModeOf(m_nRenderMode));
    glLineWidth(2.0f * m_fPixelRatio);
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

void SurfaceScene::DrawScene()
{
    glBindTexture(GL_TEXTURE_2D, m_nTexture);
    glEnable(GL_LIGHTING);
    glCallList(kSurfaceList);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void SurfaceScene::BuildSurface(const std::vector<CVector3>& profileSamples,
                                const std::vector<CVector3>& pathControls,
                                const std::vector<CVector3>& profileControls)
{
    RecordMesh(m_Builder.Build(profileSamples, pathControls, profileControls) ? &m_Builder : nullptr);
}

void SurfaceScene::RecordMesh(const SweepMeshBuilder* mesh)
{
    glDeleteLists(kSurfaceList, 1);
    if (!mesh)
        return;
    // One colour call and a triangle strip a slice. The strips are recorded from
    // vertex arrays: the same texture coordinates, normals and vertices, in
    // the same order, as glTexCoord2f, glNormal3d and glVertex3d would give
    // (OpenGL keeps all three as floats), so the pixels are the same.
    const GLsizei perStrip = static_cast<GLsizei>(mesh->VerticesPerStrip());
    glInterleavedArrays(GL_T2F_N3F_V3F, 0, mesh->Vertices().data());
    glNewList(kSurfaceList, GL_COMPILE);
    glColor3f(1.0f, 1.0f, 1.0f);
    for (int strip = 0; strip < mesh->StripCount(); ++strip)
        glDrawArrays(GL_TRIANGLE_STRIP, strip * perStrip, perStrip);
    glEndList();
    // Array state is client state, not part of the list.
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void SurfaceScene::ReplaceTexture(const RgbImage* image)
{
    glDeleteTextures(1, &m_nTexture);
    if (!image)
        return;
    glGenTextures(1, &m_nTexture);
    glBindTexture(GL_TEXTURE_2D, m_nTexture);
    // Rows are packed, 3 * width bytes, whatever the width.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, image->width, image->height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 image->pixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}
