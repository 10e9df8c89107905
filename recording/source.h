// Random access to a recording's bytes: a file or a copy of a memory buffer.
#pragma once

#include "recording/recording.h"

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <vector>

namespace rec {

class Source {
public:
    virtual ~Source() = default;
    uint64_t size() const { return m_size; }
    // Reads exactly n bytes at off; false if any of them lies past the end or the read fails.
    virtual bool read(uint64_t off, void* buf, size_t n) const = 0;

protected:
    uint64_t m_size = 0;
};

class FileSource : public Source {
public:
    ~FileSource() override;
    Status open(const std::string& path);
    bool read(uint64_t off, void* buf, size_t n) const override;

private:
    std::FILE* m_f = nullptr;
    mutable std::mutex m_lock;  // Windows: the one stream position all readers share
};

class MemorySource : public Source {
public:
    MemorySource(const void* data, size_t size);
    bool read(uint64_t off, void* buf, size_t n) const override;

private:
    std::vector<uint8_t> m_bytes;
};

}  // namespace rec
