#pragma once

#include <string>
#include <string_view>

// `text` as a terminal shows it on one line, as written: control characters
// (C0, DEL and C1) and backslashes become C-style escapes (\n, \x1b, \\,
// \u009b) and every byte that is not part of valid UTF-8 becomes \xHH, so
// that a file name can neither break a message into lines nor drive the
// terminal. Valid UTF-8 text passes unchanged.
std::string EscapeForTerminal(std::string_view text);

// Whether `text` is valid UTF-8 (RFC 3629: no overlong forms, surrogates or
// code points above U+10FFFF), as JSON readers require of strings.
bool IsValidUtf8(std::string_view text);
