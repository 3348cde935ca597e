#include "style/PropValue.h"

#include "common/WinMath.h"

#include <cstdint>

namespace lantern {

int PropValue::AsInt() const
{
    switch (kind_) {
    case Kind::Int: return p_.i;
    case Kind::Byte: return p_.b;
    case Kind::Float:
        // Out-of-range floats saturate rather than wrap into an arbitrary integer.
        if (p_.d != p_.d) return 0;
        if (p_.d <= -2147483648.0) return INT32_MIN;
        if (p_.d >= 2147483647.0) return INT32_MAX;
        return static_cast<int>(RoundHalfEven(p_.d));
    default: return 0;
    }
}

double PropValue::AsFloat() const
{
    switch (kind_) {
    case Kind::Int: return p_.i;
    case Kind::Byte: return p_.b;
    case Kind::Float: return p_.d;
    default: return 0;
    }
}

const u16& PropValue::Text() const
{
    static const u16 none;
    return kind_ == Kind::Text ? p_.t->Text : none;
}

bool operator==(const PropValue& a, const PropValue& b)
{
    if (a.kind_ != b.kind_) return false;
    switch (a.kind_) {
    case PropValue::Kind::Empty: return true;
    case PropValue::Kind::Int: return a.p_.i == b.p_.i;
    case PropValue::Kind::Byte: return a.p_.b == b.p_.b;
    case PropValue::Kind::Float: return a.p_.d == b.p_.d;
    case PropValue::Kind::Text: return a.p_.t == b.p_.t || a.p_.t->Text == b.p_.t->Text;
    }
    return false;
}

} // namespace lantern
