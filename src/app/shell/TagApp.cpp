#include "TagApp.h"

#include "BringForward.h"
#include "CommandWiring.h"
#include "Globals.h"
#include "KeyboardOverDBus.h"
#include "SingleInstance.h"
#include "DataDrive.h"
#include "LanguageTexts.h"
#include "MainDialog.h"
#include "Paths.h"
#include "PlateList.h"
#include "Prompts.h"
#include "SettingsStore.h"
#include "SqliteHive.h"
#include "StartupConfig.h"
#include "TagStore.h"
#include "UiTexts.h"

#include <QCoreApplication>

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

    auto userHive = SqliteHive::Open(UserHivePath());
    if (!userHive) {
        // The language setting lives in that hive: the box speaks the default language.
        LanguageTexts fallbackTexts(SelectLanguageFile(inputs.programDir, 0));
        prompts().Message(nullptr, LookupText(fallbackTexts, "LUMETRA", "014", QStringLiteral("無法開啟登錄資料:")) +
                                       QLatin1Char('\n') + QString::fromStdString(UserHivePath()));
        return 1;
    }
    auto machineHive = SqliteHive::OpenReadOnly(MachineHivePath());

    SettingsStore settings(*userHive);
    inputs.windowsDir = WindowsDir();
    inputs.dataDrive = DataDriveOverride();
    if (inputs.dataDrive.empty())
        inputs.dataDrive = ChooseDataDrive(ListDrives(), "/", "/");
    inputs.machineHive = machineHive.get();
    inputs.newerOs = false;
    inputs.language = settings.GetLanguage();
    AppConfig config = ResolveAppConfig(inputs);

    LanguageTexts texts(config.languageFilePath);
    texts.LoadShared();

    TagStore store(*userHive);
    PlateList cars(*userHive, 1);
    PlateList motorcycles(*userHive, 2);
    KeyboardOverDBus keyboard;
    RegisterContext context{config,   texts, store, cars, motorcycles, settings, [&keyboard] { keyboard.Show(); },
                            [&keyboard] { keyboard.Hide(); }};

    {
        MainDialog main(context);
        WireMainWindow(main);
        main.exec();
    }

    (void)SaveSuiteBackup(config, *userHive);
    return 0;
}
