#pragma once
// Fixed-capacity tables numbered from 1, as in the files and reports.
// Nothing is ever stored past the capacity: push refuses and set_count
// refuses, so a file that claims more records than fit cannot overrun.
// An index outside 1..capacity throws ProgramError in every build.
//
// The records live on the heap, in one block reserved at the capacity the
// first time a slot is reached and never moved afterwards: a reference to
// a record stays valid while the table lives, a model with 100 000 atom
// slots costs only the pages its records touch, and a model on the stack
// holds no records at all. Slots never written read as value-initialised.

#include <algorithm>
#include <cstddef>
#include <vector>

#include "model/errors.h"

namespace kestro {

// 1-based slots 1..Capacity of T on one heap block that grows, up to the
// capacity, without moving.
template <class T, std::size_t Capacity>
class SlotStorage {
public:
    static constexpr int capacity = static_cast<int>(Capacity);

    SlotStorage() = default;
    SlotStorage(const SlotStorage& other) { assign(other); }
    SlotStorage& operator=(const SlotStorage& other)
    {
        if (this != &other) assign(other);
        return *this;
    }

    T& at(int i)
    {
        if (i < 1 || i > capacity) [[unlikely]]
            index_out_of_table(i, capacity);
        if (static_cast<std::size_t>(i) > items_.size()) [[unlikely]]
            touch(i);
        return items_[static_cast<std::size_t>(i - 1)];
    }
    const T& at(int i) const
    {
        if (i < 1 || i > capacity) [[unlikely]]
            index_out_of_table(i, capacity);
        if (static_cast<std::size_t>(i) > items_.size()) [[unlikely]]
            return blank();
        return items_[static_cast<std::size_t>(i - 1)];
    }

    // Slots 1..n exist after it (n within the capacity).
    void touch(int n)
    {
        if (items_.capacity() < Capacity) items_.reserve(Capacity);
        if (static_cast<std::size_t>(n) > items_.size()) items_.resize(static_cast<std::size_t>(n));
    }
    void fill(const T& value)
    {
        touch(capacity);
        for (T& item : items_) item = value;
    }

    T* data() { return items_.data(); }
    const T* data() const { return items_.data(); }

private:
    void assign(const SlotStorage& other)
    {
        if (!other.items_.empty()) touch(static_cast<int>(other.items_.size()));
        std::copy(other.items_.begin(), other.items_.end(), items_.begin());
        for (std::size_t k = other.items_.size(); k < items_.size(); ++k) items_[k] = T{};
    }
    static const T& blank()
    {
        static const T value{};
        return value;
    }

    std::vector<T> items_;
};

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
        items_.at(count_ + 1) = item;
        ++count_;
        return true;
    }

    // Sets the count directly; entries beyond the old count keep what they held.
    bool set_count(int n)
    {
        if (n < 0 || n > capacity) return false;
        if (n > 0) items_.touch(n);
        count_ = n;
        return true;
    }

    // 1-based access to any slot of the table, used or not.
    T& operator[](int i) { return items_.at(i); }
    const T& operator[](int i) const { return items_.at(i); }

    // Iteration over the used records only.
    T* begin() { return items_.data(); }
    T* end() { return items_.data() + count_; }
    const T* begin() const { return items_.data(); }
    const T* end() const { return items_.data() + count_; }

private:
    SlotStorage<T, Capacity> items_;
    int count_ = 0;
};

// Slots numbered from 1 with no count of their own: per-row companions of a
// Table (selection flags, texts, saved copies, per-atom drawing data).
template <class T, std::size_t Capacity>
class Slots {
public:
    T& operator[](int i) { return items_.at(i); }
    const T& operator[](int i) const { return items_.at(i); }
    void fill(const T& value) { items_.fill(value); }

private:
    SlotStorage<T, Capacity> items_;
};

} // namespace kestro
