#pragma once

// Shared by the benches that open the main window: prompts that never wait, the register a
// window is handed, and a main that runs one size in an offscreen application.
#include "BenchSupport.h"
#include "core/app/AppConfig.h"
#include "core/app/RegisterContext.h"
#include "core/app/SettingsStore.h"
#include "core/register/PlateList.h"
#include "core/register/TagStore.h"
#include "core/text/LanguageTexts.h"
#include "gui/app/Prompts.h"

#include <QApplication>

#include <functional>
#include <vector>

namespace bench {

// No boxes in a benchmark: every question says yes and a menu picks menuAnswer.
class SilentPrompts : public Prompts {
public:
    explicit SilentPrompts(int menuAnswer = 0) : answer(menuAnswer) {}
    void Message(QWidget*, const QString&) override {}
    void Notice(QWidget*, const QString&, const QString&) override {}
    bool Confirm(QWidget*, const QString&, const QString&) override { return true; }
    bool RetryCancel(QWidget*, const QString&) override { return false; }
    int Menu(QWidget*, const std::vector<MenuItem>&) override { return answer; }
    QString SaveFile(QWidget*, const QString&, const QString&) override { return {}; }
    QString OpenFile(QWidget*, const QString&, const QString&) override { return {}; }

private:
    int answer;
};

// The store, plate lists and settings over one hive, as start-up hands them to the main window.
struct WindowRegister {
    WindowRegister(Hive& hive, const LanguageTexts& texts)
        : store(hive), cars(hive, VehicleType::Car), motorcycles(hive, VehicleType::Motorcycle),
          settings(hive), context{config, texts, store, cars, motorcycles, settings, {}, {}} {}

    AppConfig config;
    TagStore store;
    PlateList cars;
    PlateList motorcycles;
    SettingsStore settings;
    RegisterContext context;
};

// Runs run(size) in an offscreen application; several sizes each in a process of their own.
inline int RunSizesOffscreen(int argc, char** argv, const std::function<int(int size)>& run) {
    const std::vector<int> sizes = Sizes(argc, argv);
    int status = 0;
    if (RunSizesApart(argv[0], sizes, status))
        return status;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return run(sizes.front());
}

} // namespace bench
