#include "app/DialogText.h"

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
    const int length = std::snprintf(nullptr, 0, "(%f, %f)", x, y);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), "(%f, %f)", x, y);
    text.resize(static_cast<std::size_t>(length));
    return text;
}
