#pragma once
// The program's help: the topics of Kestro.hlp and the contents list of
// Kestro.cnt, in our own plain-text format (data/README-help.md).

#include <string>
#include <utility>
#include <vector>

namespace kestro {

struct HelpTopic {
    int context = 0;       // the context number the program opens it at
    std::string title;
    std::string text;      // lines joined by "\n", blank lines between paragraphs
};

// The topics in file order. IoError "File not found: PATH" when the file
// cannot be opened; IoError with the line number for a malformed "@topic"
// line, a repeated context number or text before the first topic.
std::vector<HelpTopic> read_help_file(const std::string& path);

// The topic of that context number, or nullptr.
const HelpTopic* find_topic(const std::vector<HelpTopic>& topics, int context);

// The entries of the contents file, (context number, title), in file order.
// IoError as read_help_file for a missing file or a malformed line.
std::vector<std::pair<int, std::string>> read_help_contents(const std::string& path);

} // namespace kestro
