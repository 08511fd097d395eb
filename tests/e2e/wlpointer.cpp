// SPDX-License-Identifier: MIT
// A pointer for a wlroots compositor that has no input devices (a headless Sway): one virtual
// pointer for the whole run, driven by lines on standard input:
//   move X Y      absolute position in the layout (WIDTH x HEIGHT from the command line)
//   press B / release B   a Linux button code (272 left, 273 right)
// Each line is answered "ok" once the compositor has it.
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

// zwlr_virtual_pointer_unstable_v1 up to the last request used here, written out instead of generated.
const wl_interface *noTypes[8] = {};
const wl_message pointerRequests[] = {{"motion", "uff", noTypes},
                                      {"motion_absolute", "uuuuu", noTypes},
                                      {"button", "uuu", noTypes},
                                      {"axis", "uuf", noTypes},
                                      {"frame", "", noTypes}};
const wl_interface pointerInterface = {"zwlr_virtual_pointer_v1", 1, 5, pointerRequests, 0, nullptr};
const wl_interface *createTypes[] = {&wl_seat_interface, &pointerInterface};
const wl_message managerRequests[] = {{"create_virtual_pointer", "?on", createTypes}, {"destroy", "", noTypes}};
const wl_interface managerInterface = {"zwlr_virtual_pointer_manager_v1", 1, 2, managerRequests, 0, nullptr};
enum { MotionAbsolute = 1, Button = 2, Frame = 4 };

wl_seat *seat = nullptr;
wl_proxy *manager = nullptr;

void global(void *, wl_registry *registry, uint32_t name, const char *interface, uint32_t)
{
    if (std::strcmp(interface, "wl_seat") == 0 && !seat)
        seat = static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, managerInterface.name) == 0)
        manager = static_cast<wl_proxy *>(wl_registry_bind(registry, name, &managerInterface, 1));
}
void globalRemove(void *, wl_registry *, uint32_t) { }
const wl_registry_listener registryListener = {global, globalRemove};

uint32_t now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return uint32_t(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

} // namespace

int main(int argc, char *argv[])
{
    const uint32_t width = argc > 2 ? uint32_t(std::atoi(argv[1])) : 1280;
    const uint32_t height = argc > 2 ? uint32_t(std::atoi(argv[2])) : 800;
    wl_display *display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "wlpointer: no Wayland display\n");
        return 1;
    }
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (!seat || !manager) {
        std::fprintf(stderr, "wlpointer: the compositor offers no virtual pointer\n");
        return 1;
    }
    wl_proxy *pointer = wl_proxy_marshal_flags(manager, 0, &pointerInterface, 1, 0, seat, nullptr);
    wl_display_roundtrip(display);
    std::printf("ok\n");
    std::fflush(stdout);

    char line[128];
    while (std::fgets(line, sizeof line, stdin)) {
        unsigned a = 0, b = 0;
        if (std::sscanf(line, "move %u %u", &a, &b) == 2)
            wl_proxy_marshal_flags(pointer, MotionAbsolute, nullptr, 1, 0, now(), a, b, width, height);
        else if (std::sscanf(line, "press %u", &a) == 1)
            wl_proxy_marshal_flags(pointer, Button, nullptr, 1, 0, now(), a, 1u);
        else if (std::sscanf(line, "release %u", &a) == 1)
            wl_proxy_marshal_flags(pointer, Button, nullptr, 1, 0, now(), a, 0u);
        else
            continue;
        wl_proxy_marshal_flags(pointer, Frame, nullptr, 1, 0);
        if (wl_display_roundtrip(display) < 0)
            return 1;
        std::printf("ok\n");
        std::fflush(stdout);
    }
    wl_display_disconnect(display);
    return 0;
}
