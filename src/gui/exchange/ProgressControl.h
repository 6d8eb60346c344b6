#pragma once

// Ids of the progress window (dialog 301) and its controls, carried as objectName "id<number>".
namespace ProgressControl {
enum Id : int {
    Window = 301,
    Icon = 800,
    Bar = 801,
    SecondBar = 802,
    Label = 803,
    Stop = 1040,
};
} // namespace ProgressControl
