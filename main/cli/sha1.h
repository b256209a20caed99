#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstddef>
#include <cstdint>

// SHA-1 for the calendar's event ids, which must stay what they have always
// been. On processors with the SHA extensions (most made since 2017) the
// blocks are hashed by them, several times faster than QCryptographicHash;
// elsewhere QCryptographicHash does it.
class Sha1
{
public:
    Sha1();
    void add(QByteArrayView bytes);
    // The 40 lower-case hex digits, then `suffix`; ends the hash (add
    // nothing after it).
    QByteArray hex(QByteArrayView suffix = {});

    // Whether the SHA extensions are used here.
    static bool accelerated();

private:
    void blocks(const unsigned char* data, size_t count);

    uint32_t m_state[5];
    unsigned char m_buffer[64];
    size_t m_buffered = 0;
    uint64_t m_length = 0;
    QByteArray m_fallback; // everything added, when not accelerated
};

inline QByteArray sha1Hex(QByteArrayView bytes, QByteArrayView suffix = {})
{
    Sha1 hash;
    hash.add(bytes);
    return hash.hex(suffix);
}
