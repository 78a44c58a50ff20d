#pragma once
// An environment variable set (or unset, for nullptr) for one scope, as it was afterwards.
#include <cstdlib>
#include <optional>
#include <string>

namespace papyra::test {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { old_ ? setenv(name_.c_str(), old_->c_str(), 1) : unsetenv(name_.c_str()); }

private:
    std::string name_;
    std::optional<std::string> old_;
};

} // namespace papyra::test
