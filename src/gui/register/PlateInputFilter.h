#pragma once

#include <QObject>

// The typing rule of the tag and plate fields: digits and A to Z pass, a to z become capitals,
// backspace passes, every other typed character is dropped. Editing keys and shortcuts
// (copy, paste, cut, undo) pass untouched; pasted text is not filtered.
class PlateInputFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
