#include "style/PropValue.h"

#include "common/WinMath.h"

namespace lantern {

int PropValue::AsInt() const
{
    switch (v_.index()) {
    case 1: return std::get<1>(v_);
    case 2: return std::get<2>(v_);
    case 3: {
        const double d = std::get<3>(v_);
        // Out-of-range floats saturate rather than wrap into an arbitrary integer.
        if (!(d > -2147483648.0)) return d != d ? 0 : INT32_MIN;
        if (d >= 2147483647.0) return INT32_MAX;
        return static_cast<int>(RoundHalfEven(d));
    }
    default: return 0;
    }
}

double PropValue::AsFloat() const
{
    switch (v_.index()) {
    case 1: return std::get<1>(v_);
    case 2: return std::get<2>(v_);
    case 3: return std::get<3>(v_);
    default: return 0;
    }
}

const u16& PropValue::Text() const
{
    static const u16 none;
    const u16* t = TextPtr();
    return t ? *t : none;
}

} // namespace lantern
