#include "model/text.h"

#include <algorithm>
#include <cctype>

namespace kestro {

namespace {
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
} // namespace

std::string trim(std::string_view text) { return std::string(trimmed(text)); }

std::string_view trimmed(std::string_view text)
{
    std::size_t first = 0;
    while (first < text.size() && is_blank(text[first])) ++first;
    std::size_t last = text.size();
    while (last > first && is_blank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

std::string trim_right(std::string_view text)
{
    std::size_t last = text.size();
    while (last > 0 && is_blank(text[last - 1])) --last;
    return std::string(text.substr(0, last));
}

std::string printable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 32 && c != 127) out += c;
    return out;
}

void trim_right_in_place(std::string& text)
{
    std::size_t last = text.size();
    while (last > 0 && is_blank(text[last - 1])) --last;
    text.resize(last);
}

std::string to_upper(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

std::string to_lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

std::string replace_all(std::string text, std::string_view from, std::string_view to)
{
    if (from.empty()) return text;
    std::size_t at = 0;
    while ((at = text.find(from, at)) != std::string::npos) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
    return text;
}

std::string base_name(std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

} // namespace kestro

namespace kestro {

std::vector<std::string> split_lines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<std::string> split_words(std::string_view text)
{
    std::vector<std::string> words;
    std::size_t at = 0;
    while ((at = text.find_first_not_of(" \t", at)) != std::string_view::npos) {
        const std::size_t end = std::min(text.find_first_of(" \t", at), text.size());
        words.emplace_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

} // namespace kestro
