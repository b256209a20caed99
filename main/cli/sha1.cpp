#include "sha1.h"

#include <QCryptographicHash>

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define QUILL_SHA1_X86 1
#endif

namespace {

#ifdef QUILL_SHA1_X86
bool hasShaExtensions()
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_SSE4_1) || !(c & bit_SSSE3))
        return false;
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d))
        return false;
    return (b & (1u << 29)) != 0; // SHA
}

// 64-byte blocks through the SHA extensions: twenty groups of four rounds,
// each group's four message words made from the four groups before it.
__attribute__((target("sha,sse4.1,ssse3"))) void hashBlocks(uint32_t state[5],
                                                            const unsigned char* data, size_t count)
{
    const __m128i bigEndian = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
    __m128i abcd =
        _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1B);
    __m128i e = _mm_set_epi32(int(state[4]), 0, 0, 0);
    for (; count > 0; --count, data += 64) {
        const __m128i abcdBefore = abcd;
        const __m128i eBefore = e;
        __m128i w[4];
        for (int i = 0; i < 4; ++i)
            w[i] = _mm_shuffle_epi8(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i)), bigEndian);
        __m128i previous = abcd; // the state before the last group
#pragma GCC unroll 20
        for (int group = 0; group < 20; ++group) {
            __m128i& words = w[group % 4];
            if (group >= 4)
                words =
                    _mm_sha1msg2_epu32(_mm_xor_si128(_mm_sha1msg1_epu32(words, w[(group + 1) % 4]),
                                                     w[(group + 2) % 4]),
                                       w[(group + 3) % 4]);
            const __m128i withE =
                group == 0 ? _mm_add_epi32(e, words) : _mm_sha1nexte_epu32(previous, words);
            previous = abcd;
            switch (group / 5) {
            case 0:
                abcd = _mm_sha1rnds4_epu32(abcd, withE, 0);
                break;
            case 1:
                abcd = _mm_sha1rnds4_epu32(abcd, withE, 1);
                break;
            case 2:
                abcd = _mm_sha1rnds4_epu32(abcd, withE, 2);
                break;
            default:
                abcd = _mm_sha1rnds4_epu32(abcd, withE, 3);
                break;
            }
        }
        e = _mm_sha1nexte_epu32(previous, eBefore);
        abcd = _mm_add_epi32(abcd, abcdBefore);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(abcd, 0x1B));
    state[4] = uint32_t(_mm_extract_epi32(e, 3));
}
#else
bool hasShaExtensions()
{
    return false;
}
void hashBlocks(uint32_t*, const unsigned char*, size_t) {}
#endif

} // namespace

bool Sha1::accelerated()
{
    static const bool has = hasShaExtensions();
    return has;
}

Sha1::Sha1() : m_state{0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u} {}

void Sha1::blocks(const unsigned char* data, size_t count)
{
    hashBlocks(m_state, data, count);
}

void Sha1::add(QByteArrayView bytes)
{
    if (!accelerated()) {
        m_fallback.append(bytes);
        return;
    }
    auto p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t n = size_t(bytes.size());
    if (n == 0)
        return;
    m_length += n;
    if (m_buffered > 0) {
        const size_t take = std::min(n, sizeof m_buffer - m_buffered);
        std::memcpy(m_buffer + m_buffered, p, take);
        m_buffered += take;
        p += take;
        n -= take;
        if (m_buffered < sizeof m_buffer)
            return;
        blocks(m_buffer, 1);
        m_buffered = 0;
    }
    if (n >= 64) {
        blocks(p, n / 64);
        p += n / 64 * 64;
        n %= 64;
    }
    std::memcpy(m_buffer, p, n);
    m_buffered = n;
}

QByteArray Sha1::hex(QByteArrayView suffix)
{
    if (!accelerated())
        return QCryptographicHash::hash(m_fallback, QCryptographicHash::Sha1)
            .toHex()
            .append(suffix);
    // 0x80, zeros up to 56 bytes in the last block, the length in bits.
    const uint64_t bits = m_length * 8;
    m_buffer[m_buffered++] = 0x80;
    if (m_buffered > 56) {
        std::memset(m_buffer + m_buffered, 0, 64 - m_buffered);
        blocks(m_buffer, 1);
        m_buffered = 0;
    }
    std::memset(m_buffer + m_buffered, 0, 56 - m_buffered);
    for (int i = 0; i < 8; ++i)
        m_buffer[56 + i] = static_cast<unsigned char>(bits >> (56 - 8 * i));
    blocks(m_buffer, 1);
    static const char digits[] = "0123456789abcdef";
    QByteArray out(40 + suffix.size(), Qt::Uninitialized);
    char* p = out.data();
    for (int i = 0; i < 20; ++i) {
        const unsigned byte = (m_state[i / 4] >> (24 - 8 * (i % 4))) & 0xff;
        *p++ = digits[byte >> 4];
        *p++ = digits[byte & 15];
    }
    if (!suffix.isEmpty())
        std::memcpy(p, suffix.data(), size_t(suffix.size()));
    return out;
}
