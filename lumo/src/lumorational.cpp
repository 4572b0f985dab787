#include "lumo/lumorational.h"

namespace {

// Euclid with truncating remainder; the sign follows the C++ remainder.
qint64 gcd(qint64 a, qint64 b)
{
    while (b != 0) {
        const qint64 r = a % b;
        a = b;
        b = r;
    }
    return a;
}

void reduce(LumoRational const& r, qint64& num, qint64& den)
{
    // 64 bits: reducing INT_MIN by -1 must not overflow.
    num = r.num;
    den = r.den;
    const qint64 g = gcd(num, den);
    num /= g;
    den /= g;
}

} // namespace

bool LumoRational::operator==(LumoRational const& other) const
{
    if (den == 0 || other.den == 0)
        return den == 0 && other.den == 0;
    qint64 n1, d1, n2, d2;
    reduce(*this, n1, d1);
    reduce(other, n2, d2);
    return n1 == n2 && d1 == d2;
}
