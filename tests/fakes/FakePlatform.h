#pragma once
// Recording fakes of every platform service, and a world that bundles them into a Program.
// They record what happens (each draw with its position and font state, the bytes sent to the
// port, the message boxes with their scripted answers, files written) so behaviour is checked
// exactly and fast.
#include "platform/Platform.h"
#include "platform/RuntimeError.h"
#include "platform/files/BufferedTextFiles.h"
#include "platform/ini/IniProfile.h"
#include "startup/Program.h"
#include "ui/Forms.h"
#include "ui/Toolkit.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace papyra::fakes {

struct DrawEvent {
    enum Kind { Text, LineEnd, NewPage, EndDoc } kind;
    std::string text;
    float x = 0, y = 0, size = 0;
    bool bold = false, underline = false;
    int page = 0;
};

class FakePrinter : public Printer {
public:
    explicit FakePrinter(std::string name = "Laser", std::string port = "LPT1:");

    // Settings codes and identity, set freely by tests.
    std::string name, driver = "Fake Driver", port;
    int orientation = 1, paperSize = 9, paperBin = 7, copies = 1, colorMode = 2, quality = 600;
    bool trackDefault = true;
    // Printable area in portrait, twips; landscape swaps it.
    float portraitWidth = 11520, portraitHeight = 15840;
    // Width of one character per point of font size, in twips.
    float charWidthPerPoint = 12;
    // When set, sizes are taken in steps of this many points (as a device with coarse fonts).
    float sizeStep = 0;
    // Operations that fail with run-time error 482: "SetFontSize", "SetOrientation", ...
    std::set<std::string> failing;

    std::string fontName;
    float fontSize = 10;
    bool bold = false, underline = false;
    float currentX = 0, currentY = 0;
    int pages = 0;     // pages started in the open document
    int documents = 0; // documents ended
    std::vector<DrawEvent> events;
    std::vector<float> sizesSet;

    std::string DeviceName() override { return Check("DeviceName"), name; }
    std::string DriverName() override { return Check("DriverName"), driver; }
    std::string Port() override { return Check("Port"), port; }
    int16_t Orientation() override { return Code("Orientation", orientation); }
    void SetOrientation(int16_t value) override;
    int16_t PaperSize() override { return Code("PaperSize", paperSize); }
    int16_t PaperBin() override { return Code("PaperBin", paperBin); }
    int16_t Copies() override { return Code("Copies", copies); }
    void SetCopies(int16_t value) override { Check("SetCopies"), copies = value; }
    int16_t ColorMode() override { return Code("ColorMode", colorMode); }
    int16_t PrintQuality() override { return Code("PrintQuality", quality); }
    void SetTrackDefault(bool track) override { trackDefault = track; }
    void SetScaleMode(int16_t mode) override;
    float ScaleWidth() override { return orientation == 2 ? portraitHeight : portraitWidth; }
    float ScaleHeight() override { return orientation == 2 ? portraitWidth : portraitHeight; }
    void SetFontName(const std::string& value) override { Check("SetFontName"), fontName = value; }
    float FontSize() override { return fontSize; }
    void SetFontSize(float points) override;
    void SetFontBold(bool value) override { Check("SetFontBold"), bold = value; }
    void SetFontUnderline(bool value) override { Check("SetFontUnderline"), underline = value; }
    float TextWidth(const std::string& text) override;
    void SetCurrentX(float x) override { currentX = x; }
    void SetCurrentY(float y) override { currentY = y; }
    void Print(const std::string& text, bool lineEnd) override;
    void NewPage() override;
    void EndDoc() override;
    void SetDocumentName(const std::string&) override {}

    // The text drawn on each page, one string per drawn row (by y), for page arithmetic tests.
    std::vector<std::map<float, std::string>> PageRows() const;
    int NewPages() const;

private:
    void Check(const char* operation);
    int16_t Code(const char* operation, int value);
};

class FakePrinters : public Printers {
public:
    std::vector<std::unique_ptr<FakePrinter>> items;
    int current = 0;
    std::vector<int> selections;

    FakePrinter& Add(const std::string& name, const std::string& port = "LPT1:");
    int Count() override { return static_cast<int>(items.size()); }
    Printer& Item(int index) override;
    void SetCurrent(int index) override;
    Printer& Current() override { return Item(current); }
    FakePrinter& CurrentFake() { return *items.at(current); }
};

class FakeRawPort : public RawPort {
public:
    std::string openedPort, bytes;
    bool open = false, closed = false;
    int failOpenWith = 0;
    void Open(const std::string& port) override;
    void Write(const std::string& data) override;
    void Close() override;
};

class FakeRegistry : public Registry {
public:
    struct Value {
        uint32_t type;
        std::string bytes;
    };
    bool keyExists = true;
    std::map<std::string, Value> values; // by value name, exact

    void SetString(const std::string& name, const std::string& text) {
        values[name] = {REG_SZ, text + '\0'};
    }
    long RegOpenKeyExA(uint32_t root, const std::string& subKey, uint32_t options, uint32_t access,
                       int32_t& handle) override;
    long RegQueryValueExA(int32_t handle, const std::string& valueName, uint32_t& type,
                          uint8_t* data, uint32_t& size) override;
    long RegCloseKey(int32_t handle) override;
};

// Profile files in memory, path -> bytes, edited by the real INI engine; every string written is
// recorded, and writes to a read-only file fail.
class FakeProfile : public IniProfile {
public:
    struct Write {
        std::string file, section, key, value;
    };
    std::map<std::string, std::string> files;
    std::vector<Write> writes;
    std::set<std::string> readOnly;

    bool WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                    const std::string& value, const std::string& file) override {
        if (!IniProfile::WritePrivateProfileStringA(section, key, value, file)) return false;
        writes.push_back({file, section, key, value});
        return true;
    }

protected:
    std::optional<std::string> Read(const std::string& file) override { return files[file]; }
    bool Replace(const std::string& file, const std::string& bytes) override {
        return !readOnly.count(file) && (files[file] = bytes, true);
    }
};

class FakeSettings : public SettingsStore {
public:
    std::map<std::string, std::string> saved; // "app/section/key" -> value
    void SaveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& value) override {
        saved[application + "/" + section + "/" + key] = value;
    }
};

class FakeWindowFinder : public WindowFinder {
public:
    std::set<std::string> titles;
    bool TopLevelWindowExists(const std::string& title) override { return titles.count(title); }
};

class FakeLauncher : public Launcher {
public:
    std::vector<std::string> launched;
    bool missing = false;
    void Launch(const std::string& path) override {
        if (missing) throw RuntimeError(53);
        launched.push_back(path);
    }
};

class FakeDialogs : public Dialogs {
public:
    struct Box {
        std::string text;
        MsgButtons buttons;
        MsgIcon icon;
        std::optional<std::string> title;
    };
    std::vector<Box> boxes;
    std::deque<MsgAnswer> answers; // scripted; OK when none is left
    PrinterDialogResult dialogResult;
    std::vector<std::string> dialogTitles;

    MsgAnswer MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                         const std::optional<std::string>& title) override;
    PrinterDialogResult PrinterDialog(Printer& printer, const std::string& title) override;
};

class FakeProcess : public Process {
public:
    std::string commandLine;
    bool otherInstance = false;
    std::string programFolder = "C:\\Papyra";
    std::vector<int> sleeps;
    int events = 0;    // DoEvents calls
    int dueEvents = 0; // DoEventsIfDue calls
    ExitStatus lastStatus = ExitStatus::Done;
    std::function<void()> onEvents; // runs inside either yield, as a window event would

    std::string CommandLine() override { return commandLine; }
    bool AnotherInstanceRunning() override { return otherInstance; }
    void Sleep(int milliseconds) override { sleeps.push_back(milliseconds); }
    void DoEvents() override;
    void DoEventsIfDue() override;
    [[noreturn]] void End(ExitStatus status) override;
    std::string ProgramFolder() override { return programFolder; }
};

class FakeJournal : public Journal {
public:
    std::vector<std::string> told;
    std::vector<JobEntry> records;
    void Tell(const std::string& line) override { told.push_back(line); }
    void Record(const JobEntry& entry) override { records.push_back(entry); }
};

// Files in memory by path, behind the real channels and Line Input.
class FakeTextFiles : public BufferedTextFiles {
public:
    FakeTextFiles() : BufferedTextFiles(false) {}
    std::map<std::string, std::string> contents;
    int openFiles = 0;

protected:
    std::unique_ptr<File> OpenFile(const std::string& path, Mode mode) override;
};

class FakeForms : public Forms {
public:
    int setupShown = 0, reviewOpened = 0;
    std::function<void()> onSetup; // what the user does in the setup window
    void ShowSetupWindowModal() override {
        ++setupShown;
        if (onSetup) onSetup();
    }
    void OpenReviewWindow() override { ++reviewOpened; }
    void CloseAll() override {}
};

// The windows as the logic drives them: what each control shows, and a script for the user.
class FakeForm1View : public Form1View {
public:
    std::vector<std::string> listed;
    std::string banner = "Label1", portLine = "Label3", driverLine = "Label4";
    bool hostWarning = false, codeSetFrame = false, ibm = false, unloaded = false;
    std::optional<bool> tractorFeed; // no option selected yet
    void ListPrinters(const std::vector<std::string>& names) override { listed = names; }
    void ShowHostWarning(bool visible) override { hostWarning = visible; }
    void SetBanner(const std::string& text) override { banner = text; }
    void SetPortLine(const std::string& text) override { portLine = text; }
    void SetDriverLine(const std::string& text) override { driverLine = text; }
    void ShowCodeSetFrame(bool codeSet) override { codeSetFrame = codeSet; }
    void SelectPaperFeed(bool tractor) override { tractorFeed = tractor; }
    bool IbmSelected() override { return ibm; }
    void Unload() override { unloaded = true; }
};

class FakeForm2View : public Form2View {
public:
    std::string lines[5] = {"", "Label1", "Label1", "Label1", "Label1"};
    int shown = 0;
    void SetLine(int line, const std::string& text) override { lines[line] = text; }
    void Show() override { ++shown; }
};

class FakeToolkit : public Toolkit {
public:
    bool display = true;
    int loops = 0, left = 0;
    FakeForm1View* setup = nullptr;
    FakeForm2View* review = nullptr;
    // What the user does while the setup window is shown modally; the display returns when the
    // window has been unloaded (or the script ends).
    std::function<void(Form1&, FakeForm1View&)> user;
    Form1* form1 = nullptr;

    bool HasDisplay() override { return display; }
    std::unique_ptr<Form1View> CreateSetupWindow(Form1& form) override;
    std::unique_ptr<Form2View> CreateReviewWindow(Form2& form) override;
    void RunModal(Form1View& window) override;
    void RunEventLoop() override { ++loops; }
    void LeaveAll() override { ++left; }
};

// Everything a Program needs, with one laser printer "Laser" installed.
struct World {
    FakePrinters printers;
    FakeRawPort rawPort;
    FakeRegistry registry;
    FakeProfile profile;
    FakeSettings settings;
    FakeWindowFinder windows;
    FakeLauncher launcher;
    FakeDialogs dialogs;
    FakeProcess process;
    FakeTextFiles files;
    FakeJournal journal;
    FakeForms forms;
    Platform platform{printers, rawPort, registry, profile, settings, windows,
                      launcher, dialogs, process,  files,   journal};
    Program program{platform, forms, {}, {}, {}};

    World();
    // Runs Main and reports whether it ended the program (true) or returned (SETUP).
    bool RunMain(const std::string& commandLine);
};

} // namespace papyra::fakes
