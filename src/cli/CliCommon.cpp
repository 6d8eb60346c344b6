#include "cli/CliCommon.h"

#include <cstdio>
#include <iostream>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

std::vector<std::string> CommandArgs::All(const std::string& name) const {
    auto found = values.find(name);
    return found == values.end() ? std::vector<std::string>{} : found->second;
}

std::optional<CommandArgs> ParseCommandArgs(const std::vector<std::string>& args, const ArgsSpec& options,
                                            std::string& error) {
    CommandArgs parsed;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (options.flags.count(name) > 0 && equals == std::string::npos) {
            parsed.flags.insert(name);
        } else if (options.valued.count(name) > 0) {
            if (equals != std::string::npos) {
                parsed.values[name].push_back(arg.substr(equals + 1));
            } else if (i + 1 < args.size()) {
                parsed.values[name].push_back(args[++i]);
            } else {
                error = name + " needs a value";
                return std::nullopt;
            }
        } else {
            error = "unknown option " + arg;
            return std::nullopt;
        }
    }
    return parsed;
}

int UsageError(const std::string& command, const std::string& message) {
    std::cerr << "lumetra-cli: " << message << "\nTry 'lumetra-cli " << (command.empty() ? "" : command + " ")
              << "--help'.\n";
    return exitUsage;
}

int Failure(int status, const std::string& message) {
    std::cerr << "lumetra-cli: " << message << '\n';
    return status;
}

std::string JsonText(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

bool ProgressWanted() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}
