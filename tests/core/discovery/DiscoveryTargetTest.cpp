#include "core/discovery/DiscoveryTarget.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using namespace discovery;

namespace discovery {
void PrintTo(const Endpoint& endpoint, std::ostream* out) {
    *out << (endpoint.address >> 24) << '.' << ((endpoint.address >> 16) & 0xFF) << '.'
         << ((endpoint.address >> 8) & 0xFF) << '.' << (endpoint.address & 0xFF) << ':' << endpoint.port;
}
} // namespace discovery

namespace {

constexpr std::uint32_t Ip(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    return (a << 24) | (b << 16) | (c << 8) | d;
}

struct OverrideRow {
    std::string name;
    std::string text;
    std::optional<Endpoint> endpoint;
};

class TargetOverrideRows : public ::testing::TestWithParam<OverrideRow> {};

TEST_P(TargetOverrideRows, Parses) {
    const OverrideRow& row = GetParam();
    EXPECT_EQ(ParseTargetOverride(row.text), row.endpoint);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TargetOverrideRows,
    ::testing::Values(OverrideRow{"Loopback", "127.0.0.1:40000", Endpoint{Ip(127, 0, 0, 1), 40000}},
                      OverrideRow{"Localhost", "localhost:60001", Endpoint{Ip(127, 0, 0, 1), 60001}},
                      OverrideRow{"OtherHost", "10.1.2.255:60001", Endpoint{Ip(10, 1, 2, 255), 60001}},
                      OverrideRow{"HighestPort", "127.0.0.1:65535", Endpoint{Ip(127, 0, 0, 1), 65535}},
                      OverrideRow{"NoPort", "127.0.0.1", std::nullopt},
                      OverrideRow{"EmptyPort", "127.0.0.1:", std::nullopt},
                      OverrideRow{"PortZero", "127.0.0.1:0", std::nullopt},
                      OverrideRow{"PortTooLarge", "127.0.0.1:65536", std::nullopt},
                      OverrideRow{"PortWithLetters", "127.0.0.1:60x", std::nullopt},
                      OverrideRow{"SignedPort", "127.0.0.1:+80", std::nullopt},
                      OverrideRow{"NoHost", ":60001", std::nullopt},
                      OverrideRow{"ThreeOctets", "127.0.1:60001", std::nullopt},
                      OverrideRow{"FiveOctets", "127.0.0.0.1:60001", std::nullopt},
                      OverrideRow{"OctetTooLarge", "127.0.0.256:60001", std::nullopt},
                      OverrideRow{"EmptyOctet", "127..0.1:60001", std::nullopt},
                      OverrideRow{"HostName", "reader.example:60001", std::nullopt}),
    CaseName{});

TEST(DiscoveryTargets, LoopbackIsAllOf127) {
    EXPECT_TRUE(IsLoopback(Ip(127, 0, 0, 1)));
    EXPECT_TRUE(IsLoopback(Ip(127, 255, 255, 255)));
    EXPECT_FALSE(IsLoopback(Ip(126, 255, 255, 255)));
    EXPECT_FALSE(IsLoopback(Ip(128, 0, 0, 1)));
}

struct PlanRow {
    std::string name;
    const char* overrideText;
    bool loopbackOnly;
    std::vector<std::uint32_t> broadcasts;
    std::vector<Endpoint> targets;
};

class PlanRows : public ::testing::TestWithParam<PlanRow> {};

TEST_P(PlanRows, ChoosesTargets) {
    const PlanRow& row = GetParam();
    EXPECT_EQ(PlanTargets(row.overrideText, row.loopbackOnly, row.broadcasts), row.targets);
}

const std::vector<std::uint32_t> kTwoSubnets = {Ip(192, 168, 1, 255), Ip(10, 0, 255, 255)};

INSTANTIATE_TEST_SUITE_P(
    Rows, PlanRows,
    ::testing::Values(
        PlanRow{"BroadcastsOnProbePort",
                nullptr,
                false,
                kTwoSubnets,
                {Endpoint{Ip(192, 168, 1, 255), 60001}, Endpoint{Ip(10, 0, 255, 255), 60001}}},
        PlanRow{"SameSubnetTwiceProbedOnce",
                nullptr,
                false,
                {Ip(192, 168, 1, 255), Ip(192, 168, 1, 255)},
                {Endpoint{Ip(192, 168, 1, 255), 60001}}},
        PlanRow{"EmptyOverrideMeansUnset", "", false, {Ip(192, 168, 1, 255)}, {Endpoint{Ip(192, 168, 1, 255), 60001}}},
        PlanRow{
            "OverrideReplacesBroadcasts", "127.0.0.1:40000", false, kTwoSubnets, {Endpoint{Ip(127, 0, 0, 1), 40000}}},
        PlanRow{"MalformedOverrideSendsNothing", "127.0.0.1", false, kTwoSubnets, {}},
        PlanRow{
            "GuardKeepsLoopbackOverride", "127.0.0.1:40000", true, kTwoSubnets, {Endpoint{Ip(127, 0, 0, 1), 40000}}},
        PlanRow{"GuardRefusesOtherOverride", "192.0.2.1:40000", true, kTwoSubnets, {}},
        PlanRow{"GuardRefusesBroadcasts", nullptr, true, kTwoSubnets, {}},
        PlanRow{"NoInterfacesNoTargets", nullptr, false, {}, {}}),
    CaseName{});

} // namespace
