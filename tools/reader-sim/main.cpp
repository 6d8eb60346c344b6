// reader-sim: a stand-in reader for trying Lumetra without hardware.
#include "tools/reader-sim/ReaderSimulator.h"

#include "core/reader/ParameterIds.h"
#include "tools/discovery-responder/DiscoveryResponder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostAddress>
#include <QTextStream>

#include <cstdio>
#include <memory>
#include <optional>

namespace {
std::vector<std::string> SplitIds(const QString& text) {
    std::vector<std::string> ids;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        ids.push_back(part.trimmed().toUpper().toStdString());
    return ids;
}

std::optional<discovery::DeviceId> ParseDeviceId(const QString& text) {
    const QByteArray bytes = QByteArray::fromHex(text.toLatin1());
    if (text.size() != 14 || bytes.size() != 7 || bytes.toHex().toUpper() != text.toUpper().toLatin1())
        return std::nullopt;
    discovery::DeviceId id{};
    std::copy(bytes.begin(), bytes.end(), id.begin());
    return id;
}

// "N=HEX": the n-th request is answered with these bytes.
bool ParseAnswerBytes(const QString& text, int& request, QByteArray& bytes) {
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    bool ok = false;
    request = text.left(equals).toInt(&ok);
    const QString hex = text.mid(equals + 1).remove(QLatin1Char(' '));
    bytes = QByteArray::fromHex(hex.toLatin1());
    return equals > 0 && ok && request > 0 && !hex.isEmpty() && bytes.toHex().toUpper() == hex.toUpper().toLatin1();
}

// The n-th value of a repeated option, else its last one, else the fallback.
QString NthOr(const QStringList& values, qsizetype n, const QString& fallback) {
    if (values.isEmpty())
        return fallback;
    return values.value(n, values.last());
}

// The readers this process answers discovery probes for: one per --device-id, each with the
// n-th --announce-ip and --announce-port (the last one given repeats).
bool BuildDevices(const QStringList& ids, const QStringList& ips, const QStringList& ports, quint16 listenPort,
                  std::vector<discovery::DeviceRecord>& devices, QTextStream& err) {
    const QStringList idTexts = ids.isEmpty() ? QStringList{QStringLiteral("00000000000001")} : ids;
    for (qsizetype n = 0; n < idTexts.size(); ++n) {
        discovery::DeviceRecord device;
        const std::optional<discovery::DeviceId> id = ParseDeviceId(idTexts[n]);
        if (!id) {
            err << "reader-sim: a device id is 14 hexadecimal digits: " << idTexts[n] << '\n';
            return false;
        }
        device.deviceId = *id;
        bool ipOk = false;
        const quint32 ip = QHostAddress(NthOr(ips, n, QStringLiteral("127.0.0.1"))).toIPv4Address(&ipOk);
        bool portOk = false;
        const uint port = NthOr(ports, n, QString::number(listenPort)).toUInt(&portOk);
        if (!ipOk || !portOk || port == 0 || port > 65535) {
            err << "reader-sim: bad announced address for device " << idTexts[n] << '\n';
            return false;
        }
        device.ipv4 = {static_cast<std::uint8_t>(ip >> 24), static_cast<std::uint8_t>(ip >> 16),
                       static_cast<std::uint8_t>(ip >> 8), static_cast<std::uint8_t>(ip)};
        device.mac = {0x02, 0x00, device.deviceId[3], device.deviceId[4], device.deviceId[5], device.deviceId[6]};
        device.netmask = {255, 255, 255, 0};
        device.gateway = {device.ipv4[0], device.ipv4[1], device.ipv4[2], 1};
        device.tcpPort = static_cast<std::uint16_t>(port);
        devices.push_back(device);
    }
    return true;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("reader-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Answers the UHF reader protocol on a loopback port."));
    parser.addHelpOption();
    const QCommandLineOption host(QStringLiteral("host"), QStringLiteral("Loopback address to listen on."),
                                  QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Port (0: any free port)."),
                                  QStringLiteral("port"), QStringLiteral("60000"));
    const QCommandLineOption workMode(QStringLiteral("work-mode"), QStringLiteral("0 Answer, 1 Active, 2 Trigger."),
                                      QStringLiteral("mode"));
    const QCommandLineOption activeInterval(
        QStringLiteral("active-interval-ms"),
        QStringLiteral("Push a report of --tags this often while in Active mode (sets work mode 1)."),
        QStringLiteral("ms"));
    const QCommandLineOption tags(QStringLiteral("tags"), QStringLiteral("Comma-separated hex ids to report."),
                                  QStringLiteral("ids"));
    const QCommandLineOption reportCode(QStringLiteral("report-code"), QStringLiteral("Report layout: 45 or 01."),
                                        QStringLiteral("code"), QStringLiteral("45"));
    const QCommandLineOption whitelist(QStringLiteral("whitelist"),
                                       QStringLiteral("Comma-separated hex ids the whitelist starts with."),
                                       QStringLiteral("ids"));
    const QCommandLineOption silent(QStringLiteral("silent"), QStringLiteral("Never answer."));
    const QCommandLineOption refuse(QStringLiteral("refuse"), QStringLiteral("Answer every request with status 0."));
    const QCommandLineOption delay(QStringLiteral("delay-ms"), QStringLiteral("Answer after this many ms."),
                                   QStringLiteral("ms"));
    const QCommandLineOption split(QStringLiteral("split"), QStringLiteral("Send every reply in two writes."));
    const QCommandLineOption join(QStringLiteral("join-report"),
                                  QStringLiteral("Send a report of --tags in the same write as every reply."));
    const QCommandLineOption closeOn(QStringLiteral("close-on-request"),
                                     QStringLiteral("Drop the connection when its n-th request arrives."),
                                     QStringLiteral("n"));
    const QCommandLineOption answerBytes(
        QStringLiteral("answer-bytes"),
        QStringLiteral("Answer the n-th request of a connection with these bytes instead (e.g. 2=435401F0); "
                       "repeatable."),
        QStringLiteral("n=hex"));
    const QCommandLineOption capacity(
        QStringLiteral("whitelist-capacity"),
        QStringLiteral("Entries the whitelist holds before it refuses adds (at most 65535)."), QStringLiteral("n"),
        QString::number(ReaderSimulator::maxWhitelistCapacity));
    const QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("Print every request in hex."));
    const QCommandLineOption discoveryPort(
        QStringLiteral("discovery-port"),
        QStringLiteral("Answer discovery probes on this UDP port of 127.0.0.1 (0: any free port)."),
        QStringLiteral("port"));
    const QCommandLineOption deviceId(QStringLiteral("device-id"),
                                      QStringLiteral("A simulated reader's id, 14 hex digits; repeat for several."),
                                      QStringLiteral("hex"));
    const QCommandLineOption announceIp(QStringLiteral("announce-ip"),
                                        QStringLiteral("IPv4 address the n-th reader announces (127.0.0.1)."),
                                        QStringLiteral("address"));
    const QCommandLineOption announcePort(QStringLiteral("announce-port"),
                                          QStringLiteral("TCP port the n-th reader announces (the listening port)."),
                                          QStringLiteral("port"));
    parser.addOptions({host, port, workMode, activeInterval, tags, reportCode, whitelist, silent, refuse, delay, split,
                       join, closeOn, answerBytes, capacity, verbose, discoveryPort, deviceId, announceIp,
                       announcePort});
    parser.process(app);

    QTextStream err(stderr);
    const QString hostText = parser.value(host);
    const QHostAddress address =
        hostText == QStringLiteral("localhost") ? QHostAddress(QHostAddress::LocalHost) : QHostAddress(hostText);
    if (address.isNull() || !address.isLoopback()) {
        err << "reader-sim: only loopback addresses are allowed\n";
        return 2;
    }
    bool portOk = false;
    const uint portValue = parser.value(port).toUInt(&portOk);
    if (!portOk || portValue > 65535) {
        err << "reader-sim: bad port\n";
        return 2;
    }
    const std::uint8_t code =
        parser.value(reportCode) == QStringLiteral("01") ? ReaderCode::tagReportShort : ReaderCode::tagReport;
    const std::vector<std::string> ids = SplitIds(parser.value(tags));

    ReaderSimulator sim;
    if (parser.isSet(workMode))
        sim.SetParameterValue(ParameterId::workMode, static_cast<std::uint8_t>(parser.value(workMode).toUInt()));
    if (parser.isSet(activeInterval)) {
        if (!parser.isSet(workMode))
            sim.SetParameterValue(ParameterId::workMode, WorkMode::active);
        sim.SetActiveReports(parser.value(activeInterval).toInt(), ids, code);
    }
    bool capacityOk = false;
    const uint capacityValue = parser.value(capacity).toUInt(&capacityOk);
    if (!capacityOk || capacityValue > ReaderSimulator::maxWhitelistCapacity) {
        err << "reader-sim: the whitelist capacity is 0 to " << ReaderSimulator::maxWhitelistCapacity << '\n';
        return 2;
    }
    sim.SetWhitelistCapacity(capacityValue);
    if (parser.isSet(whitelist))
        sim.SetWhitelist(SplitIds(parser.value(whitelist)));
    for (const QString& value : parser.values(answerBytes)) {
        int request = 0;
        QByteArray bytes;
        if (!ParseAnswerBytes(value, request, bytes)) {
            err << "reader-sim: --answer-bytes takes n=hex, e.g. 2=435401F0: " << value << '\n';
            return 2;
        }
        sim.SetAnswerBytes(request, bytes);
    }
    sim.SetSilent(parser.isSet(silent));
    sim.SetRefusing(parser.isSet(refuse));
    sim.SetReplyDelayMs(parser.value(delay).toInt());
    sim.SetSplitReplies(parser.isSet(split));
    if (parser.isSet(join))
        sim.SetJoinedReport(ids, code);
    sim.SetCloseOnRequest(parser.value(closeOn).toInt());
    if (parser.isSet(verbose))
        QObject::connect(&sim, &ReaderSimulator::requestReceived, &app, [](const QByteArray& frame) {
            std::printf("request %s\n", frame.toHex(' ').toUpper().constData());
            std::fflush(stdout);
        });

    if (!sim.Listen(address, static_cast<quint16>(portValue))) {
        err << "reader-sim: cannot listen on " << address.toString() << ':' << portValue << '\n';
        return 1;
    }
    std::printf("reader-sim listening on %s port %u\n", address.toString().toUtf8().constData(), sim.Port());

    // The responder binds 127.0.0.1 only; the announced addresses are just data in its answers.
    std::unique_ptr<DiscoveryResponder> responder;
    if (parser.isSet(discoveryPort)) {
        bool udpOk = false;
        const uint udpPort = parser.value(discoveryPort).toUInt(&udpOk);
        std::vector<discovery::DeviceRecord> devices;
        if (!udpOk || udpPort > 65535) {
            err << "reader-sim: bad discovery port\n";
            return 2;
        }
        if (!BuildDevices(parser.values(deviceId), parser.values(announceIp), parser.values(announcePort), sim.Port(),
                          devices, err))
            return 2;
        responder = std::make_unique<DiscoveryResponder>(static_cast<std::uint16_t>(udpPort));
        responder->SetDevices(devices);
        if (!responder->Start()) {
            err << "reader-sim: cannot answer discovery on 127.0.0.1:" << udpPort << '\n';
            return 1;
        }
        std::printf("reader-sim answering discovery on 127.0.0.1 port %u for %zu reader(s)\n", responder->Port(),
                    devices.size());
    }
    std::fflush(stdout);
    return app.exec();
}
