#include "views/SurfaceView.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

CSurfaceView::CSurfaceView() = default;

void CSurfaceView::SetRenderMode(RenderMode mode)
{
    m_scene.SetRenderMode(mode);
    Invalidate();
}

void CSurfaceView::SetView(const float rotation[16], float distance)
{
    m_scene.Trackball().SetView(rotation, distance);
    Invalidate();
}

void CSurfaceView::InitGL()
{
    CGLView::InitGL();
    m_scene.Trackball().SetViewportSize(m_rcClient.right, m_rcClient.bottom);
    if (!MakeCurrent())
        return;
    m_scene.InitGL();
    ReleaseCurrent();
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
    m_scene.DrawScene();
}

void CSurfaceView::OnLeftDown(int x, int y)
{
    m_scene.Trackball().BeginRotation(x, y);
}

void CSurfaceView::OnLeftUp(int, int)
{
    m_scene.Trackball().EndRotation();
}

void CSurfaceView::OnRightDown(int x, int y)
{
    m_scene.Trackball().BeginZoom(x, y);
}

void CSurfaceView::OnRightUp(int, int)
{
    m_scene.Trackball().EndZoom();
}

void CSurfaceView::OnDrag(unsigned, int x, int y)
{
    m_scene.Trackball().Motion(x, y);
    Invalidate();
}

void CSurfaceView::BuildSurface(const std::vector<CVector3>& profileSamples,
                                const std::vector<CVector3>& pathControls,
                                const std::vector<CVector3>& profileControls)
{
    if (!MakeCurrent())
        return;
    m_scene.BuildSurface(profileSamples, pathControls, profileControls);
    ReleaseCurrent();
}

RgbImage CSurfaceView::RenderImage()
{
    RgbImage image;
    const int width = m_rcClient.right;
    const int height = m_rcClient.bottom;
    if (!MakeCurrent())
        return image;
    // The same colour and depth resolution as the window's buffers.
    QOpenGLFunctions* gl = m_hRC->functions();
    GLuint framebuffer = 0;
    GLuint buffers[2] = {0, 0};
    gl->glGenFramebuffers(1, &framebuffer);
    gl->glGenRenderbuffers(2, buffers);
    gl->glBindRenderbuffer(GL_RENDERBUFFER, buffers[0]);
    gl->glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    gl->glBindRenderbuffer(GL_RENDERBUFFER, buffers[1]);
    gl->glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    gl->glBindRenderbuffer(GL_RENDERBUFFER, 0);
    gl->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl->glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, buffers[0]);
    gl->glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, buffers[1]);
    if (gl->glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
        DrawFrame(*this);
        image = ReadFramePixels(width, height);
    }
    gl->glBindFramebuffer(GL_FRAMEBUFFER, m_hRC->defaultFramebufferObject());
    gl->glDeleteFramebuffers(1, &framebuffer);
    gl->glDeleteRenderbuffers(2, buffers);
    ReleaseCurrent();
    return image;
}
