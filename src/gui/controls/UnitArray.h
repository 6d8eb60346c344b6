#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

// A growing array of UTF-16 units held through malloc and realloc: the C library grows a large
// block by remapping its pages, so the text of a million rows is never copied while it grows.
class UnitArray {
public:
    UnitArray() = default;
    UnitArray(const UnitArray&) = delete;
    UnitArray& operator=(const UnitArray&) = delete;
    UnitArray(UnitArray&& other) noexcept { Swap(other); }
    UnitArray& operator=(UnitArray&& other) noexcept {
        UnitArray gone(std::move(*this));
        Swap(other);
        return *this;
    }
    ~UnitArray() { std::free(units); }

    std::size_t size() const { return count; }
    char16_t* data() { return units; }
    const char16_t* data() const { return units; }
    char16_t& operator[](std::size_t at) { return units[at]; }
    char16_t operator[](std::size_t at) const { return units[at]; }

    void reserve(std::size_t wanted) {
        if (wanted <= capacity)
            return;
        auto* grown = static_cast<char16_t*>(std::realloc(units, wanted * sizeof(char16_t)));
        if (!grown)
            throw std::bad_alloc(); // as a std::vector would
        units = grown;
        capacity = wanted;
    }
    // New units are zero.
    void resize(std::size_t wanted) {
        if (wanted > capacity)
            reserve(wanted > capacity * 2 ? wanted : capacity * 2);
        if (wanted > count)
            std::memset(units + count, 0, (wanted - count) * sizeof(char16_t));
        count = wanted;
    }
    void append(const char16_t* from, std::size_t length) {
        const std::size_t at = count;
        resize(count + length);
        std::memcpy(units + at, from, length * sizeof(char16_t));
    }

private:
    void Swap(UnitArray& other) noexcept {
        std::swap(units, other.units);
        std::swap(count, other.count);
        std::swap(capacity, other.capacity);
    }

    char16_t* units = nullptr;
    std::size_t count = 0;
    std::size_t capacity = 0;
};
