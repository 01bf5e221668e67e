#pragma once
// Small text helpers shared by every reader, writer and grid.

#include <string>
#include <string_view>
#include <vector>

namespace kestro {

std::string trim(std::string_view text);          // blanks, tabs, CR, LF at both ends
std::string_view trimmed(std::string_view text);  // the same without a copy
std::string trim_right(std::string_view text);
// The text without control characters (codes below 32, and 127): a label
// read from a damaged file never holds a NUL or a carriage return.
std::string printable(std::string_view text);
// trim_right without a copy.
void trim_right_in_place(std::string& text);
std::string to_upper(std::string_view text);
std::string to_lower(std::string_view text);
bool contains(std::string_view text, std::string_view part);
// Replaces every occurrence of from by to.
std::string replace_all(std::string text, std::string_view from, std::string_view to);
// The words of a text, separated by blanks and tabs.
std::vector<std::string> split_words(std::string_view text);
// The name without its directory.
std::string base_name(std::string_view path);

} // namespace kestro

namespace kestro {
// Splits text at CR LF, LF or lone CR; a final line terminator does not
// start another (empty) line.
std::vector<std::string> split_lines(std::string_view text);
} // namespace kestro
