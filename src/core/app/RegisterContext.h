#pragma once

#include "core/app/AppConfig.h"
#include "core/app/SettingsStore.h"
#include "core/register/PlateList.h"
#include "core/register/TagStore.h"
#include "core/text/LanguageTexts.h"

#include <functional>

// What the register's windows work with, handed in by start-up.
struct RegisterContext {
    AppConfig& config;
    const LanguageTexts& texts;
    TagStore& store;
    PlateList& cars;
    PlateList& motorcycles;
    SettingsStore& settings;
    std::function<void()> showKeyboard; // may be empty
    std::function<void()> hideKeyboard;

    PlateList& PlatesOf(int carType) { return carType == 2 ? motorcycles : cars; }
};
