#include "evidence/sha256.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace evidence {

struct Sha256::State {
    EVP_MD_CTX* context = nullptr;
};

namespace {

void begin(EVP_MD_CTX* context)
{
    if (EVP_DigestInit_ex(context, EVP_sha256(), nullptr) != 1) throw std::runtime_error("SHA-256 unavailable");
}

}  // namespace

Sha256::Sha256() : m_state(new State)
{
    m_state->context = EVP_MD_CTX_new();
    if (!m_state->context) throw std::bad_alloc();
    begin(m_state->context);
}

Sha256::~Sha256() { EVP_MD_CTX_free(m_state->context); }

void Sha256::update(const void* data, size_t size)
{
    if (size) EVP_DigestUpdate(m_state->context, data, size);
}

Digest Sha256::digest()
{
    Digest out{};
    unsigned length = 0;
    EVP_DigestFinal_ex(m_state->context, out.data(), &length);
    begin(m_state->context);
    return out;
}

}  // namespace evidence
