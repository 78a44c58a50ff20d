#include "platform/unix/XcbWindowFinder.h"

#include "platform/ansi/AnsiText.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace papyra {

namespace {

// Frames of reparenting window managers put the client one or two levels below the frame.
const int SearchDepth = 3;
const uint32_t LongestTitle = 4096; // in 32-bit units, far beyond any title

struct ConnectionCloser {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using Connection = std::unique_ptr<xcb_connection_t, ConnectionCloser>;

template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply> ReplyPtr<Reply> Own(Reply* reply) {
    return ReplyPtr<Reply>(reply, &std::free);
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    auto reply = Own(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, static_cast<uint16_t>(strlen(name)), name),
        nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::string Latin1ToUtf8(const std::string& latin1) {
    std::string utf8;
    for (unsigned char c : latin1) {
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

class Search {
public:
    Search(xcb_connection_t* connection, std::string wanted)
        : connection(connection), wanted(std::move(wanted)),
          netWmName(Atom(connection, "_NET_WM_NAME")), utf8String(Atom(connection, "UTF8_STRING")) {
    }

    // Asks for the names of all windows of one level at once, then for their children.
    bool Level(const std::vector<xcb_window_t>& windows, int depth) {
        if (windows.empty()) return false;
        if (depth > 0) {
            std::vector<xcb_get_property_cookie_t> net, plain;
            for (xcb_window_t window : windows) {
                net.push_back(xcb_get_property(connection, 0, window, netWmName, utf8String, 0,
                                               LongestTitle));
                plain.push_back(xcb_get_property(connection, 0, window, XCB_ATOM_WM_NAME,
                                                 XCB_GET_PROPERTY_TYPE_ANY, 0, LongestTitle));
            }
            bool found = false;
            for (size_t i = 0; i < windows.size(); ++i) {
                // Every reply is collected, found or not, so none is left waiting in xcb.
                found |= Matches(xcb_get_property_reply(connection, net[i], nullptr), true);
                found |= Matches(xcb_get_property_reply(connection, plain[i], nullptr), false);
            }
            if (found) return true;
        }
        if (depth == SearchDepth) return false;

        std::vector<xcb_query_tree_cookie_t> trees;
        for (xcb_window_t window : windows)
            trees.push_back(xcb_query_tree(connection, window));
        std::vector<xcb_window_t> children;
        for (xcb_query_tree_cookie_t cookie : trees) {
            auto tree = Own(xcb_query_tree_reply(connection, cookie, nullptr));
            if (!tree) continue; // the window went away meanwhile
            const xcb_window_t* first = xcb_query_tree_children(tree.get());
            children.insert(children.end(), first,
                            first + xcb_query_tree_children_length(tree.get()));
        }
        return Level(children, depth + 1);
    }

private:
    bool Matches(xcb_get_property_reply_t* raw, bool utf8) {
        auto reply = Own(raw);
        if (!reply || reply->format != 8 || reply->type == XCB_ATOM_NONE) return false;
        std::string name(static_cast<const char*>(xcb_get_property_value(reply.get())),
                         xcb_get_property_value_length(reply.get()));
        // WM_NAME of type STRING is Latin-1; anything else there is taken byte for byte.
        if (!utf8 && reply->type == XCB_ATOM_STRING) name = Latin1ToUtf8(name);
        return name == wanted;
    }

    xcb_connection_t* connection;
    std::string wanted; // UTF-8
    xcb_atom_t netWmName, utf8String;
};

} // namespace

bool XcbWindowFinder::TopLevelWindowExists(const std::string& title) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return false;
    Connection connection(xcb_connect(display, nullptr));
    if (!connection || xcb_connection_has_error(connection.get())) return false;

    std::vector<xcb_window_t> roots;
    for (auto screen = xcb_setup_roots_iterator(xcb_get_setup(connection.get())); screen.rem;
         xcb_screen_next(&screen))
        roots.push_back(screen.data->root);
    return Search(connection.get(), AnsiToUtf8(title)).Level(roots, 0);
}

} // namespace papyra

namespace papyra {

void EraseWindowTitle(unsigned long window) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return;
    Connection connection(xcb_connect(display, nullptr));
    if (!connection || xcb_connection_has_error(connection.get())) return;
    xcb_connection_t* c = connection.get();
    const auto id = static_cast<xcb_window_t>(window);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0, "");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, Atom(c, "_NET_WM_NAME"),
                        Atom(c, "UTF8_STRING"), 8, 0, "");
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); // delivered before we go
}

} // namespace papyra
