#pragma once

// Control ids of the reader window; each control carries its id as objectName "id<number>".
// The numbers are the window's own: other windows use some of them for other controls.
namespace ReaderControl {
enum Id : int {
    ipLabel = 1001,
    portLabel = 1002,
    regionLabel = 1003,
    powerLabel = 1004,
    workModeLabel = 1005,
    filterTimeLabel = 1006,
    whitelistSwitchLabel = 1007,
    relaySwitchLabel = 1008,
    relayTimeLabel = 1009,
    ipEdit = 1010,
    portEdit = 1011,
    triggerTimeLabel = 1012,
    foundList = 1020,
    connectButton = 1040,
    disconnectButton = 1041,
    defaultButton = 1042,
    readParams1Button = 1043,
    writeParams1Button = 1044,
    readParams2Button = 1045,
    writeParams2Button = 1046,
    buzzerCheck = 1050,
    regionList = 1051,
    powerList = 1052,
    searchCheck = 1053,
    workModeList = 1054,
    filterTimeList = 1055,
    whitelistSwitchList = 1056,
    relaySwitchList = 1057,
    relayTimeList = 1058,
    triggerTimeList = 1059,
};
} // namespace ReaderControl

// The order Tab visits the controls in: the template's, whichever part of the window made them.
inline constexpr ReaderControl::Id readerTabOrder[] = {
    ReaderControl::ipEdit,
    ReaderControl::portEdit,
    ReaderControl::defaultButton,
    ReaderControl::connectButton,
    ReaderControl::disconnectButton,
    ReaderControl::readParams1Button,
    ReaderControl::writeParams1Button,
    ReaderControl::readParams2Button,
    ReaderControl::writeParams2Button,
    ReaderControl::workModeList,
    ReaderControl::regionList,
    ReaderControl::powerList,
    ReaderControl::filterTimeList,
    ReaderControl::triggerTimeList,
    ReaderControl::buzzerCheck,
    ReaderControl::relaySwitchList,
    ReaderControl::relayTimeList,
    ReaderControl::whitelistSwitchList,
    ReaderControl::searchCheck,
    ReaderControl::foundList,
};

// The window timer that drives the reader search; its objectName is "timer666".
inline constexpr int searchTimerId = 666;
