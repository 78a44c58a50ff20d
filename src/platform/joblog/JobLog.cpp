#include "platform/joblog/JobLog.h"

#include "platform/ansi/AnsiText.h"

#include <cstdio>
#include <fstream>

namespace papyra {

namespace {

void AppendString(std::string& out, const char* name, const std::string& value) {
    const std::string utf8 = IsValidUtf8(value) ? value : AnsiToUtf8(value);
    out += ",\"";
    out += name;
    out += "\":\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += char(c);
        }
    }
    out += '"';
}

void AppendNumber(std::string& out, const char* name, long long value) {
    out += ",\"";
    out += name;
    out += "\":" + std::to_string(value);
}

} // namespace

std::string FormatJobLine(const JobEntry& entry, std::time_t when) {
    char time[32] = "";
    if (const std::tm* utc = std::gmtime(&when)) // one thread: the shared result is ours
        std::strftime(time, sizeof time, "%Y-%m-%dT%H:%M:%SZ", utc);
    std::string line = "{\"time\":\"" + std::string(time) + "\"";
    AppendString(line, "mode", entry.mode);
    if (!entry.report.empty()) AppendString(line, "report", entry.report);
    if (!entry.printer.empty()) AppendString(line, "printer", entry.printer);
    if (!entry.port.empty()) AppendString(line, "port", entry.port);
    if (!entry.path.empty()) AppendString(line, "path", entry.path);
    if (entry.pages >= 0) AppendNumber(line, "pages", entry.pages);
    if (entry.bytes >= 0) AppendNumber(line, "bytes", entry.bytes);
    AppendString(line, "outcome", entry.outcome);
    if (entry.error != 0) {
        AppendNumber(line, "error", entry.error);
        AppendString(line, "text", entry.errorText);
        if (!entry.subject.empty()) AppendString(line, "subject", entry.subject);
    }
    return line + "}";
}

void AppendJobLine(const std::filesystem::path& log, const std::string& line) noexcept {
    try {
        std::error_code error;
        std::filesystem::create_directories(log.parent_path(), error);
        if (std::filesystem::file_size(log, error) >= JobLogLimit && !error) {
            std::filesystem::path old = log;
            old += ".1";
            std::filesystem::rename(log, old, error);
        }
        std::ofstream out(log, std::ios::app | std::ios::binary);
        out << line << '\n';
    } catch (...) {
        // A log that cannot be written never stops a job.
    }
}

} // namespace papyra
