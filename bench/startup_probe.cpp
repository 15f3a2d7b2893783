// Starts a program and reports how long it took until a window with a given title was mapped:
//   bench_startup_probe TITLE TIMEOUT-MS PROGRAM [ARGS...]
// Prints the milliseconds from the fork to the first poll that saw the window viewable, then
// leaves the program running (the caller ends it). Exit code 1 when no such window came in time.
// The poll asks the X server every 2 ms for the top-level windows the window manager lists and
// their titles and map states; it stays cheap, so the program being measured keeps the processor.
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    auto cookie = xcb_intern_atom(c, 0, std::strlen(name), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

std::vector<xcb_window_t> windowList(xcb_connection_t *c, xcb_window_t root, xcb_atom_t list)
{
    std::vector<xcb_window_t> windows;
    auto cookie = xcb_get_property(c, 0, root, list, XCB_ATOM_WINDOW, 0, 4096);
    if (xcb_get_property_reply_t *reply = xcb_get_property_reply(c, cookie, nullptr)) {
        const auto *data = static_cast<const xcb_window_t *>(xcb_get_property_value(reply));
        windows.assign(data, data + xcb_get_property_value_length(reply) / 4);
        std::free(reply);
    }
    return windows;
}

// Top-level client windows: the window manager's list, or the root's children without one.
std::vector<xcb_window_t> clients(xcb_connection_t *c, xcb_window_t root, xcb_atom_t list)
{
    std::vector<xcb_window_t> windows = windowList(c, root, list);
    if (!windows.empty())
        return windows;
    if (xcb_query_tree_reply_t *tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr)) {
        const xcb_window_t *children = xcb_query_tree_children(tree);
        windows.assign(children, children + xcb_query_tree_children_length(tree));
        std::free(tree);
    }
    return windows;
}

std::string title(xcb_connection_t *c, xcb_window_t w, xcb_atom_t netName, xcb_atom_t utf8)
{
    using Property = std::pair<xcb_atom_t, xcb_atom_t>;
    const Property properties[] = {{netName, utf8}, {XCB_ATOM_WM_NAME, XCB_ATOM_STRING}};
    for (const auto &[property, type] : properties) {
        auto cookie = xcb_get_property(c, 0, w, property, type, 0, 256);
        if (xcb_get_property_reply_t *reply = xcb_get_property_reply(c, cookie, nullptr)) {
            std::string text(static_cast<const char *>(xcb_get_property_value(reply)),
                             xcb_get_property_value_length(reply));
            std::free(reply);
            if (!text.empty())
                return text;
        }
    }
    return {};
}

bool viewable(xcb_connection_t *c, xcb_window_t w)
{
    auto *reply = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr);
    const bool result = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(reply);
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s TITLE TIMEOUT-MS PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    const std::string wanted = argv[1];
    const auto timeout = std::chrono::milliseconds(std::atoi(argv[2]));
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t list = atom(c, "_NET_CLIENT_LIST");
    const xcb_atom_t netName = atom(c, "_NET_WM_NAME");
    const xcb_atom_t utf8 = atom(c, "UTF8_STRING");

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        // The program outlives the probe: it must not hold the probe's output open.
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    while (std::chrono::steady_clock::now() - start < timeout) {
        for (xcb_window_t w : clients(c, root, list)) {
            if (title(c, w, netName, utf8) == wanted && viewable(c, w)) {
                const double ms = std::chrono::duration<double, std::milli>(
                                      std::chrono::steady_clock::now() - start)
                                      .count();
                std::printf("%.1f\n", ms);
                xcb_disconnect(c);
                return 0;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    xcb_disconnect(c);
    return 1;
}
