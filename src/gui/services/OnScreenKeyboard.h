#pragma once

// The operating system's on-screen keyboard, a separate program this one only starts, finds,
// shows and hides. Show is the shell's ShowKeyboard: make the keyboard run, be restored and
// visible, waiting for a freshly started one (events are served meanwhile). Hide is
// HideKeyboard: hide it if it runs, leaving it running. Neither reports failure.
class OnScreenKeyboard {
public:
    virtual ~OnScreenKeyboard() = default;
    virtual void Show() = 0;
    virtual void Hide() = 0;
};
