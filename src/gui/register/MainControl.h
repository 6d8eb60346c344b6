#pragma once

// Control ids of the main window (dialog 110), carried as objectName "id<number>". Other windows
// use some of the same numbers for other controls.
namespace MainControl {
enum Id : int {
    TagLabel = 1001,
    PlateLabel = 1002,
    TypeLabel = 1004,
    StatusLine = 1005,
    PlateField = 1010,
    TagField = 1011,
    List = 1020,
    CarRadio = 1030,
    MotorcycleRadio = 1031,
    Save = 1040,
    Search = 1041,
    Keyboard = 1042,
    Reader = 1043,
    CopyTag = 1044,
    Delete = 1045,
    PlateTransfer = 1046,
    FileMenu = 1047,
    CopyPlate = 1048,
    Whitelist = 1049,
    UseConfirmation = 1050,
};
} // namespace MainControl
