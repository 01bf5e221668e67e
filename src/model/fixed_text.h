#pragma once
// A short text of at most N characters kept inside the record, so that atom
// records stay plain values that copy without allocating.

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace kestro {

template <std::size_t N>
class FixedText {
public:
    FixedText() = default;
    FixedText(std::string_view text) { assign(text); } // NOLINT: implicit from text is the point
    FixedText(const std::string& text) { assign(text); } // NOLINT
    FixedText(const char* text) { assign(text); }        // NOLINT
    FixedText& operator=(std::string_view text)
    {
        assign(text);
        return *this;
    }
    FixedText& operator=(const std::string& text) { return *this = std::string_view(text); }
    FixedText& operator=(const char* text) { return *this = std::string_view(text); }

    // Stores the first N characters of text.
    void assign(std::string_view text)
    {
        length_ = static_cast<unsigned char>(std::min(text.size(), N));
        std::copy_n(text.data(), length_, chars_.data());
    }

    std::string_view view() const { return {chars_.data(), length_}; }
    std::string str() const { return std::string(view()); }
    std::size_t size() const { return length_; }
    bool empty() const { return length_ == 0; }
    static constexpr std::size_t max_size() { return N; }

    friend bool operator==(const FixedText& a, const FixedText& b) { return a.view() == b.view(); }
    friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const FixedText& a, const std::string& b) { return a.view() == b; }
    friend bool operator==(const FixedText& a, const char* b) { return a.view() == b; }

private:
    std::array<char, N> chars_{};
    unsigned char length_ = 0;
};

} // namespace kestro
