#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// Sets (or, with no value, removes) an environment variable for one scope and restores it.
class ScopedVariable {
public:
    ScopedVariable(const char* variable, const std::optional<std::string>& value) : name(variable) {
        if (const char* old = std::getenv(variable))
            saved = old;
        Put(value);
    }
    ~ScopedVariable() { Put(saved); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    void Put(const std::optional<std::string>& value) {
#ifdef _WIN32
        ::_putenv_s(name, value ? value->c_str() : ""); // an empty value removes it there
#else
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
#endif
    }

    const char* name;
    std::optional<std::string> saved;
};
