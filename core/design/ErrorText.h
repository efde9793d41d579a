#pragma once

#include <string>
#include <string.h>

// The system's text for an errno value, thread-safe. strerror_r comes in a
// GNU form (returns the text) and a POSIX form (fills the buffer).
namespace design_detail {

inline const char* PickErrorText(const char* text, const char*) { return text; }
inline const char* PickErrorText(int rc, const char* buffer) { return rc == 0 ? buffer : "unknown error"; }

inline std::string ErrorText(int err)
{
    char buffer[256] = "";
    return PickErrorText(strerror_r(err, buffer, sizeof buffer), buffer);
}

} // namespace design_detail
