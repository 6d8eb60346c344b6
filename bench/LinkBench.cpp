// Cost of the reader link's request/reply cycle on loopback, beside a bare socket loop
// against the same in-process simulator.
#include "link/ReaderLink.h"
#include "tools/reader-sim/ReaderSimulator.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTcpSocket>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

double Micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Percentile90(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() * 9 / 10];
}

std::string IdFor(int i) {
    char text[13];
    std::snprintf(text, sizeof text, "E280%08X", static_cast<unsigned>(i));
    return text;
}

// One request, then serve events until the whole reply is in: the least any link can do.
bool BareExchange(QTcpSocket& socket, const QByteArray& request, int replySize) {
    socket.write(request);
    socket.flush();
    QByteArray reply;
    while (reply.size() < replySize) {
        if (socket.bytesAvailable() == 0) {
            QEventLoop loop;
            QObject::connect(&socket, &QTcpSocket::readyRead, &loop, &QEventLoop::quit);
            QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
            loop.exec();
            if (socket.state() != QAbstractSocket::ConnectedState)
                return false;
        }
        reply += socket.readAll();
    }
    return true;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ReaderSimulator sim;
    if (!sim.Listen()) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1\n");
        return 1;
    }

    ReaderLink link;
    if (!link.Open(QStringLiteral("127.0.0.1"), sim.Port())) {
        std::fprintf(stderr, "cannot connect to the simulator\n");
        return 1;
    }
    link.SetProcessing(true);

    constexpr int warmUp = 200;
    constexpr int samples = 2000;
    constexpr int adds = 5000;

    for (int i = 0; i < warmUp; ++i)
        (void)link.GetParameter(2);
    std::vector<double> linkTimes;
    int failures = 0;
    for (int i = 0; i < samples; ++i) {
        const auto start = Clock::now();
        failures += link.GetParameter(2).has_value() ? 0 : 1;
        linkTimes.push_back(Micros(Clock::now() - start));
    }

    const auto addStart = Clock::now();
    for (int i = 0; i < adds; ++i)
        failures += link.AddWhitelistEntry(IdFor(i)) ? 0 : 1;
    const double addSeconds = Micros(Clock::now() - addStart) / 1e6;
    if (sim.Whitelist().size() != static_cast<std::size_t>(adds))
        ++failures;

    QTcpSocket bare;
    bare.connectToHost(QStringLiteral("127.0.0.1"), sim.Port());
    if (!bare.waitForConnected(5000)) {
        std::fprintf(stderr, "bare socket cannot connect\n");
        return 1;
    }
    bare.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    const QByteArray getWorkMode = QByteArray::fromHex("53570004FF23022E");
    constexpr int parameterReplySize = 10;
    for (int i = 0; i < warmUp; ++i)
        BareExchange(bare, getWorkMode, parameterReplySize);
    std::vector<double> bareTimes;
    for (int i = 0; i < samples; ++i) {
        const auto start = Clock::now();
        failures += BareExchange(bare, getWorkMode, parameterReplySize) ? 0 : 1;
        bareTimes.push_back(Micros(Clock::now() - start));
    }
    const auto bareStart = Clock::now();
    for (int i = 0; i < adds; ++i)
        BareExchange(bare, getWorkMode, parameterReplySize);
    const double bareSeconds = Micros(Clock::now() - bareStart) / 1e6;

    const double linkMedian = Median(linkTimes);
    const double bareMedian = Median(bareTimes);
    std::printf("GetParameter exchange over ReaderLink: median %.1f us, p90 %.1f us (%d samples)\n", linkMedian,
                Percentile90(linkTimes), samples);
    std::printf("Bare socket request/reply:            median %.1f us, p90 %.1f us\n", bareMedian,
                Percentile90(bareTimes));
    std::printf("Link / bare median ratio:             %.2f\n", linkMedian / bareMedian);
    std::printf("AddWhitelistEntry x %d:             %.3f s, %.0f per second (target >= 2000)\n", adds, addSeconds,
                adds / addSeconds);
    std::printf("Bare loop x %d:                     %.3f s, %.0f per second\n", adds, bareSeconds, adds / bareSeconds);
    std::printf("Failed operations:                    %d\n", failures);
    return 0;
}
