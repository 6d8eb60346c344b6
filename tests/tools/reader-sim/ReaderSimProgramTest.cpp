#include "core/discovery/DiscoveryWire.h"
#include "core/discovery/UdpSocket.h"
#include "tests/support/CaseName.h"

#include <QHostAddress>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int hangGuardMs = 10000;

// The stand-alone simulator, started on ports the system picks; its printed lines name them.
class ReaderSimProgramTest : public ::testing::Test {
protected:
    QProcess program;

    void TearDown() override {
        program.kill();
        program.waitForFinished(hangGuardMs);
    }

    // Starts the program and returns the discovery port it prints, 0 when it prints none.
    quint16 Start(const QStringList& arguments) {
        return Start(arguments, QStringLiteral("answering discovery on 127\\.0\\.0\\.1 port (\\d+)"));
    }

    // Starts the program and returns the port in the first printed line that matches pattern.
    quint16 Start(const QStringList& arguments, const QString& pattern) {
        program.start(QStringLiteral(READER_SIM_PATH),
                      QStringList{QStringLiteral("--port"), QStringLiteral("0")} + arguments);
        if (!program.waitForStarted(hangGuardMs))
            return 0;
        const QRegularExpression line(pattern);
        QString output;
        while (program.waitForReadyRead(hangGuardMs)) {
            output += QString::fromUtf8(program.readAllStandardOutput());
            if (const auto match = line.match(output); match.hasMatch())
                return static_cast<quint16>(match.captured(1).toUInt());
        }
        return 0;
    }

    std::vector<discovery::Reply> Probe(quint16 port, std::size_t answers) {
        discovery::UdpSocket socket;
        std::vector<discovery::Reply> replies;
        if (!socket.Open(0x7F000001u, 0, false))
            return replies;
        const auto probe = discovery::BuildProbe(42);
        if (!socket.SendTo({0x7F000001u, port}, probe.data(), probe.size()))
            return replies;
        std::uint8_t buffer[128];
        while (replies.size() < answers && socket.WaitReadable(hangGuardMs) == discovery::UdpSocket::Wait::Ready) {
            const long size = socket.ReceiveFrom(buffer, sizeof buffer, nullptr);
            if (auto reply = discovery::ParseReply(buffer, size < 0 ? 0 : static_cast<std::size_t>(size)))
                replies.push_back(*reply);
        }
        return replies;
    }
};

// Sends one request and collects the answer until expected bytes are in.
QByteArray Ask(QTcpSocket& socket, const QByteArray& request, qsizetype expected) {
    socket.write(request);
    QByteArray answer;
    while (answer.size() < expected && socket.waitForReadyRead(hangGuardMs))
        answer += socket.readAll();
    return answer;
}

TEST_F(ReaderSimProgramTest, CapacityAndAnswerBytesShapeTheReader) {
    const quint16 port =
        Start({QStringLiteral("--whitelist-capacity"), QStringLiteral("1"), QStringLiteral("--whitelist"),
               QStringLiteral("AA,BB"), QStringLiteral("--answer-bytes"), QStringLiteral("2=435401F0")},
              QStringLiteral("listening on 127\\.0\\.0\\.1 port (\\d+)"));
    ASSERT_NE(port, 0);
    QTcpSocket socket;
    socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
    ASSERT_TRUE(socket.waitForConnected(hangGuardMs));
    const QByteArray count = QByteArray::fromHex("53570003FFE86C");
    EXPECT_EQ(Ask(socket, count, 10).toHex().toUpper(), QByteArray("43540006FFE80100017A"));
    EXPECT_EQ(Ask(socket, count, 4).toHex().toUpper(), QByteArray("435401F0"));
}

TEST_F(ReaderSimProgramTest, AnswersProbesForEveryDevice) {
    const quint16 port =
        Start({QStringLiteral("--discovery-port"), QStringLiteral("0"), QStringLiteral("--device-id"),
               QStringLiteral("000A1B2C3D4E5F"), QStringLiteral("--announce-ip"), QStringLiteral("192.168.1.100"),
               QStringLiteral("--announce-port"), QStringLiteral("60000"), QStringLiteral("--device-id"),
               QStringLiteral("0000000000002A"), QStringLiteral("--announce-ip"), QStringLiteral("10.0.0.2")});
    ASSERT_NE(port, 0);
    const std::vector<discovery::Reply> replies = Probe(port, 2);
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[0].sequence, 42);
    EXPECT_EQ(replies[0].deviceId, (discovery::DeviceId{0x00, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}));
    EXPECT_EQ((std::vector<std::uint8_t>(replies[0].deviceInfo.begin() + 8, replies[0].deviceInfo.begin() + 12)),
              (std::vector<std::uint8_t>{192, 168, 1, 100}));
    EXPECT_EQ(replies[0].deviceInfo[20] << 8 | replies[0].deviceInfo[21], 60000);
    // The second device has its own address and repeats the last port given.
    EXPECT_EQ(replies[1].deviceId[6], 0x2A);
    EXPECT_EQ(replies[1].deviceInfo[8], 10);
    EXPECT_EQ(replies[1].deviceInfo[11], 2);
    EXPECT_EQ(replies[1].deviceInfo[20] << 8 | replies[1].deviceInfo[21], 60000);
}

struct BadOptionCase {
    const char* name;
    QStringList arguments;
};

void PrintTo(const BadOptionCase& c, std::ostream* out) { *out << c.name; }

class ReaderSimBadOptionTest : public ReaderSimProgramTest, public ::testing::WithParamInterface<BadOptionCase> {};

TEST_P(ReaderSimBadOptionTest, IsRefusedBeforeListening) {
    program.start(QStringLiteral(READER_SIM_PATH),
                  QStringList{QStringLiteral("--port"), QStringLiteral("0")} + GetParam().arguments);
    ASSERT_TRUE(program.waitForFinished(hangGuardMs));
    EXPECT_EQ(program.exitCode(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReaderSimBadOptionTest,
    ::testing::Values(
        BadOptionCase{"MalformedDeviceId",
                      {QStringLiteral("--discovery-port"), QStringLiteral("0"), QStringLiteral("--device-id"),
                       QStringLiteral("00GG")}},
        // The reader's count is 16 bits wide.
        BadOptionCase{"CapacityBeyondTheCount", {QStringLiteral("--whitelist-capacity"), QStringLiteral("65536")}},
        BadOptionCase{"AnswerBytesWithoutRequest", {QStringLiteral("--answer-bytes"), QStringLiteral("435401F0")}},
        BadOptionCase{"AnswerBytesNotHex", {QStringLiteral("--answer-bytes"), QStringLiteral("1=43ZZ")}}),
    CaseName{});

} // namespace
