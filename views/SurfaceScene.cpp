#include "views/SurfaceScene.h"

// Vertex buffer objects are OpenGL 1.5, declared beyond gl.h's 1.3.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>


#include <cstdint>
#include <limits>

#include "core/SweepMesh.h"
#include "core/ViewFraming.h"
#include "core/bmp/ShrinkImage.h"

namespace {

GLenum PolygonModeOf(RenderMode mode)
{
    switch (mode) {
    case RenderMode::Wireframe: return GL_LINE;
    case RenderMode::Point: return GL_POINT;
    case RenderMode::Solid: break;
    }
    return GL_FILL;
}

// Whether the current context has room for an RGB texture of this size: a
// side within its limit may still need more memory than it has.
bool TextureFits(PictureSize size)
{
    glTexImage2D(GL_PROXY_TEXTURE_2D, 0, 3, size.width, size.height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    return width != 0;
}

// The size a picture is uploaded at in the current context: its own, or the
// largest with its proportions that the context takes.
PictureSize UploadSize(PictureSize size)
{
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    PictureSize fitted = FitWithin(size, maxSide);
    while (maxSide > 1 && !TextureFits(fitted)) {
        maxSide /= 2;
        fitted = FitWithin(size, maxSide);
    }
    return fitted;
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
    const double t = ViewHalfSide();
    glFrustum(-t, t, -t, t, kViewNear, kViewFar);
    glTranslatef(0.0f, 0.0f, -m_trackball->Distance());
}

void SurfaceScene::ApplyTransform()
{
    glMultMatrixf(m_trackball->Matrix());
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
    if (m_showPreview && m_previewIndices > 0)
        DrawPreview();
    else
        DrawSurface();
    glBindTexture(GL_TEXTURE_2D, 0);
}

void SurfaceScene::DrawSurface() const
{
    if (m_nStripVertices == 0)
        return;
    // One colour call and a triangle strip a slice, each its own draw, drawn
    // from the buffer rather than from a display list: Mesa's display-list
    // compiler joins consecutive strips into one with degenerate triangles,
    // whose edges the wireframe mode draws as lines from the rim of one
    // strip to the base of the next. Drawn one by one, the strips give the
    // pixels of glBegin/glEnd per strip, and a new mesh costs one upload
    // instead of a list compile.
    glColor3f(1.0f, 1.0f, 1.0f);
    glBindBuffer(GL_ARRAY_BUFFER, m_nSurfaceBuffer);
    glInterleavedArrays(GL_T2F_N3F_V3F, 0, nullptr);
    for (int strip = 0; strip < m_nStrips; ++strip)
        glDrawArrays(GL_TRIANGLE_STRIP, strip * m_nStripVertices, m_nStripVertices);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void SurfaceScene::DrawPreview() const
{
    // The surface's colour and arrays, with the triangles indexed.
    glColor3f(1.0f, 1.0f, 1.0f);
    glBindBuffer(GL_ARRAY_BUFFER, m_previewVertexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_previewIndexBuffer);
    glInterleavedArrays(GL_T2F_N3F_V3F, 0, nullptr);
    glDrawElements(GL_TRIANGLES, m_previewIndices, GL_UNSIGNED_INT, nullptr);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void SurfaceScene::UploadPreview(const IndexedMesh* mesh)
{
    m_previewIndices = 0;
    // glDrawElements counts indices in an int.
    if (!mesh || mesh->triangles.empty() || mesh->triangles.size() > std::numeric_limits<GLsizei>::max()) {
        glDeleteBuffers(1, &m_previewVertexBuffer);
        glDeleteBuffers(1, &m_previewIndexBuffer);
        m_previewVertexBuffer = m_previewIndexBuffer = 0;
        return;
    }
    if (m_previewVertexBuffer == 0)
        glGenBuffers(1, &m_previewVertexBuffer);
    if (m_previewIndexBuffer == 0)
        glGenBuffers(1, &m_previewIndexBuffer);
    // As the surface's buffer holds them: texture coordinate, normal and
    // position in floats, as OpenGL would keep the doubles.
    std::vector<float> vertices;
    vertices.reserve(8 * mesh->vertices.size());
    for (const MeshVertex& v : mesh->vertices)
        vertices.insert(vertices.end(), {v.s, v.t, static_cast<float>(v.normal.x), static_cast<float>(v.normal.y),
                                         static_cast<float>(v.normal.z), static_cast<float>(v.position.x),
                                         static_cast<float>(v.position.y), static_cast<float>(v.position.z)});
    const auto vertexBytes = static_cast<GLsizeiptr>(vertices.size() * sizeof(float));
    const auto indexBytes = static_cast<GLsizeiptr>(mesh->triangles.size() * sizeof(std::uint32_t));
    glBindBuffer(GL_ARRAY_BUFFER, m_previewVertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, vertexBytes, vertices.data(), GL_DYNAMIC_DRAW);
    GLint storedVertices = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &storedVertices);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_previewIndexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, indexBytes, mesh->triangles.data(), GL_DYNAMIC_DRAW);
    GLint storedIndices = 0;
    glGetBufferParameteriv(GL_ELEMENT_ARRAY_BUFFER, GL_BUFFER_SIZE, &storedIndices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    // Buffers that could not hold the mesh (out of memory) leave the surface showing.
    if (storedVertices == vertexBytes && storedIndices == indexBytes)
        m_previewIndices = static_cast<int>(mesh->triangles.size());
}

void SurfaceScene::BuildSurface(const std::vector<CVector3>& profileSamples,
                                const std::vector<CVector3>& pathControls,
                                const std::vector<CVector3>& profileControls)
{
    UploadMesh(m_Builder.Build(profileSamples, pathControls, profileControls) ? &m_Builder : nullptr);
}

void SurfaceScene::UploadMesh(const SweepMeshBuilder* mesh)
{
    m_nStripVertices = 0;
    if (!mesh) {
        glDeleteBuffers(1, &m_nSurfaceBuffer);
        m_nSurfaceBuffer = 0;
        return;
    }
    if (m_nSurfaceBuffer == 0)
        glGenBuffers(1, &m_nSurfaceBuffer);
    // The texture coordinates, normals and vertices as glTexCoord2f,
    // glNormal3d and glVertex3d would give them (OpenGL keeps all three as
    // floats), so the pixels are the same.
    const std::vector<float>& vertices = mesh->Vertices();
    const auto bytes = static_cast<GLsizeiptr>(vertices.size() * sizeof(float));
    glBindBuffer(GL_ARRAY_BUFFER, m_nSurfaceBuffer);
    glBufferData(GL_ARRAY_BUFFER, bytes, vertices.data(), GL_DYNAMIC_DRAW);
    // A buffer that could not hold the mesh (out of memory) draws nothing
    // rather than reading past its end.
    GLint stored = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &stored);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    if (stored == bytes) {
        m_nStripVertices = static_cast<int>(mesh->VerticesPerStrip());
        m_nStrips = mesh->StripCount();
    }
}

PictureSize SurfaceScene::ReplaceTexture(const RgbImage* image)
{
    glDeleteTextures(1, &m_nTexture);
    if (!image)
        return {};
    // A texture too large for the context would be refused whole, leaving
    // the surface untextured.
    const PictureSize size = UploadSize({image->width, image->height});
    RgbImage shrunk;
    if (size != PictureSize{image->width, image->height})
        shrunk = ShrinkImage(*image, size);
    const RgbImage& uploaded = shrunk.pixels.empty() ? *image : shrunk;
    glGenTextures(1, &m_nTexture);
    glBindTexture(GL_TEXTURE_2D, m_nTexture);
    // Rows are packed, 3 * width bytes, whatever the width.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, uploaded.width, uploaded.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 uploaded.pixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return size;
}
