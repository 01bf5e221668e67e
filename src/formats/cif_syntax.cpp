#include "formats/cif_syntax.h"

#include <cctype>

#include "model/text.h"

namespace kestro::cif {

namespace {

enum class TokenKind { Name, Value, Loop, Data, Save, Other };

struct Token {
    TokenKind kind = TokenKind::Value;
    CifValue value; // for Data and Save the name after the prefix
};

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_line_end(char c) { return c == '\n' || c == '\r'; }

bool starts_with_word(std::string_view text, std::string_view lower_word)
{
    if (text.size() < lower_word.size()) return false;
    for (std::size_t i = 0; i < lower_word.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != lower_word[i]) return false;
    return true;
}

// The tokens of a text one after the other; a line ends with LF, CR or CR LF.
class Tokenizer {
public:
    explicit Tokenizer(std::string_view text) : text_(text) {}

    bool next(Token& token)
    {
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (is_line_end(c)) {
                at_ += c == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n' ? 2 : 1;
                line_start_ = true;
                continue;
            }
            const bool field = line_start_ && c == ';';
            line_start_ = false;
            if (field) {
                token = {TokenKind::Value, {text_field(), ';'}};
                return true;
            }
            if (is_blank(c)) {
                ++at_;
            } else if (c == '#') {
                while (at_ < text_.size() && !is_line_end(text_[at_])) ++at_;
            } else if (c == '\'' || c == '"') {
                // A quote closes only when a blank or the end of the line follows it.
                std::size_t end = at_ + 1;
                while (end < text_.size() && !is_line_end(text_[end]) &&
                       !(text_[end] == c && (end + 1 == text_.size() || is_blank(text_[end + 1]) ||
                                             is_line_end(text_[end + 1]))))
                    ++end;
                token = {TokenKind::Value, {text_.substr(at_ + 1, end - at_ - 1), c}};
                at_ = end < text_.size() && text_[end] == c ? end + 1 : end;
                return true;
            } else {
                std::size_t end = at_;
                while (end < text_.size() && !is_blank(text_[end]) && !is_line_end(text_[end])) ++end;
                token = bare(text_.substr(at_, end - at_));
                at_ = end;
                return true;
            }
        }
        return false;
    }

private:
    // A text field runs from its ';' to the next line that starts with ';'.
    std::string_view text_field()
    {
        const std::size_t begin = at_ + 1;
        for (std::size_t i = begin; i < text_.size(); ++i) {
            if (!is_line_end(text_[i])) continue;
            const std::size_t next_line = text_[i] == '\r' && i + 1 < text_.size() && text_[i + 1] == '\n' ? i + 2 : i + 1;
            if (next_line < text_.size() && text_[next_line] == ';') {
                at_ = next_line + 1;
                return text_.substr(begin, i - begin);
            }
        }
        at_ = text_.size();
        std::string_view field = text_.substr(begin);
        while (!field.empty() && is_line_end(field.back())) field.remove_suffix(1);
        return field;
    }

    static Token bare(std::string_view text)
    {
        if (text.front() == '_') return {TokenKind::Name, {text, 0}};
        if (starts_with_word(text, "loop_") && text.size() == 5) return {TokenKind::Loop, {text, 0}};
        if (starts_with_word(text, "data_")) return {TokenKind::Data, {text.substr(5), 0}};
        if (starts_with_word(text, "save_")) return {TokenKind::Save, {text.substr(5), 0}};
        if ((starts_with_word(text, "global_") && text.size() == 7) || (starts_with_word(text, "stop_") && text.size() == 5))
            return {TokenKind::Other, {text, 0}};
        return {TokenKind::Value, {text, 0}};
    }

    std::string_view text_;
    std::size_t at_ = 0;
    bool line_start_ = true;
};

} // namespace

std::vector<CifBlock> parse_blocks(std::string_view text)
{
    std::vector<CifBlock> blocks;
    const auto current = [&blocks]() -> CifBlock& {
        if (blocks.empty()) blocks.emplace_back();
        return blocks.back();
    };
    Tokenizer tokenizer(text);
    Token token;
    bool more = tokenizer.next(token);
    const auto is = [&](TokenKind kind) { return more && token.kind == kind; };
    while (more) {
        if (token.kind == TokenKind::Data) {
            blocks.emplace_back();
            blocks.back().name = token.value.text;
            more = tokenizer.next(token);
        } else if (token.kind == TokenKind::Save && !token.value.text.empty()) {
            do more = tokenizer.next(token);
            while (more && !(token.kind == TokenKind::Save && token.value.text.empty()));
            if (more) more = tokenizer.next(token);
        } else if (token.kind == TokenKind::Loop) {
            CifLoop loop;
            loop.source = text;
            loop.keyword = token.value.text;
            for (more = tokenizer.next(token); is(TokenKind::Name); more = tokenizer.next(token)) {
                loop.names.push_back(to_lower(token.value.text));
                loop.written.emplace_back(token.value.text);
            }
            for (; is(TokenKind::Value); more = tokenizer.next(token)) loop.add(token.value);
            if (!loop.names.empty()) current().loops.push_back(std::move(loop));
        } else if (token.kind == TokenKind::Name) {
            const std::string name = to_lower(token.value.text);
            more = tokenizer.next(token);
            if (is(TokenKind::Value)) {
                current().items.emplace_back(name, token.value);
                more = tokenizer.next(token);
            }
        } else {
            more = tokenizer.next(token);
        }
    }
    return blocks;
}

} // namespace kestro::cif
