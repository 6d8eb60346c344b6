// reader-sim: a stand-in reader for trying Lumetra without hardware.
#include "ReaderSimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostAddress>
#include <QTextStream>

#include <cstdio>

namespace {
std::vector<std::string> SplitIds(const QString& text) {
    std::vector<std::string> ids;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        ids.push_back(part.trimmed().toUpper().toStdString());
    return ids;
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
    const QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("Print every request in hex."));
    parser.addOptions({host, port, workMode, activeInterval, tags, reportCode, whitelist, silent, refuse, delay, split,
                       join, closeOn, verbose});
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
    const std::uint8_t code = parser.value(reportCode) == QStringLiteral("01") ? 0x01 : 0x45;
    const std::vector<std::string> ids = SplitIds(parser.value(tags));

    ReaderSimulator sim;
    if (parser.isSet(workMode))
        sim.SetParameterValue(2, static_cast<std::uint8_t>(parser.value(workMode).toUInt()));
    if (parser.isSet(activeInterval)) {
        if (!parser.isSet(workMode))
            sim.SetParameterValue(2, 1);
        sim.SetActiveReports(parser.value(activeInterval).toInt(), ids, code);
    }
    if (parser.isSet(whitelist))
        sim.SetWhitelist(SplitIds(parser.value(whitelist)));
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
    std::fflush(stdout);
    return app.exec();
}
