#pragma once
// Input/output failures of file access. A reader or writer throws IoError;
// each command catches it once at its boundary, shows the text and is
// abandoned.

#include <stdexcept>
#include <string>

namespace kestro {

class IoError : public std::runtime_error {
public:
    explicit IoError(const std::string& text) : std::runtime_error(text) {}
};

} // namespace kestro
