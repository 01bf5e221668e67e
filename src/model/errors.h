#pragma once
// Input/output failures of file access. A reader or writer throws IoError;
// each command catches it once at its boundary, shows the text and is
// abandoned.
//
// ProgramError is a fault of the program itself, such as a record number
// past the end of a table. It is thrown in every build, so that no command
// reads or writes memory that is not its own; the command line and the
// windows stop the command with its text.

#include <stdexcept>
#include <string>

namespace kestro {

class IoError : public std::runtime_error {
public:
    explicit IoError(const std::string& text) : std::runtime_error(text) {}
};

class ProgramError : public std::logic_error {
public:
    explicit ProgramError(const std::string& text) : std::logic_error(text) {}
};

// Throws the ProgramError of a 1-based index outside 1..capacity.
[[noreturn]] void index_out_of_table(int index, int capacity);

} // namespace kestro
