#include "evidence/sha256.h"

#include <windows.h>
#include <bcrypt.h>

#include <stdexcept>

namespace evidence {

// One algorithm provider for the process; hashes are made from it.
struct Sha256::State {
    BCRYPT_HASH_HANDLE hash = nullptr;
};

namespace {

BCRYPT_ALG_HANDLE provider()
{
    static BCRYPT_ALG_HANDLE algorithm = [] {
        BCRYPT_ALG_HANDLE handle = nullptr;
        if (BCryptOpenAlgorithmProvider(&handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0) < 0) handle = nullptr;
        return handle;
    }();
    if (!algorithm) throw std::runtime_error("SHA-256 unavailable");
    return algorithm;
}

BCRYPT_HASH_HANDLE newHash()
{
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (BCryptCreateHash(provider(), &hash, nullptr, 0, nullptr, 0, 0) < 0) throw std::runtime_error("SHA-256 unavailable");
    return hash;
}

}  // namespace

Sha256::Sha256() : m_state(new State) { m_state->hash = newHash(); }

Sha256::~Sha256() { BCryptDestroyHash(m_state->hash); }

void Sha256::update(const void* data, size_t size)
{
    // BCryptHashData takes at most 4 GiB a call.
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    while (size) {
        ULONG piece = size > 0x40000000 ? 0x40000000 : ULONG(size);
        BCryptHashData(m_state->hash, const_cast<PUCHAR>(bytes), piece, 0);
        bytes += piece;
        size -= piece;
    }
}

Digest Sha256::digest()
{
    Digest out{};
    BCryptFinishHash(m_state->hash, out.data(), ULONG(out.size()), 0);
    BCryptDestroyHash(m_state->hash);
    m_state->hash = newHash();
    return out;
}

}  // namespace evidence
