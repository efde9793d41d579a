#pragma once

#include <GL/gl.h>

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/MessageBox.h"
#include "views/GLView.h"

// How long a wait for the window system may take before the test gives up:
// not a measure of speed, only a guard that turns a hang into a failure,
// far beyond what a busy machine needs.
constexpr int kHangGuardMs = 300000;

struct RecordedBox {
    std::string text;
    std::string caption;
    MessageIcon icon;
};

// Records every message box (answering OK at once) while it lives.
class RecordingMessageBoxes {
public:
    RecordingMessageBoxes()
    {
        m_previous = SetMessageBoxHandler(
            [this](const std::string& text, const std::string& caption, MessageIcon icon) {
                boxes.push_back({text, caption, icon});
            });
    }
    ~RecordingMessageBoxes() { SetMessageBoxHandler(m_previous); }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const RecordedBox& box : boxes)
            texts.push_back(box.text);
        return texts;
    }

    std::vector<RecordedBox> boxes;

private:
    MessageBoxHandler m_previous;
};

// The window point that shows a world point of a curve editor's square,
// for a view of the given size.
inline QPoint WorldToWindow(const CGLView& view, double x, double y)
{
    const int w = view.Client().right, h = view.Client().bottom;
    return QPoint(static_cast<int>((x + 10.0) / 20.0 * w), static_cast<int>(h - (y + 10.0) / 20.0 * h));
}

// The widest texture the view's OpenGL takes.
inline int MaxTextureSize(CGLView& view)
{
    GLint limit = 0;
    if (view.Context()->makeCurrent(&view)) {
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
        view.Context()->doneCurrent();
    }
    return limit;
}

// What the view shows on the screen now, after rendering a fresh frame.
inline QImage GrabView(CGLView& view)
{
    view.RenderFrame();
    return view.screen()->grabWindow(view.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

inline bool ColourNear(QRgb pixel, int r, int g, int b, int tolerance = 2)
{
    return std::abs(qRed(pixel) - r) <= tolerance && std::abs(qGreen(pixel) - g) <= tolerance &&
           std::abs(qBlue(pixel) - b) <= tolerance;
}

// Pixels more than 3 apart in a channel; every pixel when the sizes differ.
inline int CountDifferentPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return a.width() * a.height();
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (!ColourNear(a.pixel(x, y), qRed(b.pixel(x, y)), qGreen(b.pixel(x, y)),
                            qBlue(b.pixel(x, y)), 3))
                ++count;
    return count;
}

// The pixels that differ at all: for pictures that must be the same bits.
inline int CountUnequalPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return a.width() * a.height();
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    return count;
}

// Turns the wheel over `window` at `at` (logical pixels) by `angleDelta`
// eighths of a degree: y forward and back, x sideways. QTest has no wheel.
inline void TurnWheel(QWindow& window, QPoint at, QPoint angleDelta)
{
    QWheelEvent event(at, window.mapToGlobal(at), QPoint(), angleDelta, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&window, &event);
}

inline void ProcessEvents()
{
    QCoreApplication::processEvents();
}
