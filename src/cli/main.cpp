// lumetra-cli: the register and the readers' whitelists from a script.
#include "cli/CliCommon.h"
#include "cli/CliHelp.h"
#include "cli/ReaderCommands.h"
#include "cli/RegisterCommands.h"
#include "cli/WhitelistCommands.h"

#include <QCoreApplication>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string hive;
    size_t next = 0;
    while (next < args.size() && args[next].rfind("--", 0) == 0) {
        const std::string& arg = args[next];
        if (arg == "--version") {
            std::cout << "Lumetra " << LUMETRA_VERSION_TEXT << '\n';
            return exitDone;
        }
        if (arg == "--help" || arg == "-h") {
            std::cout << HelpText("");
            return exitDone;
        }
        if (arg == "--hive" && next + 1 < args.size()) {
            hive = args[next + 1];
            next += 2;
        } else if (arg.rfind("--hive=", 0) == 0) {
            hive = arg.substr(7);
            ++next;
        } else if (arg == "--hive") {
            return UsageError("", "--hive needs a value");
        } else {
            return UsageError("", "unknown option " + arg);
        }
    }
    if (next >= args.size()) {
        std::cerr << HelpText("");
        return exitUsage;
    }
    const std::string command = args[next];
    const std::vector<std::string> rest(args.begin() + long(next) + 1, args.end());
    // The reader link and its waits need an event loop per thread; no windows are made.
    QCoreApplication app(argc, argv);
    if (command == "register")
        return RunRegisterCommand(hive, rest);
    if (command == "whitelist")
        return RunWhitelistCommand(hive, rest);
    if (command == "reader")
        return RunReaderCommand(rest);
    if (command == "discover")
        return RunDiscoverCommand(rest);
    return UsageError("", "unknown command " + command);
}
