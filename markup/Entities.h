// The character entity table: the 252 named references of HTML 4.01 with their code points, plus
// "apos" as U+2019. Names are case-sensitive ("Agrave" and "agrave" are different rows).
#pragma once

#include "common/Str.h"

#include <span>
#include <string_view>

namespace lantern {

struct TEntityInfo {
    std::string_view Name;
    char16_t CodePoint;
};

// The code point of a named reference, or 0 when the name is not in the table.
char16_t FindEntity(u16v name);
std::span<const TEntityInfo> EntityTable();

} // namespace lantern
