// The program's windows on a real X server of the test's own, driven as a user drives them
// (xdotool), and the window search against windows of the test's making.
#include "platform/unix/XcbWindowFinder.h"
#include "support/Harness.h"

#include <xcb/xcb.h>

#include <array>
#include <cstring>
#include <iterator>
#include <sstream>

using namespace papyra;
using namespace papyra::test;

namespace {

class Screen {
public:
    explicit Screen(const std::string& display)
        : display(display), c(xcb_connect(display.c_str(), nullptr)),
          root(xcb_setup_roots_iterator(xcb_get_setup(c)).data->root) {}
    ~Screen() { xcb_disconnect(c); }
    void Sync() { free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }

    // A top-level window of ours, titled in the property given, there once this returns.
    xcb_window_t Create(const char* property, const char* type, const std::string& title,
                        xcb_window_t parent = 0) {
        const xcb_window_t window = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, parent ? parent : root, 0, 0, 100, 100,
                          0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        if (property)
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, Atom(property), Atom(type), 8,
                                uint32_t(title.size()), title.data());
        Sync();
        return window;
    }

    std::vector<std::string> Find(const std::string& title) const {
        std::istringstream in(Do(title.empty() ? "search --onlyvisible --class papyra"
                                               : "search --onlyvisible --name '^" + title + "$'"));
        return {std::istream_iterator<std::string>(in), {}};
    }
    std::optional<std::string> One(const std::string& title) const {
        std::vector<std::string> ids;
        Eventually([&] { return (ids = Find(title)).size() == 1; });
        return ids.size() == 1 ? std::optional(ids[0]) : std::nullopt;
    }
    void Click(const std::string& id, int left, int top, int width, int height) const {
        const auto [x, y, w, h] = Geometry(id);
        const double scale = 96.0 / 1440; // Xvfb's logical resolution
        Do("mousemove " + std::to_string(x + int((left + width / 2) * scale)) + " " +
           std::to_string(y + int((top + height / 2) * scale)) + " click 1");
    }
    // Without a window manager a window takes the focus a moment after it shows; a key pressed
    // before goes elsewhere, so it is pressed again until it has worked.
    bool KeyUntil(const std::string& key, const std::function<bool()>& done) const {
        for (int attempt = 0; attempt < 5; ++attempt)
            if (Do("key " + key), Eventually(done, 2s)) return true;
        return false;
    }
    // A message box shows, painted: text on its background, neither one colour nor the black of
    // a window mapped and never drawn; and Return takes it away.
    void Answer(const std::string& title) {
        const auto box = One(title);
        ASSERT_TRUE(box) << "no " << title;
        EXPECT_TRUE(Eventually([&] { return Painted(*box); })) << title;
        ASSERT_TRUE(KeyUntil("Return", [&] { return Find(title).empty(); })) << title;
    }

private:
    std::array<int, 4> Geometry(const std::string& id) const { // x, y, width, height
        std::array<int, 4> g{};
        sscanf(Do("getwindowgeometry --shell " + id).c_str(),
               "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &g[0], &g[1], &g[2], &g[3]);
        return g;
    }
    bool Painted(const std::string& id) {
        const auto [x, y, w, h] = Geometry(id);
        auto* image =
            xcb_get_image_reply(c,
                                xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, int16_t(x),
                                              int16_t(y), uint16_t(w), uint16_t(h), ~0u),
                                nullptr);
        if (!image) return false;
        const auto* pixels = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image));
        const size_t count = xcb_get_image_data_length(image) / 4;
        std::map<uint32_t, size_t> tally;
        for (size_t i = 0; i < count; ++i)
            ++tally[pixels[i] & 0xFFFFFF];
        free(image);
        size_t most = 0;
        for (const auto& colour : tally)
            most = std::max(most, colour.second);
        return tally.size() > 1 && tally[0] * 2 < count && most * 2 > count;
    }
    std::string Do(const std::string& arguments) const {
        return Shell("DISPLAY=" + display + " xdotool " + arguments + " 2>/dev/null");
    }
    xcb_atom_t Atom(const char* name) {
        auto* reply =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply->atom;
        free(reply);
        return atom;
    }
    std::string display;
    xcb_connection_t* c;
    xcb_window_t root;
};

class OnScreen : public ::testing::Test {
protected:
    void SetUp() override {
        papyra.env["DISPLAY"] = display.name;
        papyra.env["QT_QPA_PLATFORM"] = "xcb";
    }
    Display display;
    Screen screen{display.name};
    Papyra papyra;
};

TEST_F(OnScreen, TheWindowSearchFindsATopLevelWindowByItsExactTitle) {
    ScopedEnv ours("DISPLAY", display.name.c_str());
    XcbWindowFinder finder;
    screen.Create("WM_NAME", "STRING", "Harvex");
    screen.Create("_NET_WM_NAME", "UTF8_STRING", "Caf\xC3\xA9 \xE2\x82\xAC");
    screen.Create("WM_NAME", "STRING", "Gr\xFC\xDF");
    // A window manager's frame holds the client one level down.
    screen.Create("_NET_WM_NAME", "UTF8_STRING", "Framed", screen.Create(nullptr, nullptr, ""));
    const std::pair<const char*, bool> cases[] = {
        {"Harvex", true}, {"Harvex ", false},     {"harvex", false},    {"Harve", false},
        {"", false},      {"Caf\xE9 \x80", true}, {"Gr\xFC\xDF", true}, {"Framed", true}};
    for (auto [title, found] : cases)
        EXPECT_EQ(finder.TopLevelWindowExists(title), found) << title;
    ScopedEnv none("DISPLAY", ":249");
    EXPECT_FALSE(finder.TopLevelWindowExists("Harvex")) << "no display, no window";
}

// SETUP: the printer dialog, then the review window, which has no title at all, and whose "OK"
// on a report that is not there shows a painted message box and ends the program.
TEST_F(OnScreen, TheReviewWindowHasNoTitleAndItsBoxesArePainted) {
    papyra.Configure("Papyra PDF");
    const pid_t pid = papyra.Start({"SETUP", "x", "P"});
    ASSERT_TRUE(screen.One("Harvex Printer Setup")) << "no printer dialog";
    ASSERT_TRUE(
        screen.KeyUntil("Return", [&] { return screen.Find("Harvex Printer Setup").empty(); }));
    const auto review = screen.One("");
    ASSERT_TRUE(review) << "no review window";
    for (const char* title : {"WM_NAME", "_NET_WM_NAME"}) {
        const std::string property =
            Shell("DISPLAY=" + display.name + " xprop -id " + *review + " " + title + " 2>&1");
        EXPECT_TRUE(property.ends_with("= \n") || property.ends_with("= \"\"\n") ||
                    Has(property, "not found"))
            << "a window manager would show: " << property;
    }
    screen.Click(*review, 2400, 2040, 2055, 375); // "OK": prints the file "SETUP x P"
    screen.Answer("Papyra");
    EXPECT_EQ(papyra.Wait(pid).exitCode, 1);
}

// A stopped queue offers the setup window; the registry names another printer by the time the
// user presses "&OK", and the job goes there: each pass chooses the printer afresh.
TEST_F(OnScreen, TheSetupWindowLeadsBackIntoTheJobOnThePrinterNowConfigured) {
    Cups cups;
    cups.Queue("stopped", "tractor.ppd");
    cups.Queue("laser", "laser.ppd");
    cups.Lp({"cupsdisable", "stopped"});
    papyra.Use(cups);
    papyra.Configure("stopped");
    const std::string started = papyra.Root() + "/harvex-started";
    const std::string harvex =
        papyra.Write("drive_c/harvex96/harvex.exe", "#!/bin/sh\ntouch " + Quoted(started) + "\n");
    fs::permissions(harvex, fs::perms(0755));
    const pid_t pid = papyra.Start({papyra.Write("r.prt", "Totals\r\n"), "x", "P"});
    screen.Answer("Papyra");
    screen.Answer("Printer Setup Required");
    const auto setup = screen.One("Harvex Printer Setup");
    ASSERT_TRUE(setup) << "no setup window";
    papyra.Configure("laser");
    screen.Click(*setup, 6030, 3480, 1815, 495); // "&OK"
    const Outcome outcome = papyra.Wait(pid);
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_TRUE(Eventually([&] { return fs::exists(started); })) << "Harvex was started";
    const std::string job = cups.Job("laser");
    ASSERT_EQ(job.substr(0, 5), "%PDF-");
    EXPECT_TRUE(Has(TextOf(papyra.Write("job.pdf", job)), "Totals"));
    EXPECT_TRUE(Has(ReadBytes(papyra.Program() + "/RNTME.INI"), "DeviceName=stopped"))
        << "the save wrote the printer current in the window";
}

} // namespace
