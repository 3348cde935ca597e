// What the document builder does with a META charset declaration, for tests and benchmarks that tokenize real
// pages before the builder exists: the buffer switches to the code page the page declares.
#pragma once

#include "markup/Attributes.h"
#include "markup/Buffer.h"
#include "markup/CodePages.h"
#include "markup/Symbols.h"

namespace lantern::testsupport {

inline void FollowMetaCharset(const TAttributeList& attributes, TBuffer& b)
{
    u16 name;
    if (const TAttribute* cs = attributes.Find(symCharset))
        name = cs->Value;
    else if (const TAttribute* content = attributes.Find(symContent)) {
        auto at = LowerAscii(content->Value).find(u"charset=");
        if (at == u16::npos)
            return;
        name = content->Value.substr(at + 8);
    }
    if (const TBuffCharSetCodePageInfo* row = FindCharSetInfo(name)) {
        b.SetCharSet(row->CharSet);
        b.SetCodePage(row->CodePage);
    }
}

} // namespace lantern::testsupport
