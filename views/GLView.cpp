#include "views/GLView.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <QExposeEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QStyleHints>
#include <QWheelEvent>
#include <cmath>

CGLView::CGLView()
{
    setSurfaceType(QWindow::OpenGLSurface);
    // A click in a view must not take the keyboard from the dialog: Enter and
    // Escape keep working after drawing.
    setFlag(Qt::WindowDoesNotAcceptFocus);
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(1);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(0);
    setFormat(format);
}

CGLView::~CGLView() = default;

bool CGLView::MakeCurrent()
{
    return m_hRC && m_hDC && m_hRC->makeCurrent(m_hDC);
}

void CGLView::ReleaseCurrent()
{
    if (m_hRC)
        m_hRC->doneCurrent();
}

void CGLView::Invalidate()
{
    m_framePending = true;
    requestUpdate();
}

void CGLView::RenderFrame()
{
    PaintFrame(nullptr);
}

RgbImage CGLView::CaptureFrame()
{
    RgbImage image;
    PaintFrame(&image);
    return image;
}

void CGLView::PaintFrame(RgbImage* capture)
{
    m_framePending = false;
    // A view whose context could not be made draws nothing.
    if (!MakeCurrent())
        return;
    DrawFrame(*this);
    // From the back buffer before the swap, which leaves it undefined.
    if (capture)
        *capture = ReadFramePixels(m_rcClient.right, m_rcClient.bottom);
    m_hRC->swapBuffers(m_hDC);
    ReleaseCurrent();
}

void CGLView::InitGL()
{
    // The native window must exist (and have its final size) before the
    // context is first made current on it.
    if (!handle())
        create();
    m_hDC = this;
    m_hRC = new QOpenGLContext(this);
    m_hRC->setFormat(requestedFormat());
    if (!m_hRC->create()) {
        delete m_hRC;
        m_hRC = nullptr;
    }
    const qreal ratio = devicePixelRatio();
    m_fPixelRatio = static_cast<float>(ratio);
    m_rcClient = {0, 0, qRound(width() * ratio), qRound(height() * ratio)};
    ResizeViewport(m_rcClient.right, m_rcClient.bottom);
    if (!MakeCurrent())
        return;
    SetInitialFrameState(m_fPixelRatio);
    ReleaseCurrent();
}

void CGLView::DestroyGL()
{
    ReleaseCurrent();
    delete m_hRC;
    m_hRC = nullptr;
}

void CGLView::DrawBackground() {}
void CGLView::ApplyTransform() {}
void CGLView::DrawScene() {}
void CGLView::SetProjection() {}

void CGLView::ResizeViewport(int width, int height)
{
    if (!MakeCurrent())
        return;
    glViewport(0, 0, width, height);
    ReleaseCurrent();
}

void CGLView::ScreenToWorld(int x, int y, double nearPoint[3], double farPoint[3])
{
    // The flip uses the full height: a press on the top row unprojects at
    // window y equal to the height.
    const double winX = x;
    const double winY = m_rcClient.bottom - y;
    if (!MakeCurrent())
        return;
    GLint viewport[4];
    GLdouble modelView[16];
    GLdouble projection[16];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    gluUnProject(winX, winY, 0.0, modelView, projection, viewport, &nearPoint[0], &nearPoint[1],
                 &nearPoint[2]);
    gluUnProject(winX, winY, 1.0, modelView, projection, viewport, &farPoint[0], &farPoint[1],
                 &farPoint[2]);
    ReleaseCurrent();
}

void CGLView::OnLeftDown(unsigned, int, int) {}
void CGLView::OnLeftUp(int, int) {}
void CGLView::OnLeftDoubleClick(int, int) {}
void CGLView::OnRightDown(int, int) {}
void CGLView::OnRightUp(int, int) {}
void CGLView::OnDrag(unsigned, int, int) {}
void CGLView::OnWheel(int) {}

bool CGLView::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::UpdateRequest:
        // A hidden view has no picture to bring up to date. A shown one draws
        // even before it is exposed: under Wayland an embedded view (a
        // subsurface) is exposed only once it has shown a frame.
        if (isVisible())
            RenderFrame();
        m_framePending = false;
        return true;
    case QEvent::PlatformSurface:
        if (static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
            QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed)
            DestroyGL();
        break;
    default:
        break;
    }
    return QWindow::event(event);
}

void CGLView::showEvent(QShowEvent* event)
{
    Invalidate();
    QWindow::showEvent(event);
}

void CGLView::exposeEvent(QExposeEvent*)
{
    if (isExposed())
        RenderFrame();
}

QPoint CGLView::DevicePoint(const QMouseEvent* event) const
{
    // Viewport and unprojection work in device pixels.
    const QPointF pos = event->position() * devicePixelRatio();
    return QPoint(static_cast<int>(std::floor(pos.x())), static_cast<int>(std::floor(pos.y())));
}

unsigned CGLView::MouseFlags(const QMouseEvent* event)
{
    unsigned flags = 0;
    if (event->buttons() & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (event->buttons() & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (event->modifiers() & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (event->modifiers() & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

bool CGLView::IsOverView(const QPointF& pos) const
{
    return pos.x() >= 0 && pos.y() >= 0 && pos.x() < width() && pos.y() < height();
}

bool CGLView::IsSecondPressOfDoubleClick(const QMouseEvent* event)
{
    // The toolkit reports a double click only after delivering its second
    // press, so that press is recognised here with the toolkit's own rule:
    // same button, within the interval and the distance of the first press.
    const QStyleHints* hints = QGuiApplication::styleHints();
    const QPoint pos = event->position().toPoint();
    const bool second = m_lastLeftPressValid &&
                        event->timestamp() - m_lastLeftPressTime <
                            static_cast<quint64>(hints->mouseDoubleClickInterval()) &&
                        (pos - m_lastLeftPressPos).manhattanLength() <=
                            hints->mouseDoubleClickDistance();
    // A double click consumes both presses; a third press starts afresh.
    m_lastLeftPressValid = !second;
    m_lastLeftPressTime = event->timestamp();
    m_lastLeftPressPos = pos;
    return second;
}

void CGLView::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = DevicePoint(event);
    if (event->button() == Qt::LeftButton) {
        if (!IsSecondPressOfDoubleClick(event))
            OnLeftDown(MouseFlags(event), p.x(), p.y());
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton)
        OnRightDown(p.x(), p.y());
    QWindow::mousePressEvent(event);
}

void CGLView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint p = DevicePoint(event);
        OnLeftDoubleClick(p.x(), p.y());
    }
    event->accept();
}

void CGLView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = DevicePoint(event);
    if (event->button() == Qt::LeftButton)
        OnLeftUp(p.x(), p.y());
    else if (event->button() == Qt::RightButton)
        OnRightUp(p.x(), p.y());
    QWindow::mouseReleaseEvent(event);
}

void CGLView::mouseMoveEvent(QMouseEvent* event)
{
    // While a button is held the toolkit keeps sending moves from anywhere on
    // the screen; the view sees only those over itself, so a dragged point or
    // a turn stays where the pointer left the view.
    if (!IsOverView(event->position())) {
        QWindow::mouseMoveEvent(event);
        return;
    }
    const QPoint p = DevicePoint(event);
    OnDrag(MouseFlags(event), p.x(), p.y());
    QWindow::mouseMoveEvent(event);
}

void CGLView::wheelEvent(QWheelEvent* event)
{
    // Every platform reports the angle, touchpads in fine steps; only their
    // pixel travel is optional. Sideways scrolling is not a turn of the wheel.
    const int angle = event->angleDelta().y();
    if (angle != 0)
        OnWheel(angle);
    QWindow::wheelEvent(event);
}
