// A property value cell: empty, an integer, a byte, a float or a text; and the integer sentinels box
// properties hold.
#pragma once

#include "common/Str.h"
#include "common/Types.h"

#include <cstdint>

namespace lantern {

inline constexpr int UnsetLength = -12345678;        // not given for this element
inline constexpr int AutoLength = -12348765;         // "auto"
inline constexpr int ParagraphGapMarker = -12348766; // default vertical gap of paragraphs and lists

// Cells are copied for every element (inheritance copies most of 64), so a cell is 16 bytes and a text shares one
// immutable, reference-counted buffer between all the cells that hold it. Like the rest of the engine, cells
// belong to the user-interface thread: the count is not atomic.
class PropValue {
public:
    PropValue() = default;
    PropValue(int v) : kind_(Kind::Int), p_{.i = v} {}
    PropValue(Color c) : kind_(Kind::Int), p_{.i = static_cast<int>(c)} {} // colours keep their 32-bit pattern
    PropValue(std::uint8_t v) : kind_(Kind::Byte), p_{.b = v} {}
    PropValue(double v) : kind_(Kind::Float), p_{.d = v} {}
    PropValue(u16 v) : kind_(Kind::Text), p_{.t = new TextBlock{std::move(v), 1}} {}
    PropValue(u16v v) : PropValue(u16(v)) {}
    PropValue(const char16_t* v) : PropValue(u16(v)) {}

    PropValue(const PropValue& o) : kind_(o.kind_), p_(o.p_)
    {
        if (kind_ == Kind::Text) ++p_.t->Refs;
    }
    PropValue(PropValue&& o) noexcept : kind_(o.kind_), p_(o.p_) { o.kind_ = Kind::Empty; }
    PropValue& operator=(const PropValue& o)
    {
        if (o.kind_ == Kind::Text) ++o.p_.t->Refs; // first, so that self-assignment keeps the text alive
        Release();
        kind_ = o.kind_;
        p_ = o.p_;
        return *this;
    }
    PropValue& operator=(PropValue&& o) noexcept
    {
        if (this != &o) {
            Release();
            kind_ = o.kind_;
            p_ = o.p_;
            o.kind_ = Kind::Empty;
        }
        return *this;
    }
    ~PropValue() { Release(); }

    bool IsEmpty() const { return kind_ == Kind::Empty; }
    bool IsInt() const { return kind_ == Kind::Int; }
    bool IsByte() const { return kind_ == Kind::Byte; }
    bool IsFloat() const { return kind_ == Kind::Float; }
    bool IsText() const { return kind_ == Kind::Text; }
    bool IsNumeric() const { return kind_ == Kind::Int || kind_ == Kind::Byte || kind_ == Kind::Float; }
    // An integer cell holding exactly `v` (the sentinel tests).
    bool IsInt(int v) const { return kind_ == Kind::Int && p_.i == v; }

    // Numeric value as an integer (floats round half to even, saturating); 0 when not numeric.
    int AsInt() const;
    double AsFloat() const; // 0 when not numeric
    Color AsColor() const { return static_cast<Color>(AsInt()); }
    // The text; empty when the cell is not text.
    const u16& Text() const;
    const u16* TextPtr() const { return kind_ == Kind::Text ? &p_.t->Text : nullptr; }

    void Clear()
    {
        Release();
        kind_ = Kind::Empty;
    }

    friend bool operator==(const PropValue& a, const PropValue& b);

private:
    enum class Kind : std::uint8_t { Empty, Int, Byte, Float, Text };
    struct TextBlock {
        u16 Text;
        int Refs;
    };
    void Release()
    {
        if (kind_ == Kind::Text && --p_.t->Refs == 0) delete p_.t;
    }

    Kind kind_ = Kind::Empty;
    union Payload {
        int i;
        std::uint8_t b;
        double d;
        TextBlock* t;
    };
    Payload p_{}; // trivially copyable: copying the union copies whichever member is live
};

} // namespace lantern
