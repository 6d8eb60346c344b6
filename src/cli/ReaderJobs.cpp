#include "cli/ReaderJobs.h"

#include "cli/CliCommon.h"
#include "link/ReaderLink.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QThread>

#include <charconv>
#include <iostream>
#include <memory>
#include <mutex>

std::optional<ReaderAddress> ParseReaderAddress(const std::string& text, std::string& error) {
    ReaderAddress address;
    const size_t colon = text.rfind(':');
    address.host = text.substr(0, colon);
    if (colon != std::string::npos) {
        const std::string portText = text.substr(colon + 1);
        unsigned long port = 0;
        auto [end, ec] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
        if (portText.empty() || ec != std::errc{} || end != portText.data() + portText.size() || port < 1 ||
            port > 65535) {
            error = "port out of range in --reader " + text + " (1-65535)";
            return std::nullopt;
        }
        address.port = static_cast<std::uint16_t>(port);
    }
    if (address.host.empty()) {
        error = "no host in --reader " + text;
        return std::nullopt;
    }
    return address;
}

namespace {

std::mutex progressLock;

void RunOne(const ReaderJob& job, ReaderOutcome& outcome) {
    const QString host = QString::fromStdString(outcome.address.host);
    // Resolved here, so a name that does not resolve is told apart from a reader that is off.
    if (QHostAddress literal; !literal.setAddress(host)) {
        const QHostInfo info = QHostInfo::fromName(host);
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
            outcome.status = exitUnavailable;
            outcome.summary = "host not found";
            return;
        }
    }
    ReaderLink link;
    if (!link.Open(host, outcome.address.port)) {
        outcome.status = exitUnavailable;
        outcome.summary = "cannot connect";
        return;
    }
    outcome.opened = true;
    // As the reader window does after its connect: processing first, so the reply counts.
    link.SetProcessing(true);
    link.SetRunning(true);
    job(link, outcome);
    link.Close();
}

} // namespace

std::vector<ReaderOutcome> RunOnReaders(const std::vector<ReaderAddress>& readers, const ReaderJob& job) {
    std::vector<ReaderOutcome> outcomes(readers.size());
    std::vector<std::unique_ptr<QThread>> threads;
    for (size_t i = 0; i < readers.size(); ++i) {
        outcomes[i].address = readers[i];
        // Each link lives and waits on its own thread, as the link is one-exchange-at-a-time.
        threads.emplace_back(QThread::create([&job, &outcome = outcomes[i]] { RunOne(job, outcome); }));
        threads.back()->start();
    }
    for (auto& thread : threads)
        thread->wait();
    if (ProgressWanted()) {
        std::lock_guard<std::mutex> hold(progressLock);
        std::cerr << "\r\033[K" << std::flush;
    }
    return outcomes;
}

void ShowReaderProgress(const ReaderAddress& reader, const std::string& what, int done, int total) {
    if (!ProgressWanted())
        return;
    std::lock_guard<std::mutex> hold(progressLock);
    std::cerr << "\r\033[K" << reader.Text() << ": " << what << ' ' << done << '/' << total << std::flush;
}
