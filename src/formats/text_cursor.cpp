#include "formats/text_cursor.h"

#include "model/errors.h"
#include "model/numbers.h"
#include "model/text.h"

namespace kestro {

namespace {
bool is_blank(char c) { return c == ' ' || c == '\t'; }

[[noreturn]] void beyond_end() { throw IoError("Read beyond end of file"); }
} // namespace

TextCursor::TextCursor(std::string_view content) : lines_(split_lines(content)) {}

void TextCursor::skip_line()
{
    if (at_end()) beyond_end();
    ++line_;
    column_ = 0;
}

std::string TextCursor::read_line()
{
    if (at_end()) beyond_end();
    const std::string& text = lines_[line_];
    std::string rest = column_ < text.size() ? text.substr(column_) : std::string();
    ++line_;
    column_ = 0;
    return rest;
}

std::string TextCursor::peek_line() const
{
    if (at_end()) return {};
    const std::string& text = lines_[line_];
    return column_ < text.size() ? text.substr(column_) : std::string();
}

std::string TextCursor::read_chars(std::size_t n)
{
    if (at_end()) beyond_end();
    const std::string& text = lines_[line_];
    if (column_ >= text.size()) return {};
    std::string part = text.substr(column_, n);
    column_ += part.size();
    return part;
}

std::string TextCursor::next_token()
{
    for (;;) {
        if (at_end()) beyond_end();
        const std::string& text = lines_[line_];
        while (column_ < text.size() && is_blank(text[column_])) ++column_;
        if (column_ < text.size()) break;
        ++line_;
        column_ = 0;
    }
    const std::string& text = lines_[line_];
    const std::size_t start = column_;
    while (column_ < text.size() && !is_blank(text[column_])) ++column_;
    return text.substr(start, column_ - start);
}

double TextCursor::read_real()
{
    if (const auto value = parse_real(next_token())) return *value;
    throw IoError("Invalid numeric input at line " + std::to_string(line_number()));
}

long long TextCursor::read_int()
{
    if (const auto value = parse_integer(next_token())) return *value;
    throw IoError("Invalid numeric input at line " + std::to_string(line_number()));
}

void TextCursor::end_line()
{
    if (at_end()) return;
    ++line_;
    column_ = 0;
}

} // namespace kestro
