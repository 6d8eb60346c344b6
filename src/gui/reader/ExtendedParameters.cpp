#include "gui/reader/ExtendedParameters.h"

#include "core/reader/ParameterIds.h"
#include "core/reader/ParameterLists.h"
#include "gui/app/DialogUnits.h"
#include "gui/app/Prompts.h"
#include "gui/app/UiTexts.h"
#include "gui/reader/ReaderControlIds.h"
#include "gui/reader/ReaderControls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace ReaderControls;

namespace {
const QString writeFailText = QStringLiteral("Fail!"); // the same in every language
} // namespace

ExtendedParameters::ExtendedParameters(QWidget* parentWindow, const LanguageTexts& texts)
    : QObject(parentWindow), window(parentWindow) {
    const DialogUnits du(window->font());
    readButton = MakeButton(window, ReaderControl::readParams2Button, du.Rect(215, 75, 80, 16));
    writeButton = MakeButton(window, ReaderControl::writeParams2Button, du.Rect(300, 75, 80, 16));

    relayList = MakeList(window, ReaderControl::relaySwitchList, ListRect(du, 300, 100, 70), ParameterLists::OnOff());
    MakeLabel(window, ReaderControl::relaySwitchLabel, du.Rect(215, 100, 80, 16), relayList);
    relayTimeList =
        MakeList(window, ReaderControl::relayTimeList, ListRect(du, 300, 120, 70), ParameterLists::RelayValidTime());
    relayTimeList->setEditable(true);
    relayTimeList->setInsertPolicy(QComboBox::NoInsert);
    relayTimeList->lineEdit()->setMaxLength(ParameterLists::relayValidTimeDigits);
    relayTimeList->setValidator(DigitsOnly(ParameterLists::relayValidTimeDigits, relayTimeList));
    relayTimeList->setEditText(QString::fromLatin1(ParameterLists::relayValidTimeStart));
    MakeLabel(window, ReaderControl::relayTimeLabel, du.Rect(215, 120, 80, 16), relayTimeList);
    whitelistList =
        MakeList(window, ReaderControl::whitelistSwitchList, ListRect(du, 300, 140, 70), ParameterLists::OnOff());
    MakeLabel(window, ReaderControl::whitelistSwitchLabel, du.Rect(215, 140, 80, 16), whitelistList);

    const LanguageTexts& t = texts;
    ApplyText(t, "APA21", "047", QStringLiteral("讀取參數(2)"), readButton);
    ApplyText(t, "APA21", "048", QStringLiteral("寫入參數(2)"), writeButton);
    ApplyText(t, "APA21", "050", QStringLiteral("使用白名單:"),
              FindControl(window, ReaderControl::whitelistSwitchLabel));
    ApplyText(t, "APA21", "051", QStringLiteral("使用繼電器開關:"),
              FindControl(window, ReaderControl::relaySwitchLabel));
    ApplyText(t, "APA21", "052", QStringLiteral("繼電器有效時間:"), FindControl(window, ReaderControl::relayTimeLabel));
}

void ExtendedParameters::HideButtons() {
    readButton->hide();
    writeButton->hide();
}

void ExtendedParameters::Enable(bool readOn, bool blocked) {
    readButton->setEnabled(readOn && !blocked);
    writeButton->setEnabled(valuesOn && !blocked);
    for (QWidget* control :
         {static_cast<QWidget*>(whitelistList), static_cast<QWidget*>(relayList), static_cast<QWidget*>(relayTimeList)})
        control->setEnabled(valuesOn);
}

bool ExtendedParameters::Read(const QPointer<ReaderLink>& link) {
    QPointer<ExtendedParameters> self(this);
    // Read into a copy: the window may go away while the read waits.
    ExtendedBlock read{};
    const bool ok = link->ReadExtendedBlock(read);
    if (self.isNull())
        return false;
    block = read;
    loaded = ok && !link.isNull();
    if (loaded) {
        SelectValue(whitelistList, block[BlockOffset::whitelistSwitch]);
        SelectValue(relayList, block[BlockOffset::relaySwitch]);
        relayTimeList->setEditText(QString::number(block[BlockOffset::relayValidTime]));
    }
    valuesOn = loaded;
    return !link.isNull();
}

bool ExtendedParameters::Write(const QPointer<ReaderLink>& link) {
    // Only a block read since the connect goes back: its other bytes are returned as read.
    if (!loaded || link.isNull())
        return !link.isNull();
    QPointer<ExtendedParameters> self(this);
    auto alive = [&] { return !self.isNull() && !link.isNull(); };
    const int switchFallback = ParameterLists::OnOff().fallback;
    block[BlockOffset::whitelistSwitch] = static_cast<std::uint8_t>(SelectedValue(whitelistList, switchFallback));
    block[BlockOffset::relaySwitch] = static_cast<std::uint8_t>(SelectedValue(relayList, switchFallback));
    block[BlockOffset::relayValidTime] = static_cast<std::uint8_t>(relayTimeList->currentText().toInt() & 0xFF);
    const ExtendedBlock toWrite = block;

    link->SetRunning(false);
    if (!alive())
        return false;
    const bool confirmed = link->WriteExtendedBlock(toWrite);
    if (self.isNull())
        return false;
    if (!confirmed)
        prompts().Message(window, writeFailText);
    if (!alive())
        return false;
    link->SetRunning(true);
    return alive();
}
