#pragma once
// CIF 1.1 syntax: data blocks, items, loops, quoted strings, text fields.
// Values are views of the file's text, so that a file of millions of loop
// values takes little more memory than the text itself.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestro::cif {

// A value: the text between its quotes or of its text field.
struct CifValue {
    std::string_view text;
    char quote = 0; // '\'', '"' or ';' (text field); 0 when bare

    // '?' and '.' written bare stand for an unknown or inapplicable value.
    bool unknown() const { return quote == 0 && (text == "?" || text == "."); }
};

// A loop value kept small: where its text lies in the file.
struct CifCell {
    std::uint32_t begin = 0;
    std::uint32_t size = 0;
    char quote = 0;
};

struct CifLoop {
    std::string_view source;          // the file's text
    std::vector<std::string> names;   // lower case: CIF data names ignore case
    std::vector<std::string> written; // as in the file, for messages
    std::deque<CifCell> cells;        // row after row; grows without copying
    std::string_view keyword;         // where the loop starts, for messages

    int column(std::string_view name) const
    {
        for (std::size_t k = 0; k < names.size(); ++k)
            if (names[k] == name) return static_cast<int>(k);
        return -1;
    }
    int rows() const { return static_cast<int>(cells.size() / names.size()); }
    bool complete() const { return cells.size() % names.size() == 0; }
    CifValue at(int row, int col) const
    {
        const CifCell& cell = cells[static_cast<std::size_t>(row) * names.size() + static_cast<std::size_t>(col)];
        return {source.substr(cell.begin, cell.size), cell.quote};
    }
    void add(const CifValue& value)
    {
        cells.push_back({static_cast<std::uint32_t>(value.text.data() - source.data()),
                         static_cast<std::uint32_t>(value.text.size()), value.quote});
    }
};

struct CifBlock {
    std::string name;
    std::vector<std::pair<std::string, CifValue>> items;
    std::vector<CifLoop> loops;

    const CifValue* item(std::string_view name) const
    {
        for (const auto& [key, value] : items)
            if (key == name) return &value;
        return nullptr;
    }
    const CifLoop* loop_with(std::string_view name) const
    {
        for (const CifLoop& loop : loops)
            if (loop.column(name) >= 0) return &loop;
        return nullptr;
    }

    // The loop holding `name`, or, for a category written as single items
    // (a structure of one atom), a one-row loop of the items starting with
    // `prefix` (those starting with `excluded` left out) made in `row`.
    const CifLoop* table_with(std::string_view source, CifLoop& row, std::string_view name,
                              std::string_view prefix, std::string_view excluded = {}) const
    {
        if (const CifLoop* loop = loop_with(name)) return loop;
        if (item(name) == nullptr) return nullptr;
        row = CifLoop{};
        row.source = source;
        for (const auto& [key, value] : items) {
            if (!key.starts_with(prefix) || (!excluded.empty() && key.starts_with(excluded))) continue;
            if (row.names.empty()) row.keyword = value.text;
            row.names.push_back(key);
            row.written.push_back(key);
            row.add(value);
        }
        return &row;
    }
};

// Blocks in file order. Save frames are skipped; data before the first
// data_ (a header some writers leave out) form a block without a name.
std::vector<CifBlock> parse_blocks(std::string_view text);

} // namespace kestro::cif
