// A text picture of a laid-out section tree, for tests, lantern-render and debugging: one line per section with
// its kind, box and character range, and under a text section one line per laid-out line with its position,
// size and first words.
#pragma once

#include <string>

namespace lantern {

class TSectionBaseList;
class TSectionBase;

std::string DumpLayout(const TSectionBaseList& cell);
std::string DumpSection(const TSectionBase& section, int depth = 0);

} // namespace lantern
