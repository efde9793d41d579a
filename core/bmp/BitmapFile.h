#pragma once

#include <cstddef>
#include <memory>
#include <vector>

// A bitmap file opened for reading, whose bytes are then read whole into
// memory. Reading rather than mapping means another process that truncates
// or rewrites the file while it is loaded only changes which bytes arrive;
// it can never fault the reader.
class BitmapFile {
public:
    // Opens regular, non-empty files only, without blocking: a FIFO, a
    // device or a directory is refused, never waited on or read.
    explicit BitmapFile(const char* path);
    ~BitmapFile();
    BitmapFile(const BitmapFile&) = delete;
    BitmapFile& operator=(const BitmapFile&) = delete;

    bool IsOpen() const { return m_fd >= 0; }

    // The file's bytes from the start, up to kMaxBytes; fewer when the file
    // ends early (it may have shrunk since it was opened). Empty on failure.
    struct Contents {
        std::unique_ptr<unsigned char[]> data;  // left uninitialised past size
        std::size_t size = 0;
        std::vector<unsigned char> ToVector() const { return {data.get(), data.get() + size}; }
    };
    Contents ReadAll();

    // No bitmap the decoder accepts needs more: the largest picture at 32
    // bits per pixel, with room for headers, tables and compression overhead.
    static constexpr std::size_t kMaxBytes = (std::size_t(1) << 28) + (std::size_t(1) << 24);

private:
    int m_fd = -1;
};
