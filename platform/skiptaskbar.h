#pragma once

#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

// Asks the window manager to leave a window out of task bars and pagers
// (_NET_WM_STATE_SKIP_TASKBAR and _NET_WM_STATE_SKIP_PAGER), as small helper
// windows are. X11 only; elsewhere nothing is done. A state that a window
// manager drops when a window is hidden: call it each time the window has
// been shown (mapped), e.g. from a timer started in showEvent().
inline void skipTaskbar(QWindow* window)
{
    if (!window || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return;
    const auto atom = [c](const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return a;
    };
    const xcb_atom_t state = atom("_NET_WM_STATE");
    const xcb_atom_t skip[2] = {atom("_NET_WM_STATE_SKIP_TASKBAR"),
                                atom("_NET_WM_STATE_SKIP_PAGER")};
    const xcb_window_t id = xcb_window_t(window->winId());
    // The window manager's way (EWMH, for a mapped window) ...
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = id;
    ev.type = state;
    ev.data.data32[0] = 1; // _NET_WM_STATE_ADD
    ev.data.data32[1] = skip[0];
    ev.data.data32[2] = skip[1];
    ev.data.data32[3] = 1; // asked by an application
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&ev));
    // ... and the property itself, for a desktop without one.
    xcb_change_property(c, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 2, skip);
    xcb_flush(c);
}
