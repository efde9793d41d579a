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
        RgbImage image;
        result = LoadTextureImage(path, image);
        m_scene.ReplaceTexture(result == DibResult::Ok ? &image : nullptr);
        ReleaseCurrent();
    }
    Invalidate();
    return result;
}

void CSurfaceView::RemoveTexture()
{
    if (MakeCurrent()) {
        m_scene.ReplaceTexture(nullptr);
        ReleaseCurrent();
    }
    Invalidate();
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
