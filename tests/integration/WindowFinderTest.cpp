// The X11 window search against a real X server: an Xvfb this test starts on a free display.
#include "platform/unix/XcbWindowFinder.h"

#include "integration/Xvfb.h"
#include "support/ScratchFolder.h"

#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <cstring>

using namespace papyra;
using namespace papyra::test;
using papyra::testing::OnPath;
using papyra::testing::Xvfb;

namespace {

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
    if (!papyra::testing::OnPath("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    Xvfb server;
    ASSERT_TRUE(server.Running());
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
