#pragma once
// What the integration tests stand on: a private cupsd (tests/support/private-cupsd), the built
// papyra run as a user runs it in a world of its own, an X server of the test's own, and the
// shell for poppler's tools and xdotool. Nothing here touches the machine's own CUPS, home or
// display, and everything started is stopped when its owner goes, a failing test included.
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <sys/types.h>

namespace papyra::test {

using namespace std::chrono_literals;

inline const std::string Source = PAPYRA_SOURCE_DIR;
inline const std::string Ppd = Source + "/tests/integration/ppd/";

std::string Shell(const std::string& command); // its standard output
std::string Quoted(const std::string& text);   // one shell word
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
// Polls until ready() holds; false after limit.
bool Eventually(const std::function<bool()>& ready, std::chrono::milliseconds limit = 10s);

// A folder of the test's own below /tmp, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// A private cupsd. While it lives, this process's CUPS_SERVER (and libcups' cached server)
// points at it. Queues' jobs land in capture files, complete or not at all.
class Cups {
public:
    Cups(); // throws std::runtime_error when cupsd does not answer
    ~Cups();
    const std::string& Address() const { return address; }
    void Queue(const std::string& name, const std::string& ppd = ""); // no PPD: a raw queue
    int Lp(std::vector<std::string> command) const; // a CUPS tool, told which server
    std::string CaptureUri(const std::string& queue) const { return "capture:" + Captured(queue); }
    std::string Captured(const std::string& queue) const;
    // The job's bytes once they are there, "" when none came within limit.
    std::string Job(const std::string& queue, std::chrono::milliseconds limit = 10s) const;
    void Signal(int number) const; // SIGSTOP, SIGCONT, SIGKILL to cupsd

private:
    TempFolder folder;
    std::string address, savedServer;
    bool hadServer = false;
};

struct Outcome {
    int exitCode = -1; // -1: killed after its time limit, or by a signal
    std::string out, err;
};

// The built papyra in a world of its own below one folder: a program folder holding a copy of the
// binary (RNTME.INI and the test print file land there), a home, a PDF folder, a registry file,
// drive C:, a private runtime folder.
class Papyra {
public:
    Papyra();
    std::string Root() const { return folder.path(); }
    std::string Program() const { return folder / "program"; }
    std::string PdfFolder() const { return folder / "pdf"; }
    std::string Write(const std::string& relative, const std::string& bytes) const;
    // The registry names the printer Harvex configured (ANSI bytes, REGEDIT4).
    void Configure(const std::string& deviceName) const;
    void Use(const Cups& cups) { env["CUPS_SERVER"] = cups.Address(); }
    std::map<std::string, std::string> env; // added to or replacing the world's own
    int user = -1;                          // another user to run as (root only), -1 for us

    Outcome Run(const std::vector<std::string>& words, std::chrono::seconds limit = 60s) const;
    pid_t Start(const std::vector<std::string>& words, const std::string& tag = "run",
                const std::string& program = "papyra") const;
    // Another built program, copied beside papyra, and run as papyra is.
    void Install(const std::string& binary) const;
    Outcome RunProgram(const std::string& program, const std::vector<std::string>& words,
                       std::chrono::seconds limit = 60s) const;
    Outcome Wait(pid_t pid, const std::string& tag = "run", std::chrono::seconds limit = 60s) const;
    std::vector<std::string> Pdfs() const; // sorted

private:
    TempFolder folder;
};

// An Xvfb of the test's own on a display nobody uses.
class Display {
public:
    Display();
    ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;
    const std::string& Name() const { return name; }

private:
    std::string name;
    pid_t pid = -1;
};

std::string PdfText(const std::string& pdf); // pdftotext -layout
int PdfPages(const std::string& pdf);
struct Word {
    std::string text;
    double xMin, yMin, xMax, yMax; // points from the page's top-left
};
std::vector<Word> PdfWords(const std::string& pdf); // every page's, in reading order

} // namespace papyra::test
