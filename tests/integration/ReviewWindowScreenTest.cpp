// The review window of SETUP on a real X server: the message boxes its buttons open must reach the
// screen painted, not as an empty frame. What is checked is what the server shows on the root
// window, the pixels a user would see. (Not `xwd -root`: it reads windows that share a colormap
// other than the default one region by region, and a top-level window lying wholly inside another
// of the same program, as these boxes do, comes out black in its dump while the screen is fine.)
#include "integration/PapyraProcess.h"
#include "integration/Xvfb.h"

#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <thread>
#include <vector>

using namespace papyra::testing;

namespace {

struct TopLevel {
    xcb_window_t id = 0;
    std::string name;
    int x = 0, y = 0, width = 0, height = 0;
};

// The screen as another client sees it: the windows on it and the pixels of the root window.
class Screen {
public:
    explicit Screen(const std::string& display)
        : connection(xcb_connect(display.c_str(), nullptr)) {
        root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    }
    ~Screen() { xcb_disconnect(connection); }
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    // Mapped top-level windows, bottom first (no window manager: they are the root's children).
    std::vector<TopLevel> Windows() {
        std::vector<TopLevel> windows;
        auto* tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
        if (!tree) return windows;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            auto* attributes = xcb_get_window_attributes_reply(
                connection, xcb_get_window_attributes(connection, children[i]), nullptr);
            const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
            free(attributes);
            if (!viewable) continue;
            auto* geometry = xcb_get_geometry_reply(
                connection, xcb_get_geometry(connection, children[i]), nullptr);
            if (!geometry) continue;
            windows.push_back({children[i], Name(children[i]), geometry->x, geometry->y,
                               geometry->width, geometry->height});
            free(geometry);
        }
        free(tree);
        return windows;
    }

    // 0xRRGGBB pixels of a rectangle of the root window, row by row.
    std::vector<uint32_t> Pixels(int x, int y, int width, int height) {
        auto* image = xcb_get_image_reply(
            connection,
            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root, static_cast<int16_t>(x),
                          static_cast<int16_t>(y), static_cast<uint16_t>(width),
                          static_cast<uint16_t>(height), ~0u),
            nullptr);
        std::vector<uint32_t> pixels;
        if (!image) return pixels;
        // A 24-bit screen stores 32 bits a pixel, little-endian on this server's host.
        const auto* data = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image));
        const int count = xcb_get_image_data_length(image) / 4;
        for (int i = 0; i < count && static_cast<int>(pixels.size()) < width * height; ++i)
            pixels.push_back(data[i] & 0xFFFFFF);
        free(image);
        return pixels;
    }

private:
    std::string Name(xcb_window_t window) {
        for (const char* property : {"_NET_WM_NAME", "WM_NAME"}) {
            auto* atom = xcb_intern_atom_reply(
                connection,
                xcb_intern_atom(connection, 0, static_cast<uint16_t>(strlen(property)), property),
                nullptr);
            if (!atom) continue;
            auto* reply =
                xcb_get_property_reply(connection,
                                       xcb_get_property(connection, 0, window, atom->atom,
                                                        XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
                                       nullptr);
            free(atom);
            std::string name;
            if (reply)
                name.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                            xcb_get_property_value_length(reply));
            free(reply);
            if (!name.empty()) return name;
        }
        return {};
    }

    xcb_connection_t* connection;
    xcb_window_t root;
};

// Polls until the condition holds, for at most the given time.
bool Eventually(const std::function<bool()>& condition,
                std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}

std::optional<TopLevel> Named(Screen& screen, const std::string& name) {
    for (const TopLevel& window : screen.Windows())
        if (window.name == name) return window;
    return std::nullopt;
}

class XInput {
public:
    explicit XInput(std::string display) : display(std::move(display)) {}
    // Without a window manager a window takes the keyboard focus a moment after it is mapped; a
    // key pressed before that goes elsewhere, so the key is pressed again until it has worked.
    bool KeyUntil(const std::string& key, const std::function<bool()>& done) const {
        for (int attempt = 0; attempt < 5; ++attempt) {
            Run("key " + key);
            if (Eventually(done, std::chrono::seconds(2))) return true;
        }
        return false;
    }
    void Click(int x, int y) const {
        Run("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
    }

private:
    void Run(const std::string& arguments) const {
        ASSERT_EQ(std::system(("DISPLAY=" + display + " xdotool " + arguments).c_str()), 0);
    }
    std::string display;
};

uint32_t MostCommon(const std::vector<uint32_t>& pixels, size_t* count = nullptr) {
    std::map<uint32_t, size_t> tally;
    for (uint32_t pixel : pixels)
        ++tally[pixel];
    const auto most = std::max_element(tally.begin(), tally.end(),
                                       [](auto& a, auto& b) { return a.second < b.second; });
    if (count) *count = most == tally.end() ? 0 : most->second;
    return most == tally.end() ? 0 : most->first;
}

// A painted message box: mostly the windows' background colour, some text on it, and not merely
// what lay on the screen at its place before it opened.
void ExpectPainted(Screen& screen, const TopLevel& box, const std::vector<uint32_t>& before,
                   uint32_t background) {
    if (box.x < 0 || box.y < 0 || box.x + box.width > 1024 || box.y + box.height > 768) {
        ADD_FAILURE() << box.name << " box is not wholly on the screen";
        return;
    }
    std::vector<uint32_t> seen;
    const bool painted = Eventually([&] {
        seen = screen.Pixels(box.x, box.y, box.width, box.height);
        std::vector<uint32_t> under;
        for (int row = 0; row < box.height; ++row)
            for (int column = 0; column < box.width; ++column)
                under.push_back(before[(box.y + row) * 1024 + box.x + column]);
        size_t count = 0;
        return MostCommon(seen, &count) == background && count * 2 > seen.size() &&
               count < seen.size() && seen != under;
    });
    size_t count = 0;
    const uint32_t common = MostCommon(seen, &count);
    EXPECT_TRUE(painted) << box.name << " box at " << box.x << "," << box.y << " " << box.width
                         << "x" << box.height << ": most common colour " << std::hex << common
                         << std::dec << " on " << count << " of " << seen.size() << " pixels";
}

TEST(ReviewWindowOnScreen, MessageBoxesFromItsButtonsArePainted) {
    if (!OnPath("Xvfb") || !OnPath("xdotool")) GTEST_SKIP() << "needs Xvfb and xdotool";
    Xvfb server;
    ASSERT_TRUE(server.Running());
    PapyraProcess papyra;
    papyra.ConfigurePrinter("Papyra PDF");
    papyra.extraEnvironment["QT_QPA_PLATFORM"] = "xcb";
    papyra.extraEnvironment["DISPLAY"] = server.display;
    Screen screen(server.display);
    XInput input(server.display);
    const pid_t pid = papyra.Start({"SETUP", "x", "P"}, "setup");
    struct Ender {
        const PapyraProcess& papyra;
        pid_t pid;
        ~Ender() {
            kill(pid, SIGTERM);
            papyra.Wait(pid, "setup", std::chrono::seconds(10));
        }
    } ender{papyra, pid};

    ASSERT_TRUE(Eventually([&] { return Named(screen, "Harvex Printer Setup").has_value(); }))
        << "no printer dialog";
    ASSERT_TRUE(input.KeyUntil("Return",
                               [&] { return !Named(screen, "Harvex Printer Setup").has_value(); }));
    // The review window is whatever stays on screen once the dialog is gone.
    std::optional<TopLevel> review;
    ASSERT_TRUE(Eventually([&] {
        const auto windows = screen.Windows();
        if (windows.size() != 1) return false;
        review = windows.front();
        return review->width > 100 && review->height > 50;
    })) << "no review window";
    // Its labels are painted before anything is compared with it.
    std::vector<uint32_t> before;
    ASSERT_TRUE(Eventually([&] {
        const auto pixels = screen.Pixels(review->x, review->y, review->width, review->height);
        const bool settled = !pixels.empty() && pixels == before;
        before = pixels;
        size_t count = 0;
        MostCommon(pixels, &count);
        if (settled && count < pixels.size()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return false;
    }));
    const uint32_t background = MostCommon(before);
    const std::vector<uint32_t> screenBefore = screen.Pixels(0, 0, 1024, 768);

    // The buttons' centres, from the window's designed layout in twips.
    auto click = [&](double left, double top) {
        input.Click(review->x + static_cast<int>((left + 2055 / 2.0) / 5985 * review->width),
                    review->y + static_cast<int>((top + 375 / 2.0) / 2490 * review->height));
    };
    // The settings box leaves the window open; the failure box ends the program.
    struct Case {
        const char* what;
        std::function<void()> open;
    };
    for (const Case& c : {
             Case{"Adjust Settings, then the printer dialog cancelled",
                  [&] {
                      click(120, 2040);
                      ASSERT_TRUE(Eventually(
                          [&] { return Named(screen, "Harvex Printer Setup").has_value(); }));
                      ASSERT_TRUE(input.KeyUntil("Escape", [&] {
                          return !Named(screen, "Harvex Printer Setup").has_value();
                      }));
                  }},
             Case{"OK on a report that is not there", [&] { click(2400, 2040); }},
         }) {
        SCOPED_TRACE(c.what);
        c.open();
        if (::testing::Test::HasFatalFailure()) return;
        std::optional<TopLevel> box;
        ASSERT_TRUE(Eventually([&] { return (box = Named(screen, "Papyra")).has_value(); }))
            << "no message box";
        ExpectPainted(screen, *box, screenBefore, background);
        ASSERT_TRUE(input.KeyUntil("Return", [&] { return !Named(screen, "Papyra").has_value(); }))
            << "the message box stays open";
    }
}

} // namespace
