#pragma once
// An Xvfb of the test's own on the first display number nobody uses, stopped with the test.
#include <string>

#include <sys/types.h>

namespace papyra::testing {

bool OnPath(const std::string& name);

class Xvfb {
public:
    Xvfb();
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;
    bool Running() const { return pid > 0; }

    std::string display;

private:
    void Stop();
    pid_t pid = -1;
};

} // namespace papyra::testing
