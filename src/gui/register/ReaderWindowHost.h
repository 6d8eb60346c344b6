#pragma once

class QWidget;
struct RegisterContext;

// What the reader window uses of the main window it belongs to: the parent, the settings and
// texts, and the whitelist button, which is enabled exactly while a connected link exists.
class ReaderWindowHost {
public:
    virtual ~ReaderWindowHost() = default;

    virtual QWidget* Window() = 0;
    virtual RegisterContext& Context() const = 0;
    virtual void EnableWhitelistButton(bool on) = 0;
};
