#include "formats/help_file.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string_view>

#include "model/errors.h"
#include "model/file_io.h"
#include "model/numbers.h"
#include "model/text.h"

namespace kestro {

namespace {

constexpr std::string_view kTopicTag = "@topic";

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// The lines of a help file, without a leading UTF-8 byte-order mark.
std::vector<std::string> help_lines(const std::string& path)
{
    std::string bytes = read_file_bytes(path);
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
    return split_lines(bytes);
}

// "N Title" with N a whole number >= 0 and a non-empty title.
std::optional<std::pair<int, std::string>> parse_number_and_title(std::string_view text)
{
    const std::string rest = trim(text);
    std::size_t end = 0;
    while (end < rest.size() && !is_blank(rest[end])) ++end;
    const std::optional<long long> number = parse_integer(std::string_view(rest).substr(0, end));
    if (!number || *number < 0 || *number > std::numeric_limits<int>::max()) return std::nullopt;
    std::string title = trim(std::string_view(rest).substr(end));
    if (title.empty()) return std::nullopt;
    return std::make_pair(static_cast<int>(*number), std::move(title));
}

std::string invalid(std::string_view what, std::size_t line_number)
{
    return std::string(what) + " at line " + std::to_string(line_number);
}

// Joins the text lines of one topic, dropping blank lines at both ends.
std::string join_text(const std::vector<std::string>& lines)
{
    auto first = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return !l.empty(); });
    auto last = std::find_if(lines.rbegin(), lines.rend(), [](const std::string& l) { return !l.empty(); }).base();
    std::string text;
    for (auto it = first; it < last; ++it) {
        if (it != first) text += '\n';
        text += *it;
    }
    return text;
}

} // namespace

std::vector<HelpTopic> read_help_file(const std::string& path)
{
    const std::vector<std::string> lines = help_lines(path);
    std::vector<HelpTopic> topics;
    std::vector<std::string> body;
    auto close_topic = [&] {
        if (!topics.empty()) topics.back().text = join_text(body);
        body.clear();
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t line_number = i + 1;
        const std::string line = trim_right(lines[i]);
        if (line.rfind(kTopicTag, 0) == 0) {
            const std::string_view rest = std::string_view(line).substr(kTopicTag.size());
            const auto entry = rest.empty() || !is_blank(rest.front()) ? std::nullopt : parse_number_and_title(rest);
            if (!entry) throw IoError(invalid("Invalid help topic", line_number));
            if (find_topic(topics, entry->first))
                throw IoError(invalid("Duplicate help topic " + std::to_string(entry->first), line_number));
            close_topic();
            topics.push_back(HelpTopic{entry->first, entry->second, {}});
            continue;
        }
        if (topics.empty()) {
            if (trim(line).empty() || line.front() == '#') continue;
            throw IoError(invalid("Help text before the first topic", line_number));
        }
        body.push_back(line);
    }
    close_topic();
    return topics;
}

const HelpTopic* find_topic(const std::vector<HelpTopic>& topics, int context)
{
    for (const HelpTopic& topic : topics)
        if (topic.context == context) return &topic;
    return nullptr;
}

std::vector<std::pair<int, std::string>> read_help_contents(const std::string& path)
{
    const std::vector<std::string> lines = help_lines(path);
    std::vector<std::pair<int, std::string>> entries;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string line = trim(lines[i]);
        if (line.empty() || line.front() == '#') continue;
        auto entry = parse_number_and_title(line);
        if (!entry) throw IoError(invalid("Invalid help contents entry", i + 1));
        entries.push_back(std::move(*entry));
    }
    return entries;
}

} // namespace kestro
