// A Bloom filter over the parts selectors name: tags, classes, ids and pseudo-classes. The cascade asks it one
// question, "might every part this rule's ancestors need occur here?", and a no is always right, so a rule is
// matched against the property stack only when the answer is yes.
#pragma once

#include "common/Str.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace lantern {

class TPartFilter {
public:
    // Parts are hashed with their kind: 't' tag, '.' class, '#' id, ':' pseudo-class.
    static std::uint32_t PartHash(char16_t kind, u16v text)
    {
        std::uint32_t hash = 2166136261u ^ kind; // FNV-1a
        for (char16_t c : text)
            hash = (hash ^ c) * 16777619u;
        return hash;
    }

    // Calls `add` with the hash of every non-empty part (each class of the "."-joined list on its own).
    template <typename F> static void ForEachPart(u16v tag, u16v classes, u16v id, u16v pseudo, F add)
    {
        if (!tag.empty())
            add(PartHash(u't', tag));
        for (std::size_t start = 0; start < classes.size();) {
            std::size_t dot = std::min(classes.find(u'.', start), classes.size());
            if (dot > start)
                add(PartHash(u'.', classes.substr(start, dot - start)));
            start = dot + 1;
        }
        if (!id.empty())
            add(PartHash(u'#', id));
        if (!pseudo.empty())
            add(PartHash(u':', pseudo));
    }

    // 256 bits, two per part.
    void Add(std::uint32_t hash)
    {
        Bits[(hash >> 6) & 3] |= std::uint64_t(1) << (hash & 63);
        Bits[(hash >> 14) & 3] |= std::uint64_t(1) << ((hash >> 8) & 63);
    }
    void AddParts(u16v tag, u16v classes, u16v id, u16v pseudo)
    {
        ForEachPart(tag, classes, id, pseudo, [this](std::uint32_t hash) { Add(hash); });
    }
    // True when every part added to `needed` may have been added here.
    bool Covers(const TPartFilter& needed) const
    {
        for (std::size_t i = 0; i < Bits.size(); ++i)
            if (needed.Bits[i] & ~Bits[i])
                return false;
        return true;
    }

private:
    std::array<std::uint64_t, 4> Bits{};
};

} // namespace lantern
