// A property value cell: empty, an integer, a byte, a float or a text; and the integer sentinels box
// properties hold.
#pragma once

#include "common/Str.h"
#include "common/Types.h"

#include <cstdint>
#include <variant>

namespace lantern {

inline constexpr int UnsetLength = -12345678;        // not given for this element
inline constexpr int AutoLength = -12348765;         // "auto"
inline constexpr int ParagraphGapMarker = -12348766; // default vertical gap of paragraphs and lists

class PropValue {
public:
    PropValue() = default;
    PropValue(int v) : v_(v) {}
    PropValue(Color c) : v_(static_cast<int>(c)) {} // colours are stored as their 32-bit pattern
    PropValue(std::uint8_t v) : v_(v) {}
    PropValue(double v) : v_(v) {}
    PropValue(u16 v) : v_(std::move(v)) {}
    PropValue(u16v v) : v_(u16(v)) {}
    PropValue(const char16_t* v) : v_(u16(v)) {}

    bool IsEmpty() const { return v_.index() == 0; }
    bool IsInt() const { return v_.index() == 1; }
    bool IsByte() const { return v_.index() == 2; }
    bool IsFloat() const { return v_.index() == 3; }
    bool IsText() const { return v_.index() == 4; }
    bool IsNumeric() const { return IsInt() || IsByte() || IsFloat(); }
    // An integer cell holding exactly `v` (the sentinel tests).
    bool IsInt(int v) const { return IsInt() && std::get<1>(v_) == v; }

    // Numeric value as an integer (floats round half to even); 0 when not numeric.
    int AsInt() const;
    double AsFloat() const; // 0 when not numeric
    Color AsColor() const { return static_cast<Color>(AsInt()); }
    // The text; empty when the cell is not text.
    const u16& Text() const;
    const u16* TextPtr() const { return std::get_if<4>(&v_); }

    void Clear() { v_ = std::monostate{}; }

    friend bool operator==(const PropValue&, const PropValue&) = default;

private:
    std::variant<std::monostate, int, std::uint8_t, double, u16> v_;
};

} // namespace lantern
