#pragma once

#include <vector>

class Hive;
class RegisterView;
struct RegisterContext;

// Watches the hives of the register and its plate lists for reads that fail during one
// multi-row command. Such a command writes nothing further once a read failed: its rows would
// be decided on what the store could not read (a tag called new, a plate called missing).
class RegisterReadWatch {
public:
    explicit RegisterReadWatch(RegisterContext& context);

    // Whether a read failed since the watch began.
    bool Failed() const;
    // The box that says the register could not be read, naming the hive file where there is one.
    void ShowBox(RegisterView& view) const;

private:
    struct Watched {
        Hive* hive;
        int readErrors;
    };
    std::vector<Watched> hives;
};
