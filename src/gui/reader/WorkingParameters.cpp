#include "gui/reader/WorkingParameters.h"

#include "core/reader/ParameterIds.h"
#include "core/reader/ParameterLists.h"
#include "gui/app/DialogUnits.h"
#include "gui/app/UiTexts.h"
#include "gui/reader/ReaderControlIds.h"
#include "gui/reader/ReaderControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include <array>
#include <functional>
#include <optional>

using namespace ReaderControls;

WorkingParameters::WorkingParameters(QWidget* window, const LanguageTexts& texts) : QObject(window) {
    const DialogUnits du(window->font());
    readButton = MakeButton(window, ReaderControl::readParams1Button, du.Rect(20, 75, 80, 16));
    writeButton = MakeButton(window, ReaderControl::writeParams1Button, du.Rect(105, 75, 80, 16));

    workModeList =
        MakeList(window, ReaderControl::workModeList, ListRect(du, 100, 100, 100), ParameterLists::WorkMode());
    MakeLabel(window, ReaderControl::workModeLabel, du.Rect(20, 100, 75, 16), workModeList);
    regionList = MakeList(window, ReaderControl::regionList, ListRect(du, 100, 120, 100), ParameterLists::Region());
    MakeLabel(window, ReaderControl::regionLabel, du.Rect(20, 120, 75, 16), regionList);
    powerList = MakeList(window, ReaderControl::powerList, ListRect(du, 100, 140, 100), ParameterLists::RfPower());
    MakeLabel(window, ReaderControl::powerLabel, du.Rect(20, 140, 75, 16), powerList);
    filterList =
        MakeList(window, ReaderControl::filterTimeList, ListRect(du, 100, 160, 100), ParameterLists::FilterTime());
    MakeLabel(window, ReaderControl::filterTimeLabel, du.Rect(20, 160, 75, 16), filterList);
    triggerList =
        MakeList(window, ReaderControl::triggerTimeList, ListRect(du, 100, 180, 100), ParameterLists::TriggerTime());
    MakeLabel(window, ReaderControl::triggerTimeLabel, du.Rect(20, 180, 75, 16), triggerList);

    buzzerCheck = new QCheckBox(window);
    SetControlId(buzzerCheck, ReaderControl::buzzerCheck);
    buzzerCheck->setGeometry(du.Rect(20, 200, 190, 14));

    const LanguageTexts& t = texts;
    ApplyText(t, "APA21", "045", QStringLiteral("讀取參數(1)"), readButton);
    ApplyText(t, "APA21", "046", QStringLiteral("寫入參數(1)"), writeButton);
    ApplyText(t, "APA21", "031", QStringLiteral("工作模式:"), FindControl(window, ReaderControl::workModeLabel));
    ApplyText(t, "APA21", "023", QStringLiteral("工作頻段:"), FindControl(window, ReaderControl::regionLabel));
    ApplyText(t, "APA21", "024", QStringLiteral("射頻功率:"), FindControl(window, ReaderControl::powerLabel));
    ApplyText(t, "APA21", "049", QStringLiteral("過濾時間:"), FindControl(window, ReaderControl::filterTimeLabel));
    ApplyText(t, "APA21", "053", QStringLiteral("觸發有效時間:"), FindControl(window, ReaderControl::triggerTimeLabel));
    ApplyText(t, "APA21", "025", QStringLiteral("打開蜂鳴器"), buzzerCheck);
}

void WorkingParameters::Enable(bool readOn, bool blocked) {
    readButton->setEnabled(readOn && !blocked);
    writeButton->setEnabled(valuesOn && !blocked);
    for (QWidget* control :
         {static_cast<QWidget*>(workModeList), static_cast<QWidget*>(regionList), static_cast<QWidget*>(powerList),
          static_cast<QWidget*>(filterList), static_cast<QWidget*>(triggerList), static_cast<QWidget*>(buzzerCheck)})
        control->setEnabled(valuesOn);
}

bool WorkingParameters::Read(const QPointer<ReaderLink>& link) {
    // Every read waits and serves events meanwhile; the window may be gone when it returns.
    QPointer<WorkingParameters> self(this);
    auto alive = [&] { return !self.isNull() && !link.isNull(); };

    bool anyRead = false;
    const int region = link->GetRegion();
    if (!alive())
        return false;
    if (region >= 0) {
        SelectValue(regionList, region);
        anyRead = true;
    }
    const std::array<std::pair<std::uint8_t, QComboBox*>, 4> lists{{{ParameterId::workMode, workModeList},
                                                                    {ParameterId::rfPower, powerList},
                                                                    {ParameterId::filterTime, filterList},
                                                                    {ParameterId::triggerValidTime, triggerList}}};
    for (const auto& [id, list] : lists) {
        const std::optional<int> value = link->GetParameter(id);
        if (!alive())
            return false;
        if (value) {
            SelectValue(list, *value);
            anyRead = true;
        }
    }
    const std::optional<int> buzzer = link->GetParameter(ParameterId::buzzer);
    if (!alive())
        return false;
    if (buzzer) {
        buzzerCheck->setChecked(*buzzer != 0);
        anyRead = true;
    }
    if (anyRead)
        valuesOn = true;
    return anyRead;
}

bool WorkingParameters::Write(const QPointer<ReaderLink>& link) {
    QPointer<WorkingParameters> self(this);
    auto alive = [&] { return !self.isNull() && !link.isNull(); };

    const int workMode = SelectedValue(workModeList, ParameterLists::WorkMode().fallback);
    const int region = SelectedValue(regionList, ParameterLists::Region().fallback);
    const int power = SelectedValue(powerList, ParameterLists::RfPower().fallback);
    const int filter = SelectedValue(filterList, ParameterLists::FilterTime().fallback);
    const int trigger = SelectedValue(triggerList, ParameterLists::TriggerTime().fallback);
    const int buzzer = buzzerCheck->isChecked() ? 1 : 0;

    // The reader is stopped while its values change.
    const std::array<std::function<void()>, 7> steps{
        [&] { link->SetRunning(false); },
        [&] { link->SetRegion(region); },
        [&] { link->SetParameter(ParameterId::rfPower, power); },
        [&] { link->SetParameter(ParameterId::buzzer, buzzer); },
        [&] { link->SetParameter(ParameterId::filterTime, filter); },
        [&] { link->SetParameter(ParameterId::triggerValidTime, trigger); },
        [&] { link->SetParameter(ParameterId::workMode, workMode); },
    };
    for (const auto& step : steps) {
        step();
        if (!alive())
            return false;
    }
    return true;
}
