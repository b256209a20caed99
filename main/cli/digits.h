#pragma once

#include <cstdio>
#include <initializer_list>

// `value` written at `at` in `width` digits (1 to 9) with leading zeros, as
// "%0*d" writes it, without the cost of printf on every line of a long
// listing; returns where the digits end.
inline char* putDigits(char* at, int value, int width)
{
    int limit = 1;
    for (int i = 0; i < width; ++i)
        limit *= 10;
    if (value < 0 || value >= limit)
        return at + std::snprintf(at, 16, "%0*d", width, value);
    for (int i = width - 1; i >= 0; --i, value /= 10)
        at[i] = char('0' + value % 10);
    return at + width;
}

// One number of a date or time as putDigits writes it, and the character
// after it ('\0': none).
struct DigitField
{
    int value;
    int width;
    char after = '\0';
};

// The fields one after another; returns where they end.
inline char* putFields(char* at, std::initializer_list<DigitField> fields)
{
    for (const DigitField& f : fields) {
        at = putDigits(at, f.value, f.width);
        if (f.after != '\0')
            *at++ = f.after;
    }
    return at;
}
