#include "core/discovery/DiscoveryTarget.h"

#include "core/discovery/DiscoveryWire.h"

#include <algorithm>
#include <charconv>

namespace discovery {
namespace {

// Digits only, no sign or blanks, value within max.
std::optional<std::uint32_t> ParseNumber(std::string_view text, std::uint32_t max) {
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    std::uint32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > max)
        return std::nullopt;
    return value;
}

std::optional<std::uint32_t> ParseDottedQuad(std::string_view text) {
    std::uint32_t address = 0;
    for (int part = 0; part < 4; ++part) {
        std::size_t dot = text.find('.');
        std::string_view piece = part < 3 ? text.substr(0, dot) : text;
        if (part < 3 && dot == std::string_view::npos)
            return std::nullopt;
        if (piece.size() > 3)
            return std::nullopt;
        auto octet = ParseNumber(piece, 255);
        if (!octet)
            return std::nullopt;
        address = (address << 8) | *octet;
        if (part < 3)
            text.remove_prefix(dot + 1);
    }
    return address;
}

} // namespace

bool IsLoopback(std::uint32_t address) {
    return (address >> 24) == 127;
}

std::optional<Endpoint> ParseTargetOverride(std::string_view text) {
    std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    std::string_view host = text.substr(0, colon);
    auto port = ParseNumber(text.substr(colon + 1), 65535);
    if (!port || *port == 0)
        return std::nullopt;
    std::optional<std::uint32_t> address =
        host == "localhost" ? std::optional<std::uint32_t>(0x7F000001u) : ParseDottedQuad(host);
    if (!address)
        return std::nullopt;
    return Endpoint{*address, static_cast<std::uint16_t>(*port)};
}

std::vector<Endpoint> PlanTargets(const char* overrideText, bool loopbackOnly,
                                  const std::vector<std::uint32_t>& broadcastAddresses) {
    std::vector<Endpoint> targets;
    if (overrideText != nullptr && *overrideText != '\0') {
        if (auto target = ParseTargetOverride(overrideText))
            targets.push_back(*target);
    } else {
        for (std::uint32_t address : broadcastAddresses) {
            Endpoint target{address, kProbePort};
            if (std::find(targets.begin(), targets.end(), target) == targets.end())
                targets.push_back(target);
        }
    }
    if (loopbackOnly)
        std::erase_if(targets, [](const Endpoint& target) { return !IsLoopback(target.address); });
    return targets;
}

} // namespace discovery
