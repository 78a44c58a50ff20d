// The X11 window search against a real X server: an Xvfb this test starts on a free display.
#include "platform/unix/XcbWindowFinder.h"

#include "ScratchFolder.h"

#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using namespace papyra;
using namespace papyra::test;

namespace {

// An Xvfb on the first display number nobody uses, stopped with the test.
class Xvfb {
public:
    Xvfb() {
        for (int number = 71; number < 200 && pid <= 0; ++number) {
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            if (std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock") ||
                std::filesystem::exists(socket))
                continue;
            display = ":" + std::to_string(number);
            std::string args[] = {"Xvfb",        display,     "-screen", "0",
                                  "1024x768x24", "-nolisten", "tcp"};
            std::vector<char*> argv;
            for (std::string& arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            // Its output goes nowhere: a server left behind by a crashed test must not hold
            // the test runner's pipes open.
            posix_spawn_file_actions_t quiet;
            posix_spawn_file_actions_init(&quiet);
            for (int fd : {1, 2})
                posix_spawn_file_actions_addopen(&quiet, fd, "/dev/null", O_WRONLY, 0);
            const int spawned = posix_spawnp(&pid, "Xvfb", &quiet, nullptr, argv.data(), environ);
            posix_spawn_file_actions_destroy(&quiet);
            if (spawned != 0) {
                pid = -1;
                return;
            }
            for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (!std::filesystem::exists(socket)) Stop(); // lost a race for the number
        }
    }
    ~Xvfb() { Stop(); }
    void Stop() {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }

    pid_t pid = -1;
    std::string display;
};

// Windows the test owns on that display.
class Client {
public:
    explicit Client(const std::string& display) : c(xcb_connect(display.c_str(), nullptr)) {}
    ~Client() { xcb_disconnect(c); }

    xcb_window_t Window(xcb_window_t parent = 0, const char* property = nullptr,
                        const char* type = nullptr, const std::string& name = "") {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        const xcb_window_t window = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, parent ? parent : screen->root, 0, 0,
                          100, 100, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0,
                          nullptr);
        if (property)
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, Atom(property), Atom(type), 8,
                                uint32_t(name.size()), name.data());
        return window;
    }
    void Destroy(xcb_window_t window) { xcb_destroy_window(c, window); }
    // Everything sent so far has reached the server.
    void Sync() { free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }

private:
    xcb_atom_t Atom(const char* name) {
        auto* reply =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply->atom;
        free(reply);
        return atom;
    }
    xcb_connection_t* c;
};

TEST(XcbWindowFinder, FindsATopLevelWindowByItsExactTitle) {
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0) GTEST_SKIP() << "no Xvfb";
    Xvfb server;
    ASSERT_GT(server.pid, 0);
    ScopedEnv display("DISPLAY", server.display.c_str());
    XcbWindowFinder finder;
    EXPECT_FALSE(finder.TopLevelWindowExists("Harvex")) << "nothing open yet";

    Client client(server.display);
    const xcb_window_t harvex = client.Window(0, "WM_NAME", "STRING", "Harvex");
    client.Window(0, "_NET_WM_NAME", "UTF8_STRING", "Caf\xC3\xA9 \xE2\x82\xAC");
    client.Window(0, "WM_NAME", "STRING", "Gr\xFC\xDF");
    // A window manager's frame holds the client one level down.
    client.Window(client.Window(), "_NET_WM_NAME", "UTF8_STRING", "Framed");
    client.Sync();
    const std::pair<const char*, bool> cases[] = {
        // ANSI titles
        {"Harvex", true}, {"Harvex ", false},     {"harvex", false},    {"Harve", false},
        {"", false},      {"Caf\xE9 \x80", true}, {"Gr\xFC\xDF", true}, {"Framed", true}};
    for (auto [title, found] : cases)
        EXPECT_EQ(finder.TopLevelWindowExists(title), found) << title;

    client.Destroy(harvex);
    client.Sync();
    EXPECT_FALSE(finder.TopLevelWindowExists("Harvex")) << "closed again";
}

TEST(XcbWindowFinder, NoDisplayMeansNoWindow) {
    for (const char* display : {static_cast<const char*>(nullptr), ":249"}) {
        ScopedEnv env("DISPLAY", display);
        EXPECT_FALSE(XcbWindowFinder().TopLevelWindowExists("Harvex"));
    }
}

} // namespace
