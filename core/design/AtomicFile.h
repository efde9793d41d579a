#pragma once

#include <string>
#include <string_view>

// Replaces the file at `path` with `bytes` so that the previous file stays
// whole until the new one is complete on disk: the bytes go to a temporary
// file beside it (mkstemp), are flushed (fsync), renamed over `path`, and the
// folder is flushed. The new file keeps the previous file's permission bits,
// or gets 0666 less the umask. A symbolic link at `path` is replaced, not
// followed.
//
// On failure returns false and sets `reason` to the path, what was being done
// and the system's error text; the temporary file is removed. Up to the rename
// the previous file is untouched; a failure after it (flushing the folder)
// leaves the new file in place, possibly not yet safe from a crash.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& reason) noexcept;
