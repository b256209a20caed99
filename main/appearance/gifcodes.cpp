#include "gifcodes.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMaxCodes = 4096;

} // namespace

LzwExpanded expandLzw(const quint8* codes, qsizetype dataBytes, int minCodeSize, quint8* begin,
                      quint8* end)
{
    // A code's string is always somewhere in the output already: a new entry
    // is the previous code's string plus the first character of the one that
    // follows it, and in the output those two lie side by side. So the table
    // keeps where each string starts and how long it is, and a code is
    // written by copying those bytes forward.
    struct Entry
    {
        quint32 where;
        quint32 length;
    };
    Entry table[kMaxCodes];

    const int clear = 1 << minCodeSize;
    const int endCode = clear + 1;
    const int firstFree = clear + 2;
    int codeSize = minCodeSize + 1;
    quint32 codeMask = (1u << codeSize) - 1;
    int limit = 1 << codeSize;
    int nextFree = firstFree;
    bool afterClear = true; // no previous string to extend
    quint32 oldAt = 0;      // where the previous code's string was written
    int oldLength = 0;      // and how long it is

    const quint64 totalBits = quint64(dataBytes) * 8;
    quint64 bitPos = 0;
    LzwExpanded result;
    quint8* out = begin;

    while (out < end) {
        if (bitPos + quint64(codeSize) > totalBits) {
            result.outOfData = true;
            break;
        }
        quint32 word;
        std::memcpy(&word, codes + (bitPos >> 3), 4);
        int code = int((word >> (bitPos & 7)) & codeMask);
        bitPos += quint64(codeSize);

        if (code == clear) {
            nextFree = firstFree;
            codeSize = minCodeSize + 1;
            codeMask = (1u << codeSize) - 1;
            limit = 1 << codeSize;
            afterClear = true;
            continue;
        }
        if (code == endCode)
            break;
        const quint32 at = quint32(out - begin);
        if (afterClear) {
            // First code after a clear (or at the start): there is no string
            // to extend, and nothing but a root value makes sense.
            *out++ = quint8(code < nextFree ? code : 0);
            afterClear = false;
            oldAt = at;
            oldLength = 1;
            continue;
        }
        if (code > nextFree) {
            result.badCode = true;
            break;
        }
        int n = 1;
        if (code < clear) {
            *out = quint8(code);
        } else {
            // A code equal to the entry being made stands for the previous
            // string plus its own first character: the copy below reads the
            // bytes it has just written, which gives exactly that.
            const Entry e = code == nextFree ? Entry{oldAt, quint32(oldLength + 1)} : table[code];
            const quint8* src = begin + e.where;
            n = int(e.length);
            // Eight bytes at a time where source and target lie that far
            // apart and the output has room for the rounding up; nothing
            // is written past the end of the output.
            if (out - src >= 8 && end - out >= n + 8) {
                for (int k = 0; k < n; k += 8)
                    std::memcpy(out + k, src + k, 8);
            } else {
                n = int(std::min<qint64>(n, end - out));
                for (int k = 0; k < n; ++k)
                    out[k] = src[k];
            }
        }
        out += n;
        if (nextFree < kMaxCodes) {
            table[nextFree] = Entry{oldAt, quint32(oldLength + 1)};
            ++nextFree;
            if (nextFree >= limit && codeSize < 12) {
                ++codeSize;
                codeMask = (1u << codeSize) - 1;
                limit <<= 1;
            }
        }
        oldAt = at;
        oldLength = n;
    }
    result.count = out - begin;
    return result;
}
