#pragma once

#include <string>

// A compatibility-profile desktop OpenGL context current on a pbuffer of a
// given size, made through EGL on Mesa's surfaceless platform: no window
// system, no display server and no GPU needed (Mesa falls back to its
// software rasterizer). The context is current from construction to
// destruction, on the constructing thread.
class HeadlessGLContext {
public:
    HeadlessGLContext(int width, int height);
    ~HeadlessGLContext();
    HeadlessGLContext(const HeadlessGLContext&) = delete;
    HeadlessGLContext& operator=(const HeadlessGLContext&) = delete;

    bool IsValid() const { return m_context != nullptr; }
    // Why the context could not be made; empty when it is valid.
    const std::string& Problem() const { return m_problem; }

private:
    void Fail(const char* step);

    void* m_display = nullptr;
    void* m_surface = nullptr;
    void* m_context = nullptr;
    std::string m_problem;
};
