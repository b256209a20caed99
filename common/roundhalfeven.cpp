#include "roundhalfeven.h"

#include <cmath>

long long roundHalfEven(double v)
{
    const double f = std::floor(v);
    const double diff = v - f;
    if (diff > 0.5)
        return static_cast<long long>(f) + 1;
    if (diff < 0.5)
        return static_cast<long long>(f);
    return std::fmod(f, 2.0) == 0.0 ? static_cast<long long>(f) : static_cast<long long>(f) + 1;
}

long long divideHalfEven(long long n, long long d)
{
    long long q = n / d;
    long long r = n % d;
    if (r < 0) {
        r += d;
        --q;
    }
    if (2 * r > d || (2 * r == d && q % 2 != 0))
        ++q;
    return q;
}
