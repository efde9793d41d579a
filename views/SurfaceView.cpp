#include "views/SurfaceView.h"

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
    m_scene.Trackball().SetDevicePixelRatio(DevicePixels(1.0f));
    m_scene.SetPixelRatio(DevicePixels(1.0f));
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
