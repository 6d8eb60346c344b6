#pragma once

#include "link/ReaderLink.h"

#include <QObject>
#include <QPointer>

class LanguageTexts;
class QCheckBox;
class QComboBox;
class QPushButton;
class QWidget;

// Parameters (1) of the reader window: work mode, region, RF power, filter time, trigger valid
// time and buzzer, each a reader parameter of its own, with the buttons that read and write
// them. Its controls are children of the window.
class WorkingParameters : public QObject {
    Q_OBJECT
public:
    WorkingParameters(QWidget* window, const LanguageTexts& texts);

    QPushButton* ReadButton() const { return readButton; }
    QPushButton* WriteButton() const { return writeButton; }

    // Reads every value into its list; a value that fails leaves its list as it was. True when
    // any value was read and the window and the link outlived the waits; the values are then
    // offered for writing.
    [[nodiscard]] bool Read(const QPointer<ReaderLink>& link);
    // Stops the reader and sends the values shown. True when the window and the link outlived
    // the waits; the caller starts the reader again.
    [[nodiscard]] bool Write(const QPointer<ReaderLink>& link);

    // The values are offered only after a read since the last connect.
    void WithdrawValues() { valuesOn = false; }
    // Read is possible while connected, and neither button while another command runs.
    void Enable(bool readOn, bool blocked);

private:
    QPushButton* readButton = nullptr;
    QPushButton* writeButton = nullptr;
    QComboBox* workModeList = nullptr;
    QComboBox* regionList = nullptr;
    QComboBox* powerList = nullptr;
    QComboBox* filterList = nullptr;
    QComboBox* triggerList = nullptr;
    QCheckBox* buzzerCheck = nullptr;
    bool valuesOn = false;
};
