// The register with 100,000 tags in the main window: time to a filled list, one header-click
// sort, 1,000 Saves of listed tags, resident memory; beside a plain read of the same records.
#include "AppConfig.h"
#include "CListCtrlEx.h"
#include "LanguageTexts.h"
#include "MainDialog.h"
#include "PlateList.h"
#include "SettingsStore.h"
#include "SqliteHive.h"
#include "TagStore.h"

#include <QApplication>
#include <QLineEdit>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

double Ms(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

std::string TagName(int i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "E2003412B8020115%08X", i);
    return buf;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    auto dir = std::filesystem::temp_directory_path() / ("lumetra-main-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto hive = SqliteHive::Open((dir / "user.hive").string());
    TagStore store(*hive);
    {
        HiveBatch batch(*hive);
        for (int i = 0; i < count; ++i) {
            TagRecord r{TagName(i), "P" + std::to_string(i), 1 + i % 2, false, false};
            (void)store.WriteRecord(r.tagId, &r);
        }
        (void)batch.Commit();
    }

    auto t = std::chrono::steady_clock::now();
    {
        HiveBatch snapshot(*hive, false);
        std::vector<std::string> names;
        store.EnumerateTags(names);
        TagRecord r;
        for (const auto& name : names)
            store.ReadRecord(name, &r);
    }
    double plainMs = Ms(t);

    AppConfig config;
    LanguageTexts texts;
    texts.LoadShared();
    PlateList cars(*hive, 1), motorcycles(*hive, 2);
    SettingsStore settings(*hive);
    RegisterContext context{config, texts, store, cars, motorcycles, settings, {}, {}};
    long rssBefore = ResidentKb();

    t = std::chrono::steady_clock::now();
    MainDialog main(context);
    double openMs = Ms(t);
    std::printf("open the main window with %d tags: %.0f ms (target < 1500 ms); plain read %.0f ms; ratio %.1f\n",
                main.List()->RowCount(), openMs, plainMs, plainMs > 0 ? openMs / plainMs : 0.0);

    t = std::chrono::steady_clock::now();
    main.LoadRegister();
    std::printf("reload of the register into the open window: %.0f ms\n", Ms(t));

    t = std::chrono::steady_clock::now();
    main.List()->SortByHeader(1);
    std::printf("one header-click sort: %.0f ms (target < 500 ms)\n", Ms(t));

    t = std::chrono::steady_clock::now();
    for (int i = 0; i < 1000; ++i) {
        main.TagField()->setText(QString::fromStdString(TagName(i * 97 % count)));
        main.PlateField()->setText(QStringLiteral("NEW%1").arg(i));
        main.Save();
    }
    std::printf("1,000 Saves of listed tags: %.0f ms\n", Ms(t));
    long rss = ResidentKb();
    std::printf("resident memory: %.0f MB (target < 200 MB); the window's share %.0f MB\n", rss / 1024.0,
                (rss - rssBefore) / 1024.0);
    std::filesystem::remove_all(dir);
    return 0;
}
