#pragma once

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <memory>

// A compatibility-profile context made current on an offscreen surface, for
// tests of code that issues fixed-function OpenGL calls.
class GLTestContext {
public:
    GLTestContext()
    {
        QSurfaceFormat format;
        format.setProfile(QSurfaceFormat::CompatibilityProfile);
        format.setDepthBufferSize(24);
        m_surface.setFormat(format);
        m_surface.create();
        m_context.setFormat(format);
        m_valid = m_context.create() && m_context.makeCurrent(&m_surface);
    }
    ~GLTestContext() { m_context.doneCurrent(); }
    bool IsValid() const { return m_valid; }

private:
    QOffscreenSurface m_surface;
    QOpenGLContext m_context;
    bool m_valid = false;
};
