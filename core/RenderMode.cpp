#include "core/RenderMode.h"

namespace {

struct RenderModeName {
    RenderMode mode;
    const char* word;
};

// Every mode once, in the order of the enum.
constexpr RenderModeName kRenderModeNames[] = {
    {RenderMode::Solid, "solid"},
    {RenderMode::Wireframe, "wireframe"},
    {RenderMode::Point, "point"},
};

} // namespace

const char* RenderModeWord(RenderMode mode)
{
    for (const RenderModeName& name : kRenderModeNames)
        if (name.mode == mode)
            return name.word;
    return "";
}

std::optional<RenderMode> RenderModeFromWord(std::string_view word)
{
    for (const RenderModeName& name : kRenderModeNames)
        if (word == name.word)
            return name.mode;
    return std::nullopt;
}

std::vector<std::string> RenderModeWords()
{
    std::vector<std::string> words;
    for (const RenderModeName& name : kRenderModeNames)
        words.emplace_back(name.word);
    return words;
}
