// The engine's failures: exceptions of its own classes, all derived from std::runtime_error.
#pragma once

#include <stdexcept>
#include <string>

namespace lantern {

class EhtException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace lantern
