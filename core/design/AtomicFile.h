#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Result.h"

// One file of a set written together: its name in the set's folder and its
// whole content.
struct FileToWrite {
    std::string name;
    std::string_view bytes;
};

// Writes a set of files into `folder` ("" for the current one) so that a
// failure leaves every existing file as it was: each file goes to a temporary
// file beside its target, which is flushed (fsync); only when all are written
// are they renamed over their targets, in the order given (the file that
// refers to the others last), and the folder is flushed. A replaced file keeps
// its permission bits (never set-user-ID, set-group-ID or sticky); a new one
// gets 0666 less the umask. A symbolic link at a target is replaced, not
// followed. A target that is a folder, or a file the user may not write, is
// refused before anything is renamed.
//
// Writers of the same folder take turns from the checks to the flush, so two
// at once leave one whole set, not a mix. Temporary files are remembered for
// RemoveTemporaryFilesOnTermination's handlers.
//
// A failure's message gives the path, what was being done and the system's
// error text; every temporary file is removed. Up to the first rename
// nothing is changed. A rename can still fail after the checks
// (the folder changed meanwhile, an immutable file, an I/O error): the files
// renamed before it stay replaced. A failure to flush the folder leaves the
// new files in place, possibly not yet safe from a crash.
Result<void> WriteFilesAtomically(const std::string& folder, const std::vector<FileToWrite>& files) noexcept;

// The set of one file at `path`.
Result<void> WriteFileAtomically(const std::string& path, std::string_view bytes) noexcept;
