#pragma once
// The commands of papyra-admin, each returning its exit status. Output goes to stdout, what went
// wrong to stderr.
#include <string>

namespace papyra::admin {

enum Exit {
    Fine = 0,
    Problem = 1, // a problem found, or the command failed
    Usage = 2,   // the command line is wrong
};

int ListPrinters(bool json);
int UsePrinter(const std::string& nameOrPosition);

struct PreviewOptions {
    std::string report;
    bool landscape = false;
    std::string output;  // .pdf or .png; "" for "<report name>-preview.pdf" here
    std::string printer; // "" for the configured one
    int page = 1;        // for a PNG
    double dpi = 96;     // for a PNG
};
int Preview(const PreviewOptions& options);

int Decode(const std::string& file, bool report, bool landscape);
int Doctor(bool json);
int ShowLog(int count, bool json);

// Runs papyra-admin with the program's own arguments.
int RunAdmin(int argc, char** argv);

} // namespace papyra::admin
