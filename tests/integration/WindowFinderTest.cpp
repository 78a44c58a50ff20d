// The X11 window search against a real X server: an Xvfb this test starts on a free display.
#include "platform/unix/XcbWindowFinder.h"

#include "ScratchFolder.h"
#include "integration/Xvfb.h"

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
