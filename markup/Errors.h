// Failures raised by the markup readers. Both are caught where a whole parse or load ends: a document
// simply stops at the point of failure with what was built so far.
#pragma once

#include "common/Exceptions.h"

namespace lantern {

// A charset or code page without a counterpart in the charset table.
class EConversionError : public EhtException {
public:
    using EhtException::EhtException;
};

// The HTML and CSS readers' one failure: text that ends inside a comment.
class EParseError : public EhtException {
public:
    using EhtException::EhtException;
};

} // namespace lantern
