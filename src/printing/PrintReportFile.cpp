#include "printing/PrintReportFile.h"

#include "platform/RuntimeError.h"
#include "startup/Main.h"
#include "ui/Forms.h"
#include "ui/WindowHandler.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace papyra {

namespace {

const int Channel = 1;
const char FormFeed = '\x0C';
const char AnsiDash = '\x97';    // em dash of the ANSI code page
const char PrinterDash = '\xC4'; // horizontal line of the printer's graphics table
const size_t RawBlockSize = 16 * 1024;

// 10 cpi, graphics character table; then 15 cpi at 8 lpi on an 88-line form (portrait) or
// condensed at 6 lpi on a 66-line form (landscape): both an 11-inch form.
const std::string RawSetUp = "\x12\x1BP\x1Bt\x01";
const std::string RawPortrait = "\x1B"
                                "0\x1B"
                                "CX\x1Bg";
const std::string RawLandscape = "\x1B"
                                 "2\x1B"
                                 "CB\x1B\x0F";
const std::string RawClosing = "\x12\x1BP\x1B"
                               "2\x1B"
                               "CB";

// The engine yields to the window message loop once per page and once per line. A window event
// that ended the program while the job yielded ends this job too: nothing after it runs.
void Yield(Program& program, bool perLine) {
    if (perLine)
        program.platform.process.DoEventsIfDue();
    else
        program.platform.process.DoEvents();
    RethrowPendingEnd(program);
}

// The lines of a file, held end to end in large blocks that never move, each line followed by a
// CR, which no line holds (a CR ends a line when it is read). One growing buffer would copy a long
// report over and over, and bookkeeping per line would cost more than the bytes of short lines:
// this way a file of any shape is held in about its own size. A line as large as a block is a
// block of its own, kept as read.
class HeldLines {
public:
    void Add(std::string line) {
        if (line.size() >= BlockSize) {
            blocks.push_back({std::move(line), true});
            return;
        }
        if (blocks.empty() || blocks.back().whole ||
            blocks.back().bytes.capacity() - blocks.back().bytes.size() <= line.size()) {
            blocks.push_back({{}, false});
            blocks.back().bytes.reserve(BlockSize);
        }
        blocks.back().bytes += line; // within the capacity: the block stays where it is
        blocks.back().bytes += '\r';
    }

    // Calls each(first, length) for every line in order; the bytes may be changed in place.
    template <typename Each> void ForEach(Each each) {
        for (Block& block : blocks) {
            char* at = block.bytes.data();
            char* const end = at + block.bytes.size();
            if (block.whole) {
                each(at, block.bytes.size());
                continue;
            }
            while (at < end) {
                char* cr = static_cast<char*>(std::memchr(at, '\r', static_cast<size_t>(end - at)));
                each(at, static_cast<size_t>(cr - at));
                at = cr + 1;
            }
        }
    }

private:
    static constexpr size_t BlockSize = 8 * 1024 * 1024;
    struct Block {
        std::string bytes;
        bool whole; // one line, without its CR
    };
    std::vector<Block> blocks;
};

void PrintRaw(Program& program, const std::string& path) {
    Platform& platform = program.platform;
    // The whole file is read before the port opens, so the printer is held only while bytes flow.
    HeldLines lines;
    platform.files.Open(path, TextFiles::Mode::Input, Channel);
    while (!platform.files.Eof(Channel))
        lines.Add(platform.files.LineInput(Channel));
    platform.files.Close(Channel);

    RawPort& port = platform.rawPort;
    program.job.path = "raw";
    program.job.bytes = 0;
    port.Open(platform.printers.Current().Port());
    // Lines go to the port in blocks: a string and a call per line cost more than the bytes
    // themselves. The port gathers blocks into its own larger requests; handing it blocks of its
    // request size and more sent the same bytes no faster.
    std::string block;
    block.reserve(RawBlockSize + 2 * 1024);
    auto send = [&](const std::string& bytes) {
        port.Write(bytes);
        program.job.bytes += static_cast<long long>(bytes.size());
    };
    send(RawSetUp);
    send(program.state.PageOrientation == "P" ? RawPortrait : RawLandscape);
    auto add = [&](const char* bytes, size_t count) {
        block.append(bytes, count);
        if (block.size() >= RawBlockSize) {
            send(block);
            block.clear();
        }
    };
    lines.ForEach([&](char* first, size_t length) {
        Yield(program, true);
        if (length == 1 && *first == FormFeed) return add(first, 1);
        std::replace(first, first + length, AnsiDash, PrinterDash);
        // A long line goes in pieces, so the block never holds a second copy of it.
        for (size_t at = 0; at < length; at += RawBlockSize)
            add(first + at, std::min(RawBlockSize, length - at));
        add("\r\n", 2);
    });
    if (!block.empty()) send(block);
    send(RawClosing);
    port.Close();
}

void PrintDrawn(Program& program, const std::string& path) {
    Platform& platform = program.platform;
    ModuleState& state = program.state;
    Printer& printer = platform.printers.Current();
    TextFiles& files = platform.files;

    const int16_t limit = state.PageOrientation == "P" ? 82 : 67;
    program.job.path = "drawn";
    program.job.pages = 0;
    files.Open(path, TextFiles::Mode::Input, Channel);
    while (!files.Eof(Channel)) {
        int16_t number = 0;
        Yield(program, false);
        bool fileEnded = true;
        while (!files.Eof(Channel)) {
            ++number;
            if (number == limit) {
                fileEnded = false;
                break;
            }
            std::string line = files.LineInput(Channel);
            if (line == "\x0C" || line == "\x0C;") {
                for (int slot = number; slot <= limit - 2; ++slot)
                    state.LineBuf.at(slot).assign(1, ' ');
                fileEnded = false;
                break;
            }
            state.LineBuf.at(number) = std::move(line);
        }
        if (fileEnded)
            for (int slot = number + 1; slot <= limit - 2; ++slot)
                state.LineBuf.at(slot).clear();

        for (int slot = 1; slot <= limit - 2; ++slot) {
            Yield(program, true);
            printer.SetCurrentX(0);
            printer.SetCurrentY(static_cast<float>(slot - 1) * state.LineHeight);
            // In place: the page buffer is the only copy of a line, however long it is.
            std::string& text = state.LineBuf.at(slot);
            std::replace(text.begin(), text.end(), PrinterDash, AnsiDash);
            PrintCodedLine(printer, text);
            if (slot < limit - 2) printer.Print("\r\n", true);
        }
        ++program.job.pages;
        if (!files.Eof(Channel)) printer.NewPage();
    }
    files.Close(Channel);
}

// The engine's failure handler. It closes nothing: error 52 arises while a file or the port is
// being opened, when channel 1 is free.
void HandleFailure(Program& program, const RuntimeError& failure) {
    Platform& platform = program.platform;
    platform.dialogs.MessageBox(failure.description(), MsgButtons::OK, MsgIcon::None);
    NoteFailure(program, failure, true);
    if (failure.number != 52) platform.process.End(ExitStatus::Failed);

    if (platform.dialogs.MessageBox("You must set up a harvex printer", MsgButtons::OKCancel,
                                    MsgIcon::None, "Printer Setup Required") != MsgAnswer::OK)
        platform.process.End(ExitStatus::Failed);
    program.forms.ShowSetupWindowModal();
    Main(program, MainPass::Again);
}

// One step of a line that may fail on its own without stopping the line.
template <typename Step> void Try(Step step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

} // namespace

void PrintReportFile(Program& program, const std::string& path) {
    program.job.report = path;
    NoteJobPrinter(program);
    try {
        Printer& printer = program.platform.printers.Current();
        printer.SetDocumentName(path);
        if (printer.PaperBin() == 8)
            PrintRaw(program, path);
        else
            PrintDrawn(program, path);
    } catch (const ProgramEnd&) {
        throw;
    } catch (...) {
        HandleFailure(program, AsRuntimeError(std::current_exception()));
    }
}

void PrintCodedLine(Printer& printer, const std::string& line) {
    const size_t length = line.size();
    for (size_t i = 0; i < length; ++i) {
        switch (line[i]) {
        case '\x0E': // shift-out: double width becomes bold, a point larger and underlined
            Try([&] { printer.SetFontBold(true); });
            Try([&] { printer.SetFontSize(printer.FontSize() + 1.0f); });
            Try([&] { printer.SetFontUnderline(true); });
            break;
        case '\x14': // DC4: double width off
            Try([&] { printer.SetFontBold(false); });
            Try([&] { printer.SetFontUnderline(false); });
            Try([&] { printer.SetFontSize(printer.FontSize() - 1.0f); });
            break;
        case '\x1B': { // ESC G / ESC H: double strike becomes bold; any other pair is dropped
            ++i;
            const char code = i < length ? line[i] : '\0';
            if (code == 'G') Try([&] { printer.SetFontBold(true); });
            if (code == 'H') Try([&] { printer.SetFontBold(false); });
            break;
        }
        default:
            Try([&] { printer.Print(std::string(1, line[i]), false); });
        }
    }
}

} // namespace papyra
