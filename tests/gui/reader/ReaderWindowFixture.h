#pragma once

// First: the reader headers use a member name that Qt defines as a macro.
#include "link/ReaderLink.h"

#include "gui/app/Globals.h"
#include "gui/app/UiTexts.h"
#include "gui/controls/BalloonTip.h"
#include "gui/reader/ReaderDialog.h"
#include "gui/shell/CommandWiring.h"
#include "link/Waits.h"
#include "tests/support/RegisterHarness.h"
#include "tools/reader-sim/ReaderSimulator.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

// Generous deadlines where the simulator answers, so a busy machine never fails them; a short
// reply deadline where it is meant to stay silent.
inline constexpr ReaderLink::Timings answeredTimings{5000, 5000, 20, 2000};
inline constexpr ReaderLink::Timings silentTimings{5000, 150, 20, 2000};
inline constexpr int eventWaitMs = 5000;

// The main window over a temporary hive, the reader window attached to it, and a simulated
// reader on a loopback port the system picked.
class ReaderWindowFixture : public MainWindowTest {
protected:
    std::unique_ptr<ReaderSimulator> sim = std::make_unique<ReaderSimulator>();
    ReaderWindowOptions options;

    void SetUp() override {
        // Whatever a test does, discovery never leaves the machine.
        ::setenv("LUMETRA_DISCOVERY_LOOPBACK_ONLY", "1", 1);
        options.timings = answeredTimings;
        ASSERT_TRUE(sim->Listen());
        QObject::connect(sim.get(), &ReaderSimulator::connectionCountChanged, sim.get(), [] { WakeWaits(); });
    }

    void TearDown() override {
        CloseBalloons();
        CloseWindow(); // destroys the reader window and closes the link
        sim.reset();
    }

    ReaderDialog* OpenWindow() {
        Open();
        AttachReaderWindow(*main, options);
        main->Button(1043)->click();
        return readerWindow;
    }

    ReaderDialog& Window() { return *readerWindow; }
    template <typename T = QWidget> T* Control(int id) { return FindControl<T>(readerWindow, id); }
    QPushButton* Button(int id) { return Control<QPushButton>(id); }
    QComboBox* List(int id) { return Control<QComboBox>(id); }
    QLineEdit* Edit(int id) { return Control<QLineEdit>(id); }
    void Click(int id) { Button(id)->click(); }

    void ConnectTo(const QString& host, quint16 port) {
        Edit(1010)->setText(host);
        Edit(1011)->setText(QString::number(port));
        Click(1040);
    }
    // Connects to the simulator and forgets the frames of the connect.
    void ConnectToSim() {
        ConnectTo(QStringLiteral("127.0.0.1"), sim->Port());
        ASSERT_NE(readerLink, nullptr);
        ASSERT_TRUE(WaitUntil([this] { return sim->ConnectionCount() == 1; }, eventWaitMs));
        sim->ClearReceived();
    }

    std::vector<std::string> Frames() const {
        std::vector<std::string> frames;
        for (const QByteArray& frame : sim->Received())
            frames.push_back(frame.toHex(' ').toUpper().toStdString());
        return frames;
    }

    std::pair<std::string, int> StoredEndpoint() {
        std::string address = "<none>";
        int port = -1;
        harness.Settings().LoadReaderEndpoint(address, port);
        return {address, port};
    }

    // Which of the given controls are enabled, as a string of 1 and 0, for readable failures.
    std::string Enabled(std::initializer_list<int> ids) {
        std::string flags;
        for (int id : ids)
            flags += Control(id)->isEnabled() ? '1' : '0';
        return flags;
    }

    static void CloseBalloons() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* balloon = qobject_cast<BalloonTip*>(w))
                balloon->RequestClose();
        WaitUntil([] { return Balloon() == nullptr; }, eventWaitMs);
    }

    static QWidget* Balloon() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QStringLiteral("balloon") && w->isVisible())
                return w;
        return nullptr;
    }
};
