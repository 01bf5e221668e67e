#include "crystal/line_endings.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "model/errors.h"
#include "model/file_io.h"

namespace kestro {

namespace {

constexpr std::size_t ProbeBytes = 300;
constexpr std::size_t MaxLineLength = 250;

// True when a CR immediately followed by LF occurs within the first 300
// bytes (the byte after the 300th is looked at, so that a pair straddling
// the limit counts). A shorter file is probed to its end only.
bool has_crlf(const std::string& bytes)
{
    const std::size_t n = std::min(bytes.size(), ProbeBytes);
    for (std::size_t i = 0; i < n; ++i)
        if (bytes[i] == '\r') return i + 1 < bytes.size() && bytes[i + 1] == '\n';
    return false;
}

// Every LF and every CR ends a line, and a CR LF pair ends one line, not two:
// a file mixing CR LF with lone CR or LF (the case that reaches this copy
// when its first pair lies beyond the probe) gains no empty lines. A final
// terminator does not start another line; a last line without one is kept.
std::string with_crlf_lines(const std::string& bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16 + 2);
    std::size_t start = 0;
    const auto end_line = [&](std::size_t stop) {
        out.append(bytes, start, std::min(stop - start, MaxLineLength));
        out += "\r\n";
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') continue;
        end_line(i);
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < bytes.size()) end_line(bytes.size());
    return out;
}

} // namespace

std::string repaired_name(const std::string& path)
{
    // For a three-letter extension this is the name minus its last three
    // characters, "U" and the extension; it stays in the file's own
    // directory whatever the length of the name or its extension.
    const std::filesystem::path p(path);
    std::filesystem::path copy = p;
    copy.replace_filename(p.stem().string() + ".U" + p.extension().string());
    return copy.string();
}

std::string repair_line_endings(const std::string& path)
{
    const std::string bytes = read_file_bytes(path);
    if (has_crlf(bytes)) return path;
    const std::string copy = repaired_name(path);
    write_file_atomically(copy, with_crlf_lines(bytes));
    return copy;
}

} // namespace kestro
