#pragma once
// The job log's file, the same on every system: one JSON object a line (JSON Lines), appended at
// the end of each run; at 1 MB the file becomes NAME.1 (replacing an older one) and a new one
// starts. Where the file lives is the platform's (Journal).
//
// A line: {"time":"2026-12-06T07:30:00Z","mode":"print","report":"...","printer":"...",
// "port":"...","path":"drawn","pages":3,"outcome":"done"}, with "bytes" for a raw job and
// "error", "text" and "subject" for a failure. Names and paths become UTF-8: text that is UTF-8
// already stays as it is, anything else is read as Windows-1252.
#include "platform/Journal.h"

#include <ctime>
#include <filesystem>
#include <string>

namespace papyra {

inline constexpr std::uintmax_t JobLogLimit = 1 << 20;

std::string FormatJobLine(const JobEntry& entry, std::time_t when);

// Appends line and a line end; never throws, and a log that cannot be written is left alone.
void AppendJobLine(const std::filesystem::path& log, const std::string& line) noexcept;

} // namespace papyra
