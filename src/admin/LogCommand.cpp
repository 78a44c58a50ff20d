// papyra-admin log: the last jobs of papyra's job log (JobLog.h).
#include "admin/Commands.h"

#include "platform/unix/UnixJournal.h"

#include <nlohmann/json.hpp>

#include <deque>
#include <fstream>
#include <iostream>

namespace papyra::admin {

namespace {

using Json = nlohmann::ordered_json;

std::string Text(const Json& entry, const char* key) {
    const auto found = entry.find(key);
    return found != entry.end() && found->is_string() ? found->get<std::string>() : "";
}

long long Number(const Json& entry, const char* key) {
    const auto found = entry.find(key);
    return found != entry.end() && found->is_number_integer() ? found->get<long long>() : -1;
}

// time  outcome  mode  report -> printer, path, pages or bytes[: the failure]
std::string Line(const Json& entry) {
    std::string line = Text(entry, "time") + "  " + Text(entry, "outcome");
    line.resize(std::max<size_t>(line.size(), 30), ' ');
    const std::string mode = Text(entry, "mode"), report = Text(entry, "report");
    line += mode.empty() ? "(no mode)" : mode;
    if (!report.empty()) line += " " + report;
    if (const std::string printer = Text(entry, "printer"); !printer.empty())
        line += " -> " + printer;
    if (const std::string path = Text(entry, "path"); !path.empty()) line += ", " + path;
    if (const long long pages = Number(entry, "pages"); pages >= 0)
        line += ", " + std::to_string(pages) + (pages == 1 ? " page" : " pages");
    if (const long long bytes = Number(entry, "bytes"); bytes >= 0)
        line += ", " + std::to_string(bytes) + " bytes";
    if (const long long error = Number(entry, "error"); error > 0) {
        line += ": run-time error " + std::to_string(error) + " (" + Text(entry, "text") + ")";
        if (const std::string subject = Text(entry, "subject"); !subject.empty())
            line += ": " + subject;
    }
    return line;
}

} // namespace

int ShowLog(int count, bool json) {
    const std::string log = UnixJournal::LogPath();
    std::deque<Json> last;
    int unreadable = 0;
    bool any = false;
    // The older file first: papyra moves papyra.log there when it reaches its limit.
    for (const std::string& path : {log + ".1", log}) {
        std::ifstream in(path, std::ios::binary);
        any |= static_cast<bool>(in);
        for (std::string line; std::getline(in, line);) {
            if (line.empty()) continue;
            Json entry = Json::parse(line, nullptr, /*allow_exceptions=*/false);
            if (!entry.is_object()) {
                ++unreadable; // a line cut short by a full disk, say
                continue;
            }
            last.push_back(std::move(entry));
            if (last.size() > static_cast<size_t>(count)) last.pop_front();
        }
    }
    if (json) {
        std::cout << Json(Json::array_t(last.begin(), last.end())).dump(2) << "\n";
    } else if (!any) {
        std::cout << "No job logged yet (" << log << ").\n";
    } else {
        for (const Json& entry : last)
            std::cout << Line(entry) << "\n";
    }
    if (unreadable > 0)
        std::cerr << "papyra-admin log: " << unreadable << " line(s) of " << log
                  << " are not JSON and were left out\n";
    return Fine;
}

} // namespace papyra::admin
