#pragma once
// Fixed arrays indexed from 1 (or any lower bound), as the catalogue and the
// records number their speeds, points and rows. An index outside the bounds
// raises "List index out of bounds (%d)" instead of touching other fields.

#include <array>

#include "Errors.h"

template <class T, int Low, int High>
class Array1 {
public:
    static_assert(High >= Low);
    static constexpr int low = Low;
    static constexpr int high = High;

    T& operator[](int i)
    {
        check(i);
        return v_[size_t(i - Low)];
    }
    const T& operator[](int i) const
    {
        check(i);
        return v_[size_t(i - Low)];
    }
    void fill(const T& x) { v_.fill(x); }
    // The elements in order, for bulk comparison and copying.
    const T* data() const { return v_.data(); }
    static constexpr int size() { return High - Low + 1; }
    friend bool operator==(const Array1&, const Array1&) = default;

private:
    static void check(int i)
    {
        if (i < Low || i > High) [[unlikely]]
            outOfBounds(i);
    }
    // Out of line, so that the check inlines as a compare and a branch.
    [[noreturn, gnu::cold, gnu::noinline]] static void outOfBounds(int i) { throw EListError::IndexOutOfBounds(i); }
    std::array<T, size_t(High - Low + 1)> v_{};
};
