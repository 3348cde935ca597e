#include "common/WinMath.h"

#include <climits>
#include <cmath>
#include <cstdlib>

namespace lantern {

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    long long product = static_cast<long long>(a) * b;
    bool negative = (product < 0) != (c < 0);
    unsigned long long num = static_cast<unsigned long long>(product < 0 ? -product : product);
    unsigned long long den = static_cast<unsigned long long>(c < 0 ? -static_cast<long long>(c) : c);
    unsigned long long q = (num + den / 2) / den;
    if (q > static_cast<unsigned long long>(INT_MAX))
        return -1;
    return negative ? -static_cast<int>(q) : static_cast<int>(q);
}

long long RoundHalfEven(double v)
{
    return static_cast<long long>(std::nearbyint(v)); // default FP rounding mode is to nearest, ties to even
}

long long Trunc(double v)
{
    return static_cast<long long>(std::trunc(v));
}

} // namespace lantern
