#include "app/DialogText.h"

#include <charconv>
#include <cstdio>
#include <limits>

namespace {

constexpr std::size_t kMaxFieldChars = 31;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

bool ParseDegreeText(const std::string& fullText, std::uint32_t& value)
{
    const std::string text = fullText.substr(0, kMaxFieldChars);
    std::size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    const bool startsWithZero = pos < text.size() && text[pos] == '0';
    if (pos < text.size() && text[pos] == '+')
        ++pos;
    const std::size_t firstDigit = pos;
    std::uint64_t parsed = 0;
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    while (pos < text.size() && IsDigit(text[pos])) {
        parsed = parsed * 10 + static_cast<std::uint64_t>(text[pos] - '0');
        if (parsed > kMax)
            parsed = kMax + 1;  // saturate; stays above the 32-bit range
        ++pos;
    }
    if (pos == firstDigit)
        return false;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    if (pos != text.size())
        return false;
    if (parsed == 0 && !startsWithZero)
        return false;
    value = parsed > kMax ? static_cast<std::uint32_t>(kMax) : static_cast<std::uint32_t>(parsed);
    return true;
}

std::string FormatDegreeText(std::uint32_t value)
{
    return std::to_string(value);
}

std::string FormatSelectedPoint(int index, double x, double y)
{
    if (index == -1)
        return "Selected CP :";
    return "Selected CP : P" + std::to_string(index) + " " + FormatWorldPoint(x, y);
}

std::string FormatWorldPoint(double x, double y)
{
    return "(" + FormatCoordinateText(x) + ", " + FormatCoordinateText(y) + ")";
}

std::string FormatCoordinateText(double value)
{
    const int length = std::snprintf(nullptr, 0, "%f", value);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%f", value);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

bool ParseCoordinateText(const std::string& text, double& value)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    // from_chars reads a '-' but not a '+', and is the same in every locale.
    if (begin < end && text[begin] == '+' && (end - begin == 1 || text[begin + 1] != '-'))
        ++begin;
    double parsed = 0.0;
    const auto [stop, error] = std::from_chars(text.data() + begin, text.data() + end, parsed);
    if (error != std::errc() || stop != text.data() + end || begin == end)
        return false;
    // NaN fails both comparisons, infinity the one on its side.
    if (!(parsed >= -kMaxTypedCoordinate && parsed <= kMaxTypedCoordinate))
        return false;
    value = parsed;
    return true;
}
