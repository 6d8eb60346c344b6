// The reader's TCP stream arrives in pieces of any size. The frames cut from it must not depend
// on where the pieces end, each must be a whole reply frame, and the bytes held back for an
// unfinished frame must stay below one frame's size.
#include "FuzzCheck.h"
#include "core/reader/Frame.h"
#include "core/reader/FrameAssembler.h"

#include <cstdint>
#include <vector>

namespace {

using Frames = std::vector<std::vector<std::uint8_t>>;

// Piece sizes and drain points from the input itself, so that a saved input replays exactly.
class Cuts {
public:
    Cuts(const std::uint8_t* data, std::size_t size) : state(2166136261u) {
        for (std::size_t i = 0; i < size; ++i)
            state = (state ^ data[i]) * 16777619u;
        if (state == 0)
            state = 1;
        // Mostly small pieces, now and then pieces longer than a frame.
        limit = size > 0 && data[0] % 4 == 0 ? 700 : 1 + (size > 0 ? data[0] % 32 : 0);
    }
    std::size_t Next() { return 1 + Draw() % limit; }
    bool Drain() { return Draw() % 4 != 0; }

private:
    std::uint32_t Draw() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    std::uint32_t state;
    std::uint32_t limit;
};

void DrainInto(FrameAssembler& assembler, Frames& frames) {
    while (std::optional<std::vector<std::uint8_t>> frame = assembler.Next()) {
        Require(frame->size() >= minReplyFrameSize && frame->size() <= maxReplyFrameSize, "a frame has a frame's size");
        Require((*frame)[0] == 0x43 && (*frame)[1] == 0x54, "a frame starts with its header");
        Require(frame->size() == 4 + static_cast<std::size_t>(LengthField(*frame)), "a frame is as long as it says");
        frames.push_back(std::move(*frame));
    }
    Require(assembler.Pending() < maxReplyFrameSize, "held-back bytes stay below one frame");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FrameAssembler whole;
    Frames wholeFrames;
    whole.Append(data, size);
    DrainInto(whole, wholeFrames);

    FrameAssembler pieces;
    Frames pieceFrames;
    Cuts cuts(data, size);
    for (std::size_t at = 0; at < size;) {
        const std::size_t n = std::min(cuts.Next(), size - at);
        pieces.Append(data + at, n);
        at += n;
        // The link drains after every read; skipping some drains lets pieces pile up first.
        if (cuts.Drain() || at == size)
            DrainInto(pieces, pieceFrames);
    }
    DrainInto(pieces, pieceFrames);

    Require(pieceFrames == wholeFrames, "the same frames whether the stream comes whole or in pieces");
    Require(pieces.Pending() == whole.Pending(), "the same bytes held back either way");
    return 0;
}
