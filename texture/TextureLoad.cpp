#include <GL/gl.h>

#include <cstdio>
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
    requestUpdate();
}

RgbImage* CSurfaceView::LoadTextureImage(const char* path)
{
    if (!path)
        return nullptr;
    std::FILE* file = std::fopen(path, "r");
    if (!file)
        return nullptr;
    std::fclose(file);
    return LoadDibImage(path);
}
