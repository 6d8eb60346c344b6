#include "tests/support/CaseName.h"
#include "tests/support/TempDir.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTcpServer>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int hangGuardMs = 60000;

struct CliRun {
    int status = -1;
    std::string out, err;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

const std::string tagA = "E2003412B802011526809C4A";
const std::string tagB = "E2003412B802011526809C4B";
const std::string tagC = "E2003412B802011526809C4C";
const std::string tagX = "E2003412B802011526809C99";

// A temporary hive and the program run against it; every search stays on loopback.
class CliTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string discoveryTarget;
    std::vector<std::unique_ptr<QProcess>> simulators;

    void TearDown() override {
        for (auto& sim : simulators) {
            sim->kill();
            sim->waitForFinished(hangGuardMs);
        }
    }

    CliRun Cli(const std::vector<std::string>& args) {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LUMETRA_USER_HIVE"), QString::fromStdString(dir.File("user.hive")));
        env.insert(QStringLiteral("LUMETRA_DISCOVERY_LOOPBACK_ONLY"), QStringLiteral("1"));
        env.insert(QStringLiteral("LUMETRA_DISCOVERY_TARGET"), QString::fromStdString(discoveryTarget));
        program.setProcessEnvironment(env);
        QStringList arguments;
        for (const std::string& arg : args)
            arguments << QString::fromStdString(arg);
        program.start(QStringLiteral(LUMETRA_CLI_PATH), arguments);
        CliRun run;
        if (!program.waitForFinished(hangGuardMs))
            return run;
        run.status = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
        run.out = program.readAllStandardOutput().toStdString();
        run.err = program.readAllStandardError().toStdString();
        return run;
    }

    // A simulator process on a port the system picks; returns "127.0.0.1:<port>".
    std::string StartReader(const QStringList& extra = {}, quint16* discoveryPort = nullptr) {
        auto sim = std::make_unique<QProcess>();
        sim->start(QStringLiteral(READER_SIM_PATH), QStringList{QStringLiteral("--port"), QStringLiteral("0")} + extra);
        if (!sim->waitForStarted(hangGuardMs))
            return {};
        const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1 port (\\d+)"));
        const QRegularExpression answering(QStringLiteral("answering discovery on 127\\.0\\.0\\.1 port (\\d+)"));
        QString output;
        quint16 port = 0;
        while (sim->waitForReadyRead(hangGuardMs)) {
            output += QString::fromUtf8(sim->readAllStandardOutput());
            const auto found = listening.match(output);
            const auto discovery = answering.match(output);
            if (found.hasMatch() && (discoveryPort == nullptr || discovery.hasMatch())) {
                port = static_cast<quint16>(found.captured(1).toUInt());
                if (discoveryPort != nullptr)
                    *discoveryPort = static_cast<quint16>(discovery.captured(1).toUInt());
                break;
            }
        }
        simulators.push_back(std::move(sim));
        return port == 0 ? std::string() : "127.0.0.1:" + std::to_string(port);
    }

    // A loopback port that nothing listens on.
    static std::string DeadReader() {
        QTcpServer server;
        if (!server.listen(QHostAddress::LocalHost, 0))
            return {};
        const quint16 port = server.serverPort();
        server.close();
        return "127.0.0.1:" + std::to_string(port);
    }

    void Register(const std::vector<std::vector<std::string>>& rows) {
        for (const auto& row : rows)
            ASSERT_EQ(Cli({"register", "set", row[0], row[1], row[2]}).status, 0) << row[0];
    }
};

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* said; // on standard error
};

void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }

class CliUsageTest : public CliTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(CliUsageTest, AnswersWithStatusAndNamesTheArgument) {
    const UsageCase& c = GetParam();
    std::vector<std::string> args = c.args;
    const std::string junk(4096, 'x'); // neither a hive nor any database
    WriteFile(dir.File("junk.hive"), junk);
    for (std::string& arg : args)
        if (arg == "MISSING" || arg == "JUNK")
            arg = dir.File(arg == "JUNK" ? "junk.hive" : "nothing-here.hive");
    const CliRun run = Cli(args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("nothing-here.hive")));
    EXPECT_EQ(ReadFile(dir.File("junk.hive")), junk);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CliUsageTest,
    ::testing::Values(
        UsageCase{"NoCommand", {}, 2, "Usage: lumetra-cli"},
        UsageCase{"UnknownCommand", {"frobnicate"}, 2, "frobnicate"},
        UsageCase{"UnknownSubcommand", {"register", "rename"}, 2, "rename"},
        UsageCase{"UnknownOption", {"register", "list", "--bogus"}, 2, "--bogus"},
        UsageCase{"BothScopes", {"register", "list", "--marked", "--unmarked"}, 2, "--unmarked"},
        UsageCase{"VehicleType", {"register", "set", "AB", "P1", "truck"}, 2, "truck"},
        UsageCase{"OnOff", {"register", "mark", "AB", "maybe"}, 2, "maybe"},
        UsageCase{"TagWithBackslash", {"register", "delete", "A\\B"}, 2, "A\\B"},
        UsageCase{"NoReader", {"whitelist", "count"}, 2, "--reader"},
        UsageCase{"PortOutOfRange", {"whitelist", "count", "--reader", "127.0.0.1:70000"}, 2, "70000"},
        UsageCase{"PortNotANumber", {"whitelist", "count", "--reader", "127.0.0.1:x"}, 2, "port"},
        UsageCase{"TagNotHex", {"whitelist", "delete", "--reader", "127.0.0.1", "e2zz"}, 2, "e2zz"},
        UsageCase{"ClearWithoutYes", {"whitelist", "clear", "--reader", "127.0.0.1"}, 2, "--yes"},
        UsageCase{"ExportTakesOneReader", {"whitelist", "export", "--reader", "127.0.0.1", "--reader", "127.0.0.1",
                                           "f.txt"}, 2, "one --reader"},
        UsageCase{"UnknownParameter", {"reader", "params", "set", "--reader", "127.0.0.1", "volume=3"}, 2, "volume"},
        UsageCase{"ParameterRange", {"reader", "params", "set", "--reader", "127.0.0.1", "power=31"}, 2, "power=31"},
        UsageCase{"Timeout", {"discover", "--timeout", "0"}, 2, "--timeout"},
        UsageCase{"HiveWithoutValue", {"--hive"}, 2, "--hive"},
        UsageCase{"MissingHiveIsNotMade", {"--hive", "MISSING", "register", "list"}, 3, "nothing-here.hive"},
        UsageCase{"NotAHiveIsLeftAlone", {"--hive", "JUNK", "register", "set", "AB", "P", "car"}, 3, "junk.hive"}),
    CaseName{});

TEST_F(CliTest, VersionAndHelpOnEveryLevel) {
    const CliRun version = Cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Lumetra \\d+(\\.\\d+)*\n$"))
                    .match(QString::fromStdString(version.out))
                    .hasMatch())
        << version.out;
    EXPECT_FALSE(std::filesystem::exists(dir.File("user.hive")));
    for (const std::vector<std::string>& level :
         {std::vector<std::string>{"--help"}, {"register", "--help"}, {"register", "import", "--help"},
          {"whitelist", "push", "--help"}, {"reader", "params", "get", "--help"}, {"discover", "--help"}}) {
        const CliRun help = Cli(level);
        EXPECT_EQ(help.status, 0) << level[0];
        EXPECT_NE(help.out.find("Usage: lumetra-cli"), std::string::npos) << level.back();
    }
    EXPECT_NE(Cli({"--help"}).out.find("only after it reloads"), std::string::npos);
}

TEST_F(CliTest, ImportReportNamesEveryLineNotApplied) {
    Register({{tagA, "OLD1", "car"}});
    WriteFile(dir.File("in.txt"), tagA + ",new-1,2\r\n"          // 1 changed
                                      "\r\n"                     // 2 empty: not reported
                                      "a,b\r\n"                  // 3
                                      "E2003412B802011526809C4,X,1\r\n"  // 4
                                      "E2003412B802011526809C4BB,X,1\r\n" // 5
                                      + tagB + ",P1,3\r\n"       // 6
                                      + tagB + ",P1,1\r\n"       // 7 new
                                      + tagB + ",P2,1\r\n");     // 8 changed by the line before
    const CliRun run = Cli({"register", "import", dir.File("in.txt"), "--report", dir.File("report.txt")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(dir.File("report.txt")), "line 3: malformed\n"
                                                "line 4: tag too short\n"
                                                "line 5: tag too long\n"
                                                "line 6: malformed\n"
                                                "applied 3, new 1, changed 2, skipped 4, failed 0\n");
    EXPECT_EQ(Cli({"register", "list"}).out, tagA + "\tNEW1\tmotorcycle\t\t\n" + tagB + "\tP2\tcar\t\t\n");

    const CliRun check = Cli({"register", "import", dir.File("in.txt"), "--check"});
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out, "NOT FOUND(2) => NO:NEW1\nNOT FOUND(1) => NO:P1\nCHANGE => TAG:" + tagB +
                             " NO:P2 => P1\nNOT FOUND(1) => NO:P2\n");
}

TEST_F(CliTest, ExportLeavesOutWhatBig5CannotHoldUnlessUtf8) {
    Register({{tagA, "AB1", "car"}, {tagB, "\xF0\x9F\x98\x80" "1", "motorcycle"}});
    const CliRun big5 = Cli({"register", "export", dir.File("big5.txt")});
    EXPECT_EQ(big5.status, 1);
    EXPECT_NE(big5.err.find(tagB), std::string::npos);
    EXPECT_EQ(ReadFile(dir.File("big5.txt")), tagA + ",AB1,1\r\n");

    const CliRun utf8 = Cli({"register", "export", dir.File("utf8.txt"), "--utf8"});
    EXPECT_EQ(utf8.status, 0) << utf8.err;
    EXPECT_EQ(ReadFile(dir.File("utf8.txt")), "\xEF\xBB\xBF" + tagA + ",AB1,1\r\n" + tagB + ",\xF0\x9F\x98\x80" "1,2\r\n");
}

TEST_F(CliTest, PushAndSyncReachEveryReaderButTheDeadOne) {
    Register({{tagA, "P1", "car"}, {tagB, "P2", "car"}, {tagC, "P3", "car"}});
    ASSERT_EQ(Cli({"register", "mark", tagC, "on"}).status, 0);
    const std::string first = StartReader({QStringLiteral("--whitelist"), QString::fromStdString(tagA + "," + tagX)});
    const std::string second = StartReader();
    const std::string dead = DeadReader();
    ASSERT_FALSE(first.empty() || second.empty() || dead.empty());

    const CliRun diff = Cli({"whitelist", "diff", "--reader", first, "--reader", second});
    EXPECT_EQ(diff.status, 1);
    EXPECT_EQ(diff.out, "reader " + first + "\n+ " + tagB + "\n+ " + tagC + "\n- " + tagX + "\nreader " + second +
                            "\n+ " + tagA + "\n+ " + tagB + "\n+ " + tagC + "\n");

    const CliRun push = Cli({"whitelist", "push", "--unmarked", "--reader", first, "--reader", dead, "--reader", second});
    EXPECT_EQ(push.status, 3);
    EXPECT_NE(push.err.find("reader " + first + ": added 1, deleted 0, failed 0"), std::string::npos) << push.err;
    EXPECT_NE(push.err.find("reader " + dead + ": cannot connect"), std::string::npos);
    EXPECT_NE(push.err.find("reader " + second + ": added 2, deleted 0, failed 0"), std::string::npos);

    const CliRun sync = Cli({"whitelist", "push", "--sync", "--reader", first, "--reader", second});
    EXPECT_EQ(sync.status, 0) << sync.err;
    EXPECT_NE(sync.err.find("reader " + first + ": added 1, deleted 1, failed 0"), std::string::npos) << sync.err;
    EXPECT_NE(sync.err.find("reader " + second + ": added 1, deleted 0, failed 0"), std::string::npos);
    const CliRun same = Cli({"whitelist", "diff", "--json", "--reader", first, "--reader", second});
    EXPECT_EQ(same.status, 0) << same.out;
    EXPECT_NE(same.out.find("\"missing\": [], \"extra\": []"), std::string::npos);

    const CliRun count = Cli({"whitelist", "count", "--reader", first, "--reader", dead});
    EXPECT_EQ(count.status, 3);
    EXPECT_EQ(count.out, first + ": 3\n");
    ASSERT_EQ(Cli({"whitelist", "export", "--reader", second, dir.File("wl.txt")}).status, 0);
    EXPECT_EQ(ReadFile(dir.File("wl.txt")), tagA + ",,1\r\n" + tagB + ",,1\r\n" + tagC + ",,1\r\n");
}

TEST_F(CliTest, RegisterEditsShowInTheList) {
    Register({{tagA, "P1", "car"}, {tagB, "P2", "motorcycle"}, {tagC, "P3", "car"}});
    EXPECT_EQ(Cli({"register", "mark", tagA, "on"}).status, 0);
    EXPECT_EQ(Cli({"register", "confirm", tagB, "on"}).status, 0);
    EXPECT_EQ(Cli({"register", "delete", tagC}).status, 0);
    const CliRun missing = Cli({"register", "mark", tagX, "on"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find(tagX + ": not in the register"), std::string::npos);
    EXPECT_EQ(Cli({"register", "list"}).out, tagA + "\tP1\tcar\t*\t\n" + tagB + "\tP2\tmotorcycle\t\tY\n");
    EXPECT_EQ(Cli({"register", "list", "--unmarked", "--json"}).out,
              "[\n  {\"tag\": \"" + tagB +
                  "\", \"plate\": \"P2\", \"type\": \"motorcycle\", \"marked\": false, \"confirmed\": true}\n]\n");
}

TEST_F(CliTest, ReaderParametersAndWhitelistDeleteAndClear) {
    const std::string reader = StartReader({QStringLiteral("--whitelist"), QString::fromStdString(tagA + "," + tagB)});
    ASSERT_FALSE(reader.empty());
    const CliRun set = Cli({"reader", "params", "set", "--reader", reader, "power=20", "relaytime=7", "region=1"});
    EXPECT_EQ(set.status, 0) << set.err;
    const CliRun get = Cli({"reader", "params", "get", "--reader", reader});
    EXPECT_EQ(get.status, 0) << get.err;
    for (const char* value : {"power=20\n", "relaytime=7\n", "region=1\n"})
        EXPECT_NE(get.out.find(value), std::string::npos) << get.out;

    EXPECT_EQ(Cli({"whitelist", "delete", "--reader", reader, tagA}).status, 0);
    EXPECT_EQ(Cli({"whitelist", "count", "--json", "--reader", reader}).out,
              "[\n  {\"reader\": \"" + reader + "\", \"ok\": true, \"count\": 1}\n]\n");
    EXPECT_EQ(Cli({"whitelist", "clear", "--yes", "--reader", reader}).status, 0);
    EXPECT_EQ(Cli({"whitelist", "count", "--reader", reader}).out, reader + ": 0\n");
}

TEST_F(CliTest, DiscoverListsTheSimulatedReaderOnLoopback) {
    quint16 discoveryPort = 0;
    const std::string reader = StartReader({QStringLiteral("--discovery-port"), QStringLiteral("0"),
                                            QStringLiteral("--device-id"), QStringLiteral("000A1B2C3D4E5F")},
                                           &discoveryPort);
    ASSERT_FALSE(reader.empty());
    discoveryTarget = "127.0.0.1:" + std::to_string(discoveryPort);
    const CliRun run = Cli({"discover", "--timeout", "1.5"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "000A1B2C3D4E5F 127.0.0.1 " + reader.substr(reader.find(':') + 1) + "\n");
}

} // namespace
