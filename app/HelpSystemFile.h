// What a help file says about itself in its #SYSTEM file, which the extractor unpacks at the top of the folder:
// the default topic, the title and the language. The file is a version word followed by records of a 16-bit
// code, a 16-bit length and that many bytes, all little-endian; its strings are bytes in the ANSI code page of
// the file's language. Reading it needs no platform service, so it can be tested and fuzzed on its own.
#pragma once

#include "common/Str.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lantern {

// The ANSI code page of the Windows locale Lcid names (936, 950, 932, 949, 1250 to 1258, 874); 1252 for every
// language without one of its own.
int CodePageOfLanguage(std::uint32_t Lcid);

struct THelpSystemFile {
    std::vector<std::uint8_t> DefaultTopic; // without its NUL; empty when the file names none
    std::vector<std::uint8_t> Title;
    std::optional<std::uint32_t> Language; // LCID

    // Never reads past Bytes. A record whose length runs past the end ends the reading (the records before it
    // stand); a string record without its NUL, or a language record shorter than its id, counts as absent;
    // the first record of each code decides. Anything shorter than the version word holds nothing.
    static THelpSystemFile Read(std::span<const std::uint8_t> Bytes);

    // The code page of the file's strings and of its pages that declare none: that of Language, or CP_ACP
    // (the user's) for a file that names no language.
    int CodePage() const;
    u16 TitleText() const;
    // The default topic decoded in CodePage(), then, when the bytes are UTF-8 that reads otherwise, as UTF-8:
    // some compilers write the names they were given in UTF-8 whatever the language. Empty without one.
    std::vector<u16> DefaultTopicNames() const;
};

// A topic name as a path inside the unpacked folder: '\' counts as '/', whatever precedes a "::" (the help
// file's own name in a "file.chm::/page.htm" reference) and leading '/' are dropped, "." and ".." segments are
// resolved, and the anchor ("#part") is kept apart. None for a name that leaves the folder, names another
// scheme or a drive (a ':' in a segment), or names nothing.
struct TTopicPath {
    u16 Path;   // relative, '/'-separated, no "." or ".." segment
    u16 Anchor; // with its '#'; empty when none
};
std::optional<TTopicPath> TopicPathInFolder(u16v Topic);

} // namespace lantern
