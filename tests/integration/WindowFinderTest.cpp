// The X11 window search against a real X server: an Xvfb this test starts on a free display.
#include "platform/unix/XcbWindowFinder.h"

#include "ScratchFolder.h"

#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using namespace papyra;
using namespace papyra::test;

namespace {

bool OnPath(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// An Xvfb on the first display number nobody uses, stopped with the test.
class Xvfb {
public:
    Xvfb() {
        for (int number = 71; number < 200; ++number) {
            const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            if (std::filesystem::exists(lock) || std::filesystem::exists(socket)) continue;
            display = ":" + std::to_string(number);
            std::string args[] = {"Xvfb",        display,     "-screen", "0",
                                  "1024x768x24", "-nolisten", "tcp"};
            char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(),
                            args[4].data(), args[5].data(), args[6].data(), nullptr};
            if (posix_spawnp(&pid, "Xvfb", nullptr, nullptr, argv, environ) != 0) return;
            for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (std::filesystem::exists(socket)) return;
            Stop(); // lost a race for the number: try the next one
        }
    }
    ~Xvfb() { Stop(); }
    bool Running() const { return pid > 0; }

    std::string display;

private:
    void Stop() {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
    pid_t pid = -1;
};

// Windows the test owns on that display.
class Client {
public:
    explicit Client(const std::string& display)
        : connection(xcb_connect(display.c_str(), nullptr)) {
        screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    }
    ~Client() { xcb_disconnect(connection); }

    xcb_window_t Window(xcb_window_t parent = 0) {
        const xcb_window_t window = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, parent ? parent : screen->root,
                          0, 0, 100, 100, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0,
                          nullptr);
        return window;
    }
    void Name(xcb_window_t window, const char* property, const char* type,
              const std::string& bytes) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, Atom(property), Atom(type),
                            8, static_cast<uint32_t>(bytes.size()), bytes.data());
    }
    void Destroy(xcb_window_t window) { xcb_destroy_window(connection, window); }
    // Everything sent so far has reached the server.
    void Sync() {
        free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }

private:
    xcb_atom_t Atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(strlen(name)), name),
            nullptr);
        const xcb_atom_t atom = reply->atom;
        free(reply);
        return atom;
    }
    xcb_connection_t* connection;
    xcb_screen_t* screen;
};

TEST(XcbWindowFinder, FindsATopLevelWindowByItsExactTitle) {
    if (!OnPath("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    Xvfb server;
    ASSERT_TRUE(server.Running());
    ScopedEnv display("DISPLAY", server.display.c_str());
    XcbWindowFinder finder;
    EXPECT_FALSE(finder.TopLevelWindowExists("Harvex")) << "nothing open yet";

    Client client(server.display);
    const xcb_window_t harvex = client.Window();
    client.Name(harvex, "WM_NAME", "STRING", "Harvex");
    const xcb_window_t utf8 = client.Window();
    client.Name(utf8, "_NET_WM_NAME", "UTF8_STRING", "Caf\xC3\xA9 \xE2\x82\xAC");
    const xcb_window_t latin1 = client.Window();
    client.Name(latin1, "WM_NAME", "STRING", "Gr\xFC\xDF");
    // A window manager's frame holds the client one level down.
    const xcb_window_t frame = client.Window();
    const xcb_window_t framed = client.Window(frame);
    client.Name(framed, "_NET_WM_NAME", "UTF8_STRING", "Framed");
    client.Sync();

    struct Case {
        const char* title; // ANSI
        bool found;
    };
    for (Case c : {Case{"Harvex", true},
                   {"Harvex ", false},
                   {"harvex", false},
                   {"Harve", false},
                   {"", false},
                   {"Caf\xE9 \x80", true},
                   {"Gr\xFC\xDF", true},
                   {"Framed", true}}) {
        EXPECT_EQ(finder.TopLevelWindowExists(c.title), c.found) << c.title;
    }

    client.Destroy(harvex);
    client.Sync();
    EXPECT_FALSE(finder.TopLevelWindowExists("Harvex")) << "closed again";
}

TEST(XcbWindowFinder, NoDisplayMeansNoWindow) {
    {
        ScopedEnv none("DISPLAY", nullptr);
        EXPECT_FALSE(XcbWindowFinder().TopLevelWindowExists("Harvex"));
    }
    ScopedEnv unreachable("DISPLAY", ":249");
    EXPECT_FALSE(XcbWindowFinder().TopLevelWindowExists("Harvex"));
}

} // namespace
