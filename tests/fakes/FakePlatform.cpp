#include "fakes/FakePlatform.h"

#include "platform/ansi/AnsiText.h"
#include "startup/Main.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace papyra::fakes {

// --- printer ---------------------------------------------------------------------------------

FakePrinter::FakePrinter(std::string name, std::string port)
    : name(std::move(name)), port(std::move(port)) {}

void FakePrinter::Check(const char* operation) {
    if (failing.count(operation)) throw RuntimeError(482);
}

int16_t FakePrinter::Code(const char* operation, int value) {
    Check(operation);
    if (value < INT16_MIN || value > INT16_MAX) throw RuntimeError(6);
    return static_cast<int16_t>(value);
}

void FakePrinter::SetOrientation(int16_t value) {
    Check("SetOrientation");
    if (value != 1 && value != 2) throw RuntimeError(5);
    orientation = value;
}

void FakePrinter::SetScaleMode(int16_t mode) {
    Check("SetScaleMode");
    if (mode != 1) throw RuntimeError(5);
}

void FakePrinter::SetFontSize(float points) {
    Check("SetFontSize");
    if (!(points > 0) || points > 2048) throw RuntimeError(5);
    sizesSet.push_back(points);
    fontSize = sizeStep > 0 ? std::round(points / sizeStep) * sizeStep : points;
}

float FakePrinter::TextWidth(const std::string& text) {
    return static_cast<float>(text.size()) * charWidthPerPoint * fontSize;
}

void FakePrinter::Print(const std::string& text, bool lineEnd) {
    if (pages == 0) pages = 1;
    DrawEvent event{DrawEvent::Text, text, currentX, currentY, fontSize, bold, underline, pages};
    events.push_back(event);
    currentX += TextWidth(text);
    if (lineEnd) {
        event.kind = DrawEvent::LineEnd;
        events.push_back(event);
        currentX = 0;
        currentY += charWidthPerPoint * fontSize * 2;
    }
}

void FakePrinter::NewPage() {
    Check("NewPage");
    if (pages == 0) pages = 1;
    events.push_back({DrawEvent::NewPage, "", 0, 0, fontSize, bold, underline, pages});
    ++pages;
    currentX = currentY = 0;
}

void FakePrinter::EndDoc() {
    Check("EndDoc");
    events.push_back({DrawEvent::EndDoc, "", 0, 0, fontSize, bold, underline, pages});
    if (pages > 0) ++documents;
    pages = 0;
}

std::vector<std::map<float, std::string>> FakePrinter::PageRows() const {
    std::vector<std::map<float, std::string>> rows;
    for (const DrawEvent& event : events) {
        if (event.kind != DrawEvent::Text || event.text == "\r\n") continue;
        if (rows.size() < static_cast<size_t>(event.page)) rows.resize(event.page);
        rows[event.page - 1][event.y] += event.text;
    }
    return rows;
}

int FakePrinter::NewPages() const {
    return static_cast<int>(std::count_if(events.begin(), events.end(), [](const DrawEvent& e) {
        return e.kind == DrawEvent::NewPage;
    }));
}

FakePrinter& FakePrinters::Add(const std::string& name, const std::string& port) {
    items.push_back(std::make_unique<FakePrinter>(name, port));
    return *items.back();
}

Printer& FakePrinters::Item(int index) {
    if (index < 0 || index >= Count()) throw RuntimeError(9);
    return *items[index];
}

void FakePrinters::SetCurrent(int index) {
    Item(index);
    current = index;
    selections.push_back(index);
}

// --- raw port --------------------------------------------------------------------------------

void FakeRawPort::Open(const std::string& port) {
    if (failOpenWith) throw RuntimeError(failOpenWith);
    if (open) throw RuntimeError(55);
    open = true;
    openedPort = port;
}

void FakeRawPort::Write(const std::string& data) {
    if (!open) throw RuntimeError(52);
    bytes += data;
}

void FakeRawPort::Close() {
    open = false;
    closed = true;
}

// --- registry --------------------------------------------------------------------------------

long FakeRegistry::RegOpenKeyExA(uint32_t root, const std::string& subKey, uint32_t, uint32_t,
                                 int32_t& handle) {
    if (!keyExists || root != HKEY_CURRENT_USER ||
        !EqualsNoCase(subKey, "Software\\Tillwren\\Ver36\\Printer\\"))
        return ERROR_FILE_NOT_FOUND;
    handle = 7;
    return ERROR_SUCCESS;
}

long FakeRegistry::RegQueryValueExA(int32_t handle, const std::string& valueName, uint32_t& type,
                                    uint8_t* data, uint32_t& size) {
    if (handle != 7) return ERROR_INVALID_HANDLE;
    auto found = values.find(valueName);
    if (found == values.end()) return ERROR_FILE_NOT_FOUND;
    type = found->second.type;
    const std::string& bytes = found->second.bytes;
    const bool fits = size >= bytes.size();
    if (data && fits) std::memcpy(data, bytes.data(), bytes.size());
    size = static_cast<uint32_t>(bytes.size());
    return data && !fits ? ERROR_MORE_DATA : ERROR_SUCCESS;
}

long FakeRegistry::RegCloseKey(int32_t handle) {
    return handle == 7 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

// --- dialogs, process ------------------------------------------------------------------------

MsgAnswer FakeDialogs::MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                  const std::optional<std::string>& title) {
    boxes.push_back({text, buttons, icon, title});
    if (answers.empty()) return MsgAnswer::OK;
    const MsgAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

PrinterDialogResult FakeDialogs::PrinterDialog(Printer&, const std::string& title) {
    dialogTitles.push_back(title);
    return dialogResult;
}

void FakeProcess::DoEvents() {
    ++events;
    if (onEvents) onEvents();
}

void FakeProcess::DoEventsIfDue() {
    ++dueEvents;
    if (onEvents) onEvents();
}

void FakeProcess::End(ExitStatus status) {
    lastStatus = status;
    throw ProgramEnd{status};
}

// --- text files ------------------------------------------------------------------------------

namespace {

class MemoryFile : public BufferedTextFiles::File {
public:
    MemoryFile(FakeTextFiles& files, const std::string& path)
        : files(files), text(files.contents[path]) {
        ++files.openFiles;
    }
    ~MemoryFile() override { --files.openFiles; }
    std::optional<size_t> Read(char* buffer, size_t size) override {
        const size_t n = std::min(size, text.size() - position);
        std::memcpy(buffer, text.data() + position, n);
        position += n;
        return n;
    }
    int Write(const char* data, size_t size) override { return written.append(data, size), 0; }
    int Commit() override { return text = written, 0; }

private:
    FakeTextFiles& files;
    std::string& text;
    std::string written;
    size_t position = 0;
};

} // namespace

std::unique_ptr<BufferedTextFiles::File> FakeTextFiles::OpenFile(const std::string& path,
                                                                 Mode mode) {
    if (mode == Mode::Input && !contents.count(path)) throw RuntimeError(53);
    return std::make_unique<MemoryFile>(*this, path);
}

// --- windows ---------------------------------------------------------------------------------

std::unique_ptr<Form1View> FakeToolkit::CreateSetupWindow(Form1& form) {
    auto view = std::make_unique<FakeForm1View>();
    setup = view.get();
    form1 = &form;
    return view;
}

std::unique_ptr<Form2View> FakeToolkit::CreateReviewWindow(Form2&) {
    auto view = std::make_unique<FakeForm2View>();
    review = view.get();
    return view;
}

void FakeToolkit::RunModal(Form1View& window) {
    ++loops;
    if (user) user(*form1, static_cast<FakeForm1View&>(window));
}

// --- world -----------------------------------------------------------------------------------

World::World() {
    printers.Add("Laser", "LPT1:");
}

bool World::RunMain(const std::string& commandLine) {
    process.commandLine = commandLine;
    try {
        Main(program);
    } catch (const ProgramEnd&) {
        return true;
    }
    return false;
}

} // namespace papyra::fakes
