#include "roundhalfeven.h"

#include <cmath>

qint64 roundHalfEven(double v)
{
    const double f = std::floor(v);
    const double diff = v - f;
    if (diff > 0.5)
        return qint64(f) + 1;
    if (diff < 0.5)
        return qint64(f);
    return std::fmod(f, 2.0) == 0.0 ? qint64(f) : qint64(f) + 1;
}

qint64 divideHalfEven(qint64 n, qint64 d)
{
    qint64 q = n / d;
    qint64 r = n % d;
    if (r < 0) {
        r += d;
        --q;
    }
    if (2 * r > d || (2 * r == d && q % 2 != 0))
        ++q;
    return q;
}
