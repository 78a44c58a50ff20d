#pragma once
// Temporary files that must not outlive the process: a staged report is private and a
// half-written one is worth nothing. Registered files are removed when the process is ended by
// SIGTERM, SIGHUP or SIGINT (the signal then ends it as it would have). SIGKILL leaves them; their
// writers clean up after dead processes (AtomicFile, PdfSurface).
#include <string>

namespace papyra {

void RemoveOnSignal(const std::string& path);
void ForgetOnSignal(const std::string& path);

} // namespace papyra
