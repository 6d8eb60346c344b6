#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Cuts the reader's byte stream into reply frames. TCP may split a frame over two reads or
// join several frames in one; each frame is handed out whole and in order.
class FrameAssembler {
public:
    void Append(const std::uint8_t* bytes, std::size_t count);

    // The next complete frame, skipping bytes that precede a "CT" header; nullopt until more
    // bytes arrive.
    std::optional<std::vector<std::uint8_t>> Next();

    std::size_t Pending() const { return buffer.size() - start; }
    void Clear();

private:
    std::vector<std::uint8_t> buffer;
    std::size_t start = 0; // bytes before this index are consumed
};
