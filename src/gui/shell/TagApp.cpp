#include "gui/shell/TagApp.h"

#include "core/app/DataDrive.h"
#include "core/app/Paths.h"
#include "core/app/RegistryHives.h"
#include "core/app/SettingsStore.h"
#include "core/app/StartupConfig.h"
#include "core/register/PlateList.h"
#include "core/register/TagStore.h"
#include "core/store/SqliteHive.h"
#include "core/text/LanguageTexts.h"
#include "gui/app/Globals.h"
#include "gui/app/OpenUserHive.h"
#include "gui/app/Prompts.h"
#include "gui/app/UiTexts.h"
#include "gui/register/MainDialog.h"
#include "gui/services/BringForward.h"
#include "gui/services/KeyboardOverDBus.h"
#include "gui/services/KeyboardWin32.h"
#include "gui/services/SingleInstance.h"
#include "gui/shell/CommandWiring.h"
#include "gui/shell/FirstPaintStamp.h"

#include <QCoreApplication>
#include <QLoggingCategory>

// Silent unless enabled (QT_LOGGING_RULES="lumetra.start.info=true"): shows an installed
// program's choices, such as the language file it found, without a log file.
Q_LOGGING_CATEGORY(lcStart, "lumetra.start", QtWarningMsg)

int TagApp::Run() {
    // A second copy brings the first one forward and gives way without touching the register.
    SingleInstance guard;
    if (!guard.Acquire()) {
        (void)guard.AskFirstToShow();
        return 0;
    }
    LastActiveWindow lastActive([] { return static_cast<QWidget*>(mainWindow); });
    QObject::connect(&guard, &InstanceGuard::showRequested, [&lastActive] {
        if (mainWindow)
            BringForward(mainWindow, lastActive.Window());
    });

    StartupInputs inputs;
    inputs.programDir = ProgramDirOverride();
    if (inputs.programDir.empty())
        inputs.programDir = QCoreApplication::applicationDirPath().toStdString();
    // The language setting lives in the hive: its boxes speak the default language.
    std::unique_ptr<Hive> userHive = OpenRegistryUserHive();
    std::unique_ptr<Hive> machineHive = OpenRegistryMachineHive();
    if (!userHive)
        userHive = OpenUserHive(UserHivePath(), LanguageTexts(SelectLanguageFile(inputs.programDir, 0)));
    if (!userHive)
        return 1;
    if (!machineHive)
        machineHive = SqliteHive::OpenReadOnly(MachineHivePath());

    SettingsStore settings(*userHive);
    inputs.windowsDir = WindowsDir();
    inputs.dataDrive = DataDriveOverride();
    if (inputs.dataDrive.empty())
        inputs.dataDrive = ChooseDataDrive(ListDrives(), "/", "/");
    inputs.machineHive = machineHive.get();
    inputs.newerOs = false;
    inputs.language = settings.GetLanguage();
    AppConfig config = ResolveAppConfig(inputs);
    qCInfo(lcStart, "language file: %s",
           config.languageFilePath.empty() ? "none, built-in texts" : config.languageFilePath.c_str());

    LanguageTexts texts(config.languageFilePath);
    texts.LoadShared();

    TagStore store(*userHive);
    PlateList cars(*userHive, VehicleType::Car);
    PlateList motorcycles(*userHive, VehicleType::Motorcycle);
#ifdef _WIN32
    KeyboardWin32 keyboard(inputs.windowsDir, inputs.newerOs, [] { return static_cast<QWidget*>(mainWindow); });
#else
    KeyboardOverDBus keyboard;
#endif
    RegisterContext context{config,   texts, store, cars, motorcycles, settings, [&keyboard] { keyboard.Show(); },
                            [&keyboard] { keyboard.Hide(); }};

    {
        MainDialog main(context);
        WireMainWindow(main);
        FirstPaintStamp::WatchIfAsked(&main);
        if (main.LoadFailed())
            return 1; // the register was not read whole: nothing may be written from it
        main.exec();
    }

    (void)SaveSuiteBackup(config, *userHive);
    return 0;
}
