#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "views/SurfaceView.h"
#include "views/TextureFile.h"

std::optional<TextureLoad> CSurfaceView::LoadTexture(const char* path)
{
    if (!MakeCurrent())
        return std::nullopt;
    RgbImage image;
    std::optional<TextureLoad> load = LoadTextureImage(path, image);
    if (load && load->Ok()) {
        load->shown = m_scene.ReplaceTexture(&image);
        Invalidate();
    }
    ReleaseCurrent();
    return load;
}

void CSurfaceView::RemoveTexture()
{
    if (MakeCurrent()) {
        m_scene.ReplaceTexture(nullptr);
        ReleaseCurrent();
    }
    Invalidate();
}

std::optional<TextureLoad> CSurfaceView::LoadTextureImage(const char* path, RgbImage& image)
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
