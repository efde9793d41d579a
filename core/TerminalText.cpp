#include "core/TerminalText.h"

#include <cstdio>

namespace {

// The length of the UTF-8 sequence `text` starts with; 0 when it starts
// with a byte that begins no valid one (a stray continuation, an overlong
// form, a surrogate, a code point above U+10FFFF or a cut-off sequence).
std::size_t Utf8SequenceLength(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

void AppendEscape(std::string& out, const char* format, unsigned value)
{
    char escape[8];
    std::snprintf(escape, sizeof escape, format, value);
    out += escape;
}

} // namespace

std::string EscapeForTerminal(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const unsigned char first = static_cast<unsigned char>(text[0]);
        const std::size_t length = Utf8SequenceLength(text);
        if (first == '\n')
            out += "\\n";
        else if (first == '\t')
            out += "\\t";
        else if (first == '\r')
            out += "\\r";
        else if (first == '\\')
            out += "\\\\";
        else if (first < 0x20 || first == 0x7F || length == 0)
            AppendEscape(out, "\\x%02x", first);
        else if (first == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0)  // C1: U+0080 to U+009F
            AppendEscape(out, "\\u%04x", static_cast<unsigned char>(text[1]));
        else
            out.append(text.substr(0, length));
        text.remove_prefix(length == 0 ? 1 : length);
    }
    return out;
}

bool IsValidUtf8(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t length = Utf8SequenceLength(text);
        if (length == 0)
            return false;
        text.remove_prefix(length);
    }
    return true;
}
