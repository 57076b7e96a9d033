#pragma once
// RowList: a growable array that holds its first element in itself. A text
// document keeps three of these per line (where its display rows start,
// their styles, where they end), and most lines are one row: a document of
// a few hundred thousand lines then asks the heap for nothing beyond the
// lines' texts.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

namespace pirn {

template <typename T>
class RowList {
    static_assert(std::is_trivially_copyable<T>::value, "rows are plain numbers");

public:
    using value_type = T;
    using iterator = T*;
    using const_iterator = const T*;

    RowList() = default;
    RowList(const RowList& other) { Assign(other.begin(), other.size()); }
    RowList(RowList&& other) noexcept { Take(other); }
    RowList& operator=(const RowList& other) {
        if (this != &other) {
            clear();
            Assign(other.begin(), other.size());
        }
        return *this;
    }
    RowList& operator=(RowList&& other) noexcept {
        if (this != &other) {
            Release();
            Take(other);
        }
        return *this;
    }
    ~RowList() { Release(); }

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T* data() { return heap_ ? heap_.get() : &first_; }
    const T* data() const { return heap_ ? heap_.get() : &first_; }
    T* begin() { return data(); }
    T* end() { return data() + size_; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + size_; }
    T& operator[](size_t i) { return data()[i]; }
    const T& operator[](size_t i) const { return data()[i]; }
    T& back() { return data()[size_ - 1]; }
    const T& back() const { return data()[size_ - 1]; }

    void clear() { size_ = 0; }
    // Shrinks (what the document does before wrapping a line again) or
    // grows with zeros.
    void resize(size_t n) {
        Reserve(n);
        for (size_t i = size_; i < n; ++i) data()[i] = T{};
        size_ = static_cast<uint32_t>(n);
    }
    void push_back(T value) {
        Reserve(size_ + 1);
        data()[size_++] = value;
    }

    bool operator==(const RowList& o) const { return size_ == o.size_ && Same(o.begin()); }
    bool operator!=(const RowList& o) const { return !(*this == o); }
    friend bool operator==(const RowList& a, const std::vector<T>& b) {
        return a.size_ == b.size() && (b.empty() || a.Same(b.data()));
    }
    friend bool operator==(const std::vector<T>& b, const RowList& a) { return a == b; }

private:
    bool Same(const T* other) const {
        for (size_t i = 0; i < size_; ++i)
            if (!(data()[i] == other[i])) return false;
        return true;
    }
    void Reserve(size_t n) {
        if (n <= capacity_) return;
        size_t grown = size_t{capacity_} * 2;
        if (grown < n) grown = n;
        std::unique_ptr<T[]> more(new T[grown]);
        if (size_) std::memcpy(more.get(), data(), size_ * sizeof(T));
        heap_ = std::move(more);
        capacity_ = static_cast<uint32_t>(grown);
    }
    void Assign(const T* values, size_t n) {
        Reserve(n);
        if (n) std::memcpy(data(), values, n * sizeof(T));
        size_ = static_cast<uint32_t>(n);
    }
    void Take(RowList& other) {
        first_ = other.first_;
        heap_ = std::move(other.heap_);
        size_ = other.size_;
        capacity_ = other.capacity_;
        other.size_ = 0;
        other.capacity_ = 1;
    }
    void Release() {
        heap_.reset();
        size_ = 0;
        capacity_ = 1;
    }

    std::unique_ptr<T[]> heap_;  // the elements once there is more than one
    T first_{};
    uint32_t size_ = 0;
    uint32_t capacity_ = 1;
};

}  // namespace pirn
