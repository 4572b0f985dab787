// A read-only view of a static table of rows.
#ifndef PORTVANE_MODELS_ROWLIST_H
#define PORTVANE_MODELS_ROWLIST_H

#include <cstddef>

template <typename T>
struct RowList {
    const T* data;
    std::size_t size;
    const T* begin() const { return data; }
    const T* end() const { return data + size; }
    bool empty() const { return size == 0; }
};

template <typename T, std::size_t N>
constexpr RowList<T> RowsOf(const T (&rows)[N])
{
    return RowList<T>{rows, N};
}

template <typename T>
constexpr RowList<T> NoRows()
{
    return RowList<T>{nullptr, 0};
}

#endif
