#include "cli/CliHelp.h"

#include <map>

namespace {

const char* const sharedHive =
    "The hive is the one the window uses (LUMETRA_USER_HIVE or ~/.config/Vessory/user.hive);\n"
    "--hive PATH names another. Writes made while the window runs are safe, as the hive is shared,\n"
    "but the window shows them only after it reloads the register.\n";

const char* const readerNote =
    "--reader HOST[:PORT] names a reader (port 60000 when left out) and may be repeated: every\n"
    "reader is served at once on its own connection, and one that cannot be reached does not\n"
    "stop the others.\n";

const char* const statuses = "Exit status: 0 done, 1 differences or some items failed, 2 usage error,\n"
                             "3 a hive or a reader could not be opened.\n";

std::string Join(std::initializer_list<const char*> parts) {
    std::string text;
    for (const char* part : parts)
        text += part;
    return text;
}

const std::map<std::string, std::string>& Texts() {
    static const std::map<std::string, std::string> texts{
        {"", Join({"Usage: lumetra-cli [--hive PATH] COMMAND ...\n"
                   "       lumetra-cli --version\n\n"
                   "The register of tags and the readers' whitelists from a script.\n\n"
                   "Commands:\n"
                   "  register   list, import, export and edit the register\n"
                   "  reader     read and write a reader's parameters\n"
                   "  whitelist  count, export, compare, fill and prune readers' whitelists\n"
                   "  discover   search the network for readers\n\n"
                   "Every command takes --help.\n\n",
                   sharedHive, "\n", statuses})},
        {"register", Join({"Usage: lumetra-cli [--hive PATH] register SUBCOMMAND ...\n\n"
                           "  list [--marked | --unmarked] [--json]\n"
                           "  import FILE [--check] [--report FILE]\n"
                           "  export FILE [--marked | --unmarked] [--utf8]\n"
                           "  set TAG PLATE car|motorcycle\n"
                           "  delete TAG...\n"
                           "  mark TAG on|off\n"
                           "  confirm TAG on|off\n\n",
                           sharedHive})},
        {"register list", Join({"Usage: lumetra-cli [--hive PATH] register list [--marked | --unmarked] [--json]\n\n"
                                "One line per tag: tag, plate, car or motorcycle, \"*\" when marked, \"Y\" when\n"
                                "confirmed, separated by tabs.\n\n",
                                sharedHive})},
        {"register import",
         Join({"Usage: lumetra-cli [--hive PATH] register import FILE [--check] [--report FILE]\n\n"
               "Imports a tag file as the window does: the same line rules, the last line of a tag wins,\n"
               "a tag keeps its mark and confirmation. The report names every line not applied\n"
               "(\"line N: reason\") and ends with \"applied A, new B, changed C, skipped D, failed E\";\n"
               "it goes to standard error, or to the file given with --report.\n"
               "--check changes nothing and prints the import check's findings, one per line.\n\n",
               sharedHive, "\n", statuses})},
        {"register export",
         Join({"Usage: lumetra-cli [--hive PATH] register export FILE [--marked | --unmarked] [--utf8]\n\n"
               "Writes the tag file as the window does, in Big5. Rows Big5 cannot hold are left out and\n"
               "named on standard error (exit status 1); --utf8 writes every row in UTF-8 with a\n"
               "byte-order mark instead.\n\n",
               sharedHive})},
        {"register set", Join({"Usage: lumetra-cli [--hive PATH] register set TAG PLATE car|motorcycle\n\n"
                               "Saves a tag as the window's Save does; an existing tag keeps its mark and\n"
                               "confirmation.\n\n",
                               sharedHive})},
        {"register delete", Join({"Usage: lumetra-cli [--hive PATH] register delete TAG...\n\n", sharedHive})},
        {"register mark", Join({"Usage: lumetra-cli [--hive PATH] register mark TAG on|off\n\n", sharedHive})},
        {"register confirm", Join({"Usage: lumetra-cli [--hive PATH] register confirm TAG on|off\n\n", sharedHive})},
        {"reader", Join({"Usage: lumetra-cli reader params get --reader HOST[:PORT] [--json]\n"
                         "       lumetra-cli reader params set --reader HOST[:PORT] NAME=VALUE...\n\n"
                         "Names: region (index), workmode (0 answer, 1 active, 2 trigger), power (0-30),\n"
                         "filter (0-5), trigger (1-6), buzzer (0/1), whitelist (0/1), relay (0/1),\n"
                         "relaytime (0-255).\n"})},
        {"reader params", ""},
        {"reader params get", ""},
        {"reader params set", ""},
        {"whitelist", Join({"Usage: lumetra-cli [--hive PATH] whitelist SUBCOMMAND ...\n\n"
                            "  count  --reader HOST[:PORT]... [--json]\n"
                            "  export --reader HOST[:PORT] FILE\n"
                            "  diff   --reader HOST[:PORT]... [--marked | --unmarked] [--json]\n"
                            "  push   --reader HOST[:PORT]... [--marked | --unmarked] [--sync]\n"
                            "  delete --reader HOST[:PORT]... TAG...\n"
                            "  clear  --reader HOST[:PORT]... --yes\n\n",
                            readerNote, "\n", statuses})},
        {"whitelist count", Join({"Usage: lumetra-cli whitelist count --reader HOST[:PORT]... [--json]\n\n", readerNote})},
        {"whitelist export",
         Join({"Usage: lumetra-cli whitelist export --reader HOST[:PORT] FILE\n\n"
               "Reads the reader's whitelist into FILE, one \"<id>,,1\" line per entry; the file is written\n"
               "only when every entry was read.\n"})},
        {"whitelist diff",
         Join({"Usage: lumetra-cli [--hive PATH] whitelist diff --reader HOST[:PORT]... [--marked | --unmarked] "
               "[--json]\n\n"
               "Compares the chosen register rows (all by default) with each reader's whitelist: \"+ TAG\"\n"
               "for a tag the reader lacks, \"- TAG\" for one it has beyond the register. Exit status 0\n"
               "when every reader matches, 1 otherwise.\n\n",
               readerNote})},
        {"whitelist push",
         Join({"Usage: lumetra-cli [--hive PATH] whitelist push --reader HOST[:PORT]... [--marked | --unmarked] "
               "[--sync]\n\n"
               "Reads each reader's whitelist, then adds the chosen register rows' tags it lacks; with\n"
               "--sync also deletes what it holds beyond them. Only the changes are sent.\n\n",
               readerNote})},
        {"whitelist delete",
         Join({"Usage: lumetra-cli whitelist delete --reader HOST[:PORT]... TAG...\n\n", readerNote})},
        {"whitelist clear",
         Join({"Usage: lumetra-cli whitelist clear --reader HOST[:PORT]... --yes\n\n"
               "Empties each reader's whitelist; --yes is required.\n\n",
               readerNote})},
        {"discover", Join({"Usage: lumetra-cli discover [--timeout SECONDS] [--json]\n\n"
                           "Searches for readers for the given time (3 s by default) and prints one per line:\n"
                           "id, address, port. LUMETRA_DISCOVERY_TARGET=host:port sends the search there\n"
                           "instead of to every interface's broadcast address.\n"})},
    };
    return texts;
}

} // namespace

std::string HelpText(const std::string& path) {
    const auto& texts = Texts();
    auto found = texts.find(path);
    if (found == texts.end())
        return {};
    // The parameter commands share the reader text.
    if (found->second.empty())
        return texts.at("reader");
    return found->second;
}
