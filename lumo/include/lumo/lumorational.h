// A ratio of two signed 32-bit integers (frame rates, aspect ratios),
// kept as given: construction does not reduce it.
#ifndef LUMO_LUMORATIONAL_H
#define LUMO_LUMORATIONAL_H

#include <QtGlobal>

#include "lumo/lumoglobal.h"

class LUMO_EXPORT LumoRational {
public:
    LumoRational(int numerator = 0, int denominator = 0) : num(numerator), den(denominator) {}

    // Two zero denominators are equal whatever the numerators; one zero
    // denominator never equals a non-zero one; otherwise both are reduced
    // to lowest terms and compared.
    bool operator==(LumoRational const& other) const;
    bool operator!=(LumoRational const& other) const { return !(*this == other); }

    qint32 num;
    qint32 den;
};

#endif
