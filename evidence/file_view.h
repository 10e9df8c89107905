// A whole file's bytes in memory, mapped from the page cache, for the passes of a clip and its
// checks: reading through a mapping copies nothing, where read() copies every byte once more.
// Where the file cannot be mapped (or on Windows, where a mapped file cannot be renamed or
// removed while it is open), it stays closed and callers read as they otherwise would.
#pragma once

#include "recording/recording.h"

#include <cstdint>
#include <string>
#include <vector>

namespace evidence {

class FileView {
public:
    FileView() = default;
    explicit FileView(const std::string& path) { open(path); }
    ~FileView();
    FileView(const FileView&) = delete;
    FileView& operator=(const FileView&) = delete;

    bool open(const std::string& path);
    bool isOpen() const { return m_data != nullptr; }
    const uint8_t* data() const { return m_data; }
    uint64_t size() const { return m_size; }

    // The frame's bytes, or nullptr when the view is closed or the frame lies past its end.
    const uint8_t* frame(const rec::Frame& f) const
    {
        return m_data && f.offset <= m_size && f.size <= m_size - f.offset ? m_data + f.offset : nullptr;
    }

private:
    const uint8_t* m_data = nullptr;
    uint64_t m_size = 0;
};

// A recording's frames, through a view of its file when there is one, else read. One a thread.
class FrameAccess {
public:
    FrameAccess(const rec::Recording& file, const FileView& view) : m_file(file), m_view(view) {}
    // The frame's bytes, valid until the next call; nullptr when they cannot be read.
    const uint8_t* bytes(const rec::Frame& f);

private:
    const rec::Recording& m_file;
    const FileView& m_view;
    std::vector<uint8_t> m_spare;
};

}  // namespace evidence
