#include <GL/gl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "surface/SurfaceView.h"
#include "texture/DibReader.h"

void CSurfaceView::LoadTexture(const char* path)
{
    if (MakeCurrent()) {
        // The old texture goes whatever the outcome of the load.
        glDeleteTextures(1, &m_nTexture);
        RgbImage* image = LoadTextureImage(path);
        if (image) {
            glGenTextures(1, &m_nTexture);
            glBindTexture(GL_TEXTURE_2D, m_nTexture);
            // Rows are packed, 3 * width bytes, whatever the width.
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glTexImage2D(GL_TEXTURE_2D, 0, 3, image->width, image->height, 0, GL_RGB,
                         GL_UNSIGNED_BYTE, image->pixels);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            std::free(image->pixels);
            std::free(image);
        }
        ReleaseCurrent();
    }
    Invalidate();
}

RgbImage* CSurfaceView::LoadTextureImage(const char* path)
{
    if (!path)
        return nullptr;
    // A path that cannot be opened gives nothing, silently. The check never
    // blocks and never opens anything but a regular file: opening a FIFO
    // waits for a writer, and opening a device can have effects of its own.
    // Everything else goes to the reader, which refuses it with its box.
    struct stat st;
    if (::stat(path, &st) != 0)
        return nullptr;
    if (S_ISREG(st.st_mode)) {
        const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0)
            return nullptr;
        ::close(fd);
    }
    return LoadDibImage(path);
}
