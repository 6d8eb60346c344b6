#pragma once

// The program: start-up in its fixed order, the main window run modally, then shutdown.
class TagApp {
public:
    // Returns the process's exit code; a second copy that gave way returns 0 at once.
    int Run();
};
