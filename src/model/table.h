#pragma once
// Fixed-capacity tables numbered from 1, as in the files and reports.
// Nothing is ever stored past the capacity: push refuses and set_count
// refuses, so a file that claims more records than fit cannot overrun.
// An index outside 1..capacity throws ProgramError in every build.

#include <array>
#include <cstddef>

#include "model/errors.h"

namespace kestro {

template <class T, std::size_t Capacity>
class Table {
public:
    static constexpr int capacity = static_cast<int>(Capacity);

    int count() const { return count_; }
    bool empty() const { return count_ == 0; }
    bool full() const { return count_ == capacity; }
    void clear() { count_ = 0; }

    // Appends a record; false (and nothing stored) when the table is full.
    bool push(const T& item)
    {
        if (count_ >= capacity) return false;
        items_[static_cast<std::size_t>(count_)] = item;
        ++count_;
        return true;
    }

    // Sets the count directly; entries beyond the old count keep what they held.
    bool set_count(int n)
    {
        if (n < 0 || n > capacity) return false;
        count_ = n;
        return true;
    }

    // 1-based access to any slot of the table, used or not.
    T& operator[](int i)
    {
        if (i < 1 || i > capacity) [[unlikely]]
            index_out_of_table(i, capacity);
        return items_[static_cast<std::size_t>(i - 1)];
    }
    const T& operator[](int i) const
    {
        if (i < 1 || i > capacity) [[unlikely]]
            index_out_of_table(i, capacity);
        return items_[static_cast<std::size_t>(i - 1)];
    }

    // Iteration over the used records only.
    T* begin() { return items_.data(); }
    T* end() { return items_.data() + count_; }
    const T* begin() const { return items_.data(); }
    const T* end() const { return items_.data() + count_; }

private:
    std::array<T, Capacity> items_{};
    int count_ = 0;
};

} // namespace kestro
