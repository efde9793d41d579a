#include "app/DesignCommands.h"
#include "app/TextureMessages.h"

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "core/design/AtomicFile.h"
#include "core/export/DesignExport.h"
#include "core/export/PngEncoder.h"
#include "views/DesignImage.h"
#include "views/SurfaceView.h"
#include "app/TextureFile.h"

namespace {

// Where an export's files go: the output's folder ("" for the current one),
// its file name, and that name without its last extension, which names the
// files beside it (an OBJ's .mtl and texture).
struct OutputPlace {
    std::string folder;
    std::string fileName;
    std::string baseName;

    explicit OutputPlace(const std::string& path)
    {
        const std::size_t slash = path.rfind('/');
        if (slash != std::string::npos)
            folder = slash == 0 ? "/" : path.substr(0, slash);
        fileName = slash == std::string::npos ? path : path.substr(slash + 1);
        baseName = fileName.substr(0, fileName.rfind('.'));
    }
};

// The warning that `doing` goes on without the texture, for `why` it was not read.
std::string WithoutTexture(const char* doing, std::string why)
{
    while (!why.empty() && why.back() == '\n')
        why.pop_back();
    return std::string(doing) + " without the texture: " + why;
}

// The design's texture, or nothing with a warning that `doing` goes on
// without it; nothing and no warning for a design without a texture.
std::optional<RgbImage> LoadDesignTexture(const Design& design, const char* doing, std::string& warning)
{
    if (design.texturePath.empty())
        return std::nullopt;
    Result<RgbImage> texture = LoadTextureFile(design.texturePath.c_str());
    if (texture)
        return std::move(texture).Value();
    warning = WithoutTexture(doing, texture.Error());
    return std::nullopt;
}

Result<void> WritePng(const std::vector<unsigned char>& png, const std::string& outputPath)
{
    if (png.empty())
        return Failure{outputPath + ": the picture cannot be encoded as PNG"};
    const std::string_view bytes(reinterpret_cast<const char*>(png.data()), png.size());
    return WriteFileAtomically(outputPath, bytes);
}

// `written` done with `warning`, or its failure.
Result<Written> Finished(const Result<void>& written, std::string warning)
{
    if (!written)
        return Failure{written.Error()};
    return Written{std::move(warning)};
}

} // namespace

Result<Written> ExportDesignToFile(const Design& design, const std::string& outputPath)
{
    const std::optional<MeshFormat> format = MeshFormatForPath(outputPath);
    if (!format)
        return Failure{outputPath + ": " + MeshOutputNameRule()};
    // A format without a texture never reads it; one that takes only its
    // colour needs the pixels, one that embeds it the file's own bytes.
    std::string warning;
    std::optional<PictureFile> file;
    std::optional<RgbImage> pixels;
    const TextureUse use = MeshFormatInfoOf(*format).textureUse;
    if (use == TextureUse::File && !design.texturePath.empty()) {
        Result<PictureFile> read = LoadTextureForExport(design.texturePath.c_str());
        if (read)
            file = std::move(read).Value();
        else
            warning = WithoutTexture("exporting", read.Error());
    } else if (use == TextureUse::Colour) {
        pixels = LoadDesignTexture(design, "exporting", warning);
    }
    const OutputPlace output(outputPath);
    const Result<ExportedFiles> exported =
        ExportDesignMesh(design, pixels ? &*pixels : nullptr, *format, output.folder.empty() ? "." : output.folder,
                         output.baseName, file ? &*file : nullptr);
    if (!exported)
        return Failure{exported.Error()};
    return Finished(WriteExportFiles(*exported, output.folder, output.fileName), std::move(warning));
}

Result<Written> RenderDesignToFile(const Design& design, RenderMode mode, QSize size, const std::string& outputPath)
{
    std::string warning;
    std::optional<RgbImage> texture = LoadDesignTexture(design, "rendering", warning);
    const PictureSize textureRead = texture ? PictureSize{texture->width, texture->height} : PictureSize{};
    // The picture goes into the PNG a band at a time, never whole.
    PngRowEncoder png(size.width(), size.height());
    const Result<PictureSize> drawn = RenderDesignImage(
        design, texture ? std::make_unique<RgbImage>(std::move(*texture)) : nullptr, mode, size.width(),
        size.height(), [&png](const unsigned char* row) { png.AddRow(row); });
    if (!drawn)
        return Failure{drawn.Error()};
    if (*drawn != textureRead)
        warning = TextureMessages::Shrunk(design.texturePath, textureRead, *drawn);
    return Finished(WritePng(png.Finish(), outputPath), std::move(warning));
}

Result<Written> SaveSurfaceImage(CSurfaceView& view, const std::string& outputPath)
{
    const RgbImage image = view.CaptureFrame();
    if (image.pixels.empty())
        return Failure{"the 3D view has no picture to save"};
    return Finished(WritePng(EncodePng(image), outputPath), "");
}
