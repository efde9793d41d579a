#include "views/HeadlessGLContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>

HeadlessGLContext::HeadlessGLContext(int width, int height)
{
    // The default display would look for an X or Wayland server; the
    // surfaceless platform needs neither.
    const auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) {
        Fail("EGL has no eglGetPlatformDisplayEXT");
        return;
    }
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) {
        Fail("no EGL display on Mesa's surfaceless platform");
        return;
    }
    EGLint major = 0, minor = 0;
    if (!eglInitialize(display, &major, &minor)) {
        Fail("eglInitialize failed");
        return;
    }
    m_display = display;
    // The window's buffers: 8-bit colour channels and a 24-bit depth buffer.
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
                                       EGL_DEPTH_SIZE, 24, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &configs) || configs < 1) {
        Fail("no EGL configuration for an OpenGL pbuffer");
        return;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display, config, surfaceAttributes);
    if (surface == EGL_NO_SURFACE) {
        Fail("cannot make the pbuffer");
        return;
    }
    m_surface = surface;
    // No context attributes: the compatibility profile, with the fixed-function pipeline.
    if (!eglBindAPI(EGL_OPENGL_API)) {
        Fail("EGL offers no desktop OpenGL");
        return;
    }
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) {
        Fail("cannot make an OpenGL context");
        return;
    }
    if (!eglMakeCurrent(display, surface, surface, context)) {
        eglDestroyContext(display, context);
        Fail("cannot make the OpenGL context current");
        return;
    }
    m_context = context;
}

HeadlessGLContext::~HeadlessGLContext()
{
    if (!m_display)
        return;
    eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (m_context)
        eglDestroyContext(m_display, m_context);
    if (m_surface)
        eglDestroySurface(m_display, m_surface);
    eglTerminate(m_display);
    eglReleaseThread();
}

void HeadlessGLContext::Fail(const char* step)
{
    char code[32];
    std::snprintf(code, sizeof code, " (EGL error 0x%04x)", static_cast<unsigned>(eglGetError()));
    m_problem = std::string("offscreen OpenGL: ") + step + code;
}
