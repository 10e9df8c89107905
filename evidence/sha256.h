// SHA-256 from the platform's own library: CNG (bcrypt) on Windows, OpenSSL's libcrypto
// elsewhere. Fed in pieces; digest() ends it.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace evidence {

using Digest = std::array<uint8_t, 32>;

class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void update(const void* data, size_t size);
    // The digest of everything fed since construction or the last digest(); starts afresh.
    Digest digest();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Lower-case hex, 64 characters.
std::string toHex(const Digest& digest);
Digest sha256Of(const void* data, size_t size);
// The digest of bytes in memory of any size, fed in pieces; false once stop (when given) is set.
bool sha256OfBytes(const uint8_t* data, uint64_t size, Digest& digest, const std::atomic<bool>* stop = nullptr);
// The digest of a whole file (UTF-8 path); false when it cannot be read to its end, or once
// stop (when given) is set.
bool sha256OfFile(const std::string& path, Digest& digest, uint64_t* size = nullptr,
                  const std::atomic<bool>* stop = nullptr);

}  // namespace evidence
