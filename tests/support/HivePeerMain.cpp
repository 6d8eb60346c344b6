// A second process on a hive, as the suite's other program is one: reads commands from stdin,
// one per line with tab-separated fields, and answers each with one line.
//   get <path> <name>         a string value as it is, a number in decimal, "-" when missing
//   set <path> <name> <text>  "ok" or "fail"
//   hold / release            takes / gives back the write lock: "ok" or "fail"
// Usage: hive_peer <hive file> [busy timeout ms]
#include "core/store/SqliteHive.h"

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    auto hive = SqliteHive::Open(argv[1], argc > 2 ? std::stoi(argv[2]) : 5000);
    if (!hive) {
        std::cout << "cannot open" << std::endl;
        return 1;
    }
    std::string line;
    while (std::getline(std::cin, line)) {
        std::vector<std::string> f;
        std::stringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');)
            f.push_back(field);
        std::string answer = "fail";
        if (f.size() == 3 && f[0] == "get") {
            auto value = hive->GetValue(f[1], f[2]);
            if (!value)
                answer = "-";
            else if (auto number = AsDword(*value); value->type == ValueType::Dword && number)
                answer = std::to_string(*number);
            else
                answer = value->data;
        } else if (f.size() == 4 && f[0] == "set") {
            answer = hive->SetValue(f[1], f[2], StringValue(f[3])) ? "ok" : "fail";
        } else if (f.size() == 1 && f[0] == "hold") {
            answer = hive->BeginBatch(true) ? "ok" : "fail";
        } else if (f.size() == 1 && f[0] == "release") {
            answer = hive->EndBatch(true) ? "ok" : "fail";
        }
        std::cout << answer << std::endl;
    }
    return 0;
}
