#include "core/design/TexturePath.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// `p` made absolute from the current directory (as it is when that cannot be
// read) and normalised.
fs::path Absolute(const std::string& p)
{
    std::error_code ec;
    fs::path result = fs::absolute(fs::path(p), ec);
    if (ec)
        result = fs::path(p);
    return result.lexically_normal();
}

} // namespace

std::string MakeStoredTexturePath(const std::string& designPath, const std::string& texturePath)
{
    if (texturePath.empty())
        return std::string();
    const fs::path texture = Absolute(texturePath);
    const fs::path relative = texture.lexically_relative(Absolute(designPath).parent_path());
    if (relative.empty() || relative == "." || *relative.begin() == "..")
        return texture.string();
    return relative.generic_string();
}

std::string ResolveStoredTexturePath(const std::string& designPath, const std::string& storedPath)
{
    if (storedPath.empty())
        return std::string();
    const fs::path stored(storedPath);
    if (stored.is_absolute())
        return stored.lexically_normal().string();
    return (Absolute(designPath).parent_path() / stored).lexically_normal().string();
}
