#pragma once
// A merge sort whose loop bounds depend only on the number of elements, never on what the
// comparison answers. It therefore ends and yields a permutation of its input even when the
// comparison is not a consistent order (answers that contradict each other, or change from one
// call to the next). With a consistent order it is a stable sort.
#include <algorithm>
#include <cstddef>
#include <memory>
#include <span>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace merge_sort_detail {

// Insertion sort of [first, last): the inner walk stops at `first` whatever `before` says.
template <class T, class Before>
void InsertionSort(T* first, T* last, Before& before) {
    for (T* i = first + 1; i < last; ++i) {
        T value = std::move(*i);
        T* j = i;
        while (j > first && before(value, *(j - 1))) {
            *j = std::move(*(j - 1));
            --j;
        }
        *j = std::move(value);
    }
}

// Merges the runs [a, a + na) and [b, b + nb) into out; an element of the second run goes first
// only when before(second, first) holds, so equal elements keep their order.
template <class T, class Before>
void MergeRuns(const T* a, size_t na, const T* b, size_t nb, T* out, Before& before) {
    size_t i = 0, j = 0;
    while (i < na && j < nb) {
        if (before(b[j], a[i])) {
            *out++ = b[j++];
        } else {
            *out++ = a[i++];
        }
    }
    while (i < na) *out++ = a[i++];
    while (j < nb) *out++ = b[j++];
}

// Sorts data[0, n) in place, using buffer[0, n) as working space.
template <class T, class Before>
void SortRange(T* data, size_t n, T* buffer, Before& before) {
    if (n < 2) return;
    constexpr size_t kRun = 16;
    for (size_t lo = 0; lo < n; lo += kRun) InsertionSort(data + lo, data + std::min(n, lo + kRun), before);
    T* from = data;
    T* to = buffer;
    for (size_t width = kRun; width < n; width *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * width) {
            const size_t mid = std::min(n, lo + width);
            const size_t hi = std::min(n, lo + 2 * width);
            MergeRuns(from + lo, mid - lo, from + mid, hi - mid, to + lo, before);
        }
        std::swap(from, to);
    }
    if (from != data) std::copy(from, from + n, data);
}

}  // namespace merge_sort_detail

// Sorts v so that no element x ends up after an element y with before(x, y) (when `before` is a
// strict weak order). `before(x, y)` means x must go above y. With threads == 2 the two halves
// are sorted at the same time (`before` is then called from two threads at once).
template <class T, class Before>
void MergeSortBy(std::span<T> v, Before before, int threads = 1) {
    const size_t n = v.size();
    if (n < 2) return;
    // Working space is written before it is read: no need to clear it.
    const std::unique_ptr<T[]> buffer = std::make_unique_for_overwrite<T[]>(n);
    const size_t half = n / 2;
    if (threads >= 2 && n >= 65536) {
        std::thread worker;
        try {
            worker = std::thread([&] { merge_sort_detail::SortRange(v.data(), half, buffer.get(), before); });
        } catch (const std::system_error&) {
            merge_sort_detail::SortRange(v.data(), half, buffer.get(), before);
        }
        merge_sort_detail::SortRange(v.data() + half, n - half, buffer.get() + half, before);
        if (worker.joinable()) worker.join();
        merge_sort_detail::MergeRuns(v.data(), half, v.data() + half, n - half, buffer.get(), before);
        std::copy(buffer.get(), buffer.get() + n, v.data());
        return;
    }
    merge_sort_detail::SortRange(v.data(), n, buffer.get(), before);
}

template <class T, class Before>
void MergeSortBy(std::vector<T>& v, Before before, int threads = 1) {
    MergeSortBy(std::span<T>(v), before, threads);
}
