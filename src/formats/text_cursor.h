#pragma once
// Reads a text file the way a line-and-token reader does: whole lines,
// a fixed number of characters, or blank-separated numbers that may run on
// to the following lines. Every failure is an IoError naming the line.

#include <string>
#include <string_view>
#include <vector>

namespace kestro {

class TextCursor {
public:
    explicit TextCursor(std::string_view content);

    // Passes over the rest of the current line.
    void skip_line();
    // The rest of the current line; the cursor moves to the next line.
    std::string read_line();
    // Up to n characters of the current line; the cursor stays on it.
    std::string read_chars(std::size_t n);
    // The rest of the current line; the cursor stays.
    std::string peek_line() const;
    // The next blank-separated token; line ends are skipped.
    std::string read_word() { return next_token(); }
    // The next blank-separated token as a number; line ends are skipped.
    double read_real();
    long long read_int();
    // Moves to the start of the next line (nothing at the end of the file).
    void end_line();

    int line_number() const { return static_cast<int>(line_) + 1; }
    bool at_end() const { return line_ >= lines_.size(); }

private:
    std::string next_token();

    std::vector<std::string> lines_;
    std::size_t line_ = 0;
    std::size_t column_ = 0;
};

} // namespace kestro
