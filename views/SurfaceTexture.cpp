#include <GL/gl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "views/SurfaceView.h"
#include "views/TextureFile.h"

std::optional<DibResult> CSurfaceView::LoadTexture(const char* path)
{
    std::optional<DibResult> result;
    if (MakeCurrent()) {
        // The old texture goes whatever the outcome of the load.
        glDeleteTextures(1, &m_nTexture);
        RgbImage image;
        result = LoadTextureImage(path, image);
        if (result == DibResult::Ok) {
            glGenTextures(1, &m_nTexture);
            glBindTexture(GL_TEXTURE_2D, m_nTexture);
            // Rows are packed, 3 * width bytes, whatever the width.
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glTexImage2D(GL_TEXTURE_2D, 0, 3, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                         image.pixels.data());
            glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        }
        ReleaseCurrent();
    }
    Invalidate();
    return result;
}

std::optional<DibResult> CSurfaceView::LoadTextureImage(const char* path, RgbImage& image)
{
    if (!path)
        return std::nullopt;
    // A path that cannot be opened gives nothing, silently. The check never
    // blocks and never opens anything but a regular file: opening a FIFO
    // waits for a writer, and opening a device can have effects of its own.
    // Everything else goes to the reader, which refuses it.
    struct stat st;
    if (::stat(path, &st) != 0)
        return std::nullopt;
    if (S_ISREG(st.st_mode)) {
        const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0)
            return std::nullopt;
        ::close(fd);
    }
    return LoadTextureFile(path, image);
}
