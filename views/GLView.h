#pragma once

#include <QWindow>

#include "views/FrameCycle.h"

class QOpenGLContext;

// A client rectangle: left and top are 0, so right is the width and bottom
// the height, in device pixels.
struct ClientRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// A native window that owns one OpenGL context, runs one fixed paint cycle
// through overridable drawing steps and turns mouse input into overridable
// operations. Derived views draw everything that is visible.
class CGLView : public QWindow, public FrameSteps {
    Q_OBJECT
public:
    CGLView();
    ~CGLView() override;

    virtual void RenderFrame();
    virtual void InitGL();
    virtual void DestroyGL();
    void DrawBackground() override;
    void ApplyTransform() override;
    void DrawScene() override;
    void SetProjection() override;
    virtual void ResizeViewport(int width, int height);
    virtual void ScreenToWorld(int x, int y, double nearPoint[3], double farPoint[3]);
    // Presses and moves carry the held buttons and keys as MK_ flags.
    virtual void OnLeftDown(unsigned flags, int x, int y);
    virtual void OnLeftUp(int x, int y);
    // The second press of a left double click, which OnLeftDown does not see.
    virtual void OnLeftDoubleClick(int x, int y);
    virtual void OnRightDown(int x, int y);
    virtual void OnRightUp(int x, int y);
    virtual void OnDrag(unsigned flags, int x, int y);
    // The wheel turned by `angleDelta` eighths of a degree (120 a notch,
    // forward positive; touchpads send finer steps).
    virtual void OnWheel(int angleDelta);

    // Asks for a frame at the next update; until it is drawn the view
    // reports a frame pending, so that anyone can wait for the picture.
    void Invalidate();
    bool IsFramePending() const { return m_framePending; }
    // Renders a frame as RenderFrame does and returns its pixels, read from
    // the window's own buffer (a framebuffer object can rasterize points and
    // lines a row apart from it); empty when the view has no context.
    RgbImage CaptureFrame();

    // What InitGL set up: the context (null before it, after DestroyGL and
    // when none could be made), the drawable and the client rectangle.
    QOpenGLContext* Context() const { return m_hRC; }
    QWindow* Drawable() const { return m_hDC; }
    const ClientRect& Client() const { return m_rcClient; }

protected:
    bool MakeCurrent();
    // A line width or point size in the pixels of an unscaled display, in
    // this view's device pixels: on a scaled display lines and points keep
    // their look instead of thinning.
    float DevicePixels(float pixels) const { return pixels * m_fPixelRatio; }
    void ReleaseCurrent();

    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void exposeEvent(QExposeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

    ClientRect m_rcClient;  // read once by InitGL; the derived views map the mouse with it

private:
    void PaintFrame(RgbImage* capture);
    QPoint DevicePoint(const QMouseEvent* event) const;
    static unsigned MouseFlags(const QMouseEvent* event);
    bool IsOverView(const QPointF& pos) const;
    bool IsSecondPressOfDoubleClick(const QMouseEvent* event);

    QOpenGLContext* m_hRC = nullptr;
    QWindow* m_hDC = nullptr;  // the drawable every make-current and swap uses

    // The last left press that could start a double click.
    quint64 m_lastLeftPressTime = 0;
    QPoint m_lastLeftPressPos;
    bool m_lastLeftPressValid = false;
    bool m_framePending = false;
    float m_fPixelRatio = 1.0f;  // read once by InitGL, like m_rcClient
};

// The held buttons and keys, as OnLeftDown and OnDrag receive them.
constexpr unsigned MK_LBUTTON = 0x0001;
constexpr unsigned MK_RBUTTON = 0x0002;
constexpr unsigned MK_SHIFT = 0x0004;
constexpr unsigned MK_CONTROL = 0x0008;
