#pragma once
// The built papyra binary run as a user would run it, in a world of its own: a program folder
// holding a copy of the binary (RNTME.INI and the test print file land there), a home, a PDF
// folder, a registry file, a drive C: and a lock folder, all in one temp folder.
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include <sys/types.h>

namespace papyra::testing {

struct Outcome {
    int exitCode = -1; // -1: killed after the time limit, or by a signal
    std::string out, err;
};

class PapyraProcess {
public:
    PapyraProcess();
    ~PapyraProcess();
    PapyraProcess(const PapyraProcess&) = delete;
    PapyraProcess& operator=(const PapyraProcess&) = delete;

    const std::string& Root() const { return root; }
    std::string ProgramFolder() const { return root + "/program"; }
    std::string PdfFolder() const { return root + "/pdf"; }
    // Writes a file below the root and returns its path.
    std::string Write(const std::string& relative, const std::string& bytes) const;
    // The registry file names the printer Harvex configured.
    void ConfigurePrinter(const std::string& deviceName) const;
    // CUPS_SERVER for the runs; a closed port when never set.
    std::string cupsServer;
    std::map<std::string, std::string> extraEnvironment;

    // Runs papyra with these words and waits for it to end (at most limit).
    Outcome Run(const std::vector<std::string>& words,
                std::chrono::seconds limit = std::chrono::seconds(120)) const;
    // Starts papyra without waiting; Wait collects it.
    pid_t Start(const std::vector<std::string>& words, const std::string& tag) const;
    Outcome Wait(pid_t pid, const std::string& tag, std::chrono::seconds limit) const;
    // The PDFs in the PDF folder, sorted by name.
    std::vector<std::string> Pdfs() const;

private:
    std::string root;
};

// Output of a shell command (stdout).
std::string Shell(const std::string& command);
std::string ReadFile(const std::string& path);

} // namespace papyra::testing
