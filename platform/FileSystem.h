// Files as the engine sees them: full paths, existence with a case-insensitive fallback, whole-file reads.
// Help files were written for a case-insensitive file system, so their links often differ in letter case from the
// names on disk; LocateFile finds such a file segment by segment.
#pragma once

#include "common/Str.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace lantern::platform {

// An absolute path: relative names are taken against the current folder, "." and ".." segments are resolved
// lexically and repeated separators collapse.
u16 FullPath(u16v Name);

// True when Path names an existing file that is not a folder.
bool FileExists(u16v Path);

// Path itself when it names an existing file; otherwise the one file whose path matches it segment by segment
// ignoring letter case (an exact match of a segment wins over a case-insensitive one). Path must be absolute.
std::optional<u16> LocateFile(u16v Path);

// The whole content of a file, or nothing when it cannot be read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(u16v Path);

} // namespace lantern::platform
