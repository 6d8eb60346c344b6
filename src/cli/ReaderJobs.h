#pragma once

#include "core/reader/Frame.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class ReaderLink;

struct ReaderAddress {
    std::string host;
    std::uint16_t port = defaultReaderPort;
    std::string Text() const { return host + ":" + std::to_string(port); }
};

// "HOST[:PORT]" with a port of 1 to 65535; nullopt with error set otherwise.
std::optional<ReaderAddress> ParseReaderAddress(const std::string& text, std::string& error);

// What one reader's job left: its lines for standard output, its summary and its share of the
// exit status.
struct ReaderOutcome {
    ReaderAddress address;
    bool opened = false;
    int status = 0;
    std::string output;
    std::string summary;
    std::string json; // the reader's JSON object, for --json
};

// The work done on one connected reader; fills output, summary, json and status.
using ReaderJob = std::function<void(ReaderLink& link, ReaderOutcome& outcome)>;

// Runs job on every reader at once, each on its own thread and connection. A reader that
// cannot be resolved or connected gets status 3 and a summary saying so; the others go on.
std::vector<ReaderOutcome> RunOnReaders(const std::vector<ReaderAddress>& readers, const ReaderJob& job);

// Progress of one reader on standard error, when that is a terminal; safe from any thread.
void ShowReaderProgress(const ReaderAddress& reader, const std::string& what, int done, int total);
