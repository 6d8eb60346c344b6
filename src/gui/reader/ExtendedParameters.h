#pragma once

#include "link/ReaderLink.h"

#include <QObject>
#include <QPointer>

class LanguageTexts;
class QComboBox;
class QPushButton;
class QWidget;

// Parameters (2) of the reader window: whitelist switch, relay switch and relay valid time,
// three bytes of the reader's extended block, which is read and written whole, with the
// buttons that read and write it. Its controls are children of the window.
class ExtendedParameters : public QObject {
    Q_OBJECT
public:
    ExtendedParameters(QWidget* window, const LanguageTexts& texts);

    QPushButton* ReadButton() const { return readButton; }
    QPushButton* WriteButton() const { return writeButton; }
    // Where the reader's setting combines both groups, parameters (1)'s buttons serve them.
    void HideButtons();

    // Reads the block and shows its three bytes; the values are offered for writing when the
    // block came. False when the window or the link went away during the wait.
    [[nodiscard]] bool Read(const QPointer<ReaderLink>& link);
    // Writes the block read since the connect back with the three values shown, the reader
    // stopped meanwhile; says "Fail!" when the reader does not confirm. Nothing without such a
    // block. False when the window or the link went away during the waits.
    [[nodiscard]] bool Write(const QPointer<ReaderLink>& link);

    // The block was read since the last connect.
    bool Loaded() const { return loaded; }
    // A new connection: the block read from the previous one must not be written to it.
    void Forget() { loaded = false; }
    void WithdrawValues() { valuesOn = false; }
    void Enable(bool readOn, bool blocked);

private:
    QWidget* window;
    QPushButton* readButton = nullptr;
    QPushButton* writeButton = nullptr;
    QComboBox* whitelistList = nullptr;
    QComboBox* relayList = nullptr;
    QComboBox* relayTimeList = nullptr;
    ExtendedBlock block{};
    bool loaded = false;
    bool valuesOn = false;
};
