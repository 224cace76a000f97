// Times a program from its start to the first paint of its window, as the X server sees it:
// it starts the program, watches the root window for new top-level windows, and waits for the
// first damage (drawn contents) on one of them. Then it ends the program and prints three
// numbers of milliseconds: from the start to that first paint, from the start to the window's
// mapping, and the processor time the program had used (which other load on the machine
// changes less than the other two).
//
//   pellvane-firstpaint PROGRAM [ARGUMENTS...]
//
// It needs a display of its own (Xvfb): any window that another client creates meanwhile
// would be taken for the program's. The program may paint before it is mapped only into
// nothing, so the damage watched for is its first visible frame.

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int TimeoutMs = 30000;
// How often the program is checked for having ended while no event comes.
constexpr int PollMs = 100;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

[[noreturn]] void fail(const char *message) {
    std::fprintf(stderr, "pellvane-firstpaint: %s\n", message);
    std::exit(1);
}

struct EventFree {
    void operator()(xcb_generic_event_t *event) const { std::free(event); }
};
using Event = std::unique_ptr<xcb_generic_event_t, EventFree>;

// Waits for the next event; fails once the deadline has passed or the program has ended.
Event nextEvent(xcb_connection_t *connection, pid_t program, Clock::time_point deadline) {
    for (;;) {
        if (xcb_generic_event_t *event = xcb_poll_for_event(connection))
            return Event(event);
        if (xcb_connection_has_error(connection))
            fail("the X connection broke");
        if (waitpid(program, nullptr, WNOHANG) == program)
            fail("the program ended before it painted a window");
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            fail("no window was painted in time");
        pollfd watched{xcb_get_file_descriptor(connection), POLLIN, 0};
        poll(&watched, 1, static_cast<int>(std::min<long long>(left.count(), PollMs)));
    }
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc < 2)
        fail("usage: pellvane-firstpaint PROGRAM [ARGUMENTS...]");
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        fail("cannot open the display");
    const xcb_query_extension_reply_t *damage = xcb_get_extension_data(connection, &xcb_damage_id);
    if (!damage || !damage->present)
        fail("the X server has no Damage extension");
    // The extension answers nothing before its version has been asked.
    std::free(xcb_damage_query_version_reply(
        connection, xcb_damage_query_version(connection, XCB_DAMAGE_MAJOR_VERSION, 0), nullptr));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint32_t rootEvents = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    // Checked, so the selection is in force before the program starts.
    if (xcb_request_check(connection, xcb_change_window_attributes_checked(
                                          connection, root, XCB_CW_EVENT_MASK, &rootEvents)))
        fail("cannot watch the root window");

    const Clock::time_point start = Clock::now();
    pid_t program = 0;
    if (posix_spawnp(&program, argv[1], nullptr, nullptr, argv + 1, environ) != 0)
        fail("cannot start the program");
    const Clock::time_point deadline = start + std::chrono::milliseconds(TimeoutMs);

    // Damage is watched from each top-level window's creation, long before it is mapped.
    std::set<xcb_window_t> mapped;
    double mappedMs = -1;
    double paintedMs = -1;
    while (paintedMs < 0) {
        const Event event = nextEvent(connection, program, deadline);
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto *created = reinterpret_cast<xcb_create_notify_event_t *>(event.get());
            if (created->parent == root)
                xcb_damage_create(connection, xcb_generate_id(connection), created->window,
                                  XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            xcb_flush(connection);
        } else if (type == XCB_MAP_NOTIFY) {
            const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event.get());
            if (mapped.insert(map->window).second && mappedMs < 0)
                mappedMs = millisecondsSince(start);
        } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY) {
            const auto *notify = reinterpret_cast<xcb_damage_notify_event_t *>(event.get());
            if (mapped.count(notify->drawable))
                paintedMs = millisecondsSince(start);
        } else if (type == 0) {
            fail("the X server refused a request");
        }
    }
    kill(program, SIGTERM);
    rusage usage{};
    wait4(program, nullptr, 0, &usage);
    const double cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    std::printf("%.2f %.2f %.2f\n", paintedMs, mappedMs, cpuMs);
    xcb_disconnect(connection);
    return 0;
}
