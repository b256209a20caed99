#!/usr/bin/python3
"""A screen reader's side of the window, through AT-SPI (pyatspi).

  atspi_client.py tree                 the application's tree, one line a node:
                                       role <TAB> name <TAB> states <TAB> actions
  atspi_client.py press NAME           presses the showing control NAME and waits
                                       until the tree answers (anything it shows
                                       changes); exit 1 when it never does
  atspi_client.py names SECONDS FILE   writes every name change the window
                                       announces to FILE, one a line (role <TAB>
                                       name), for SECONDS
"""
import sys
import time

import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# The action calls pyatspi itself still makes are marked deprecated.
warnings.simplefilter("ignore", DeprecationWarning)

APP = "Quillmur"
TIMEOUT = 60


def application():
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_name() == APP:
                # States change behind the cache's back (a panel raised over
                # another): read every property afresh.
                app.set_cache_mask(Atspi.Cache.NONE)
                return app
        time.sleep(0.2)
    sys.exit(f"{APP} never appeared on the accessibility bus")


def walk(node, out):
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is None:
            continue
        out.append(child)
        walk(child, out)
    return out


def describe(node):
    states = node.get_state_set()
    flags = [s for s, st in (("showing", Atspi.StateType.SHOWING),
                             ("enabled", Atspi.StateType.ENABLED)) if states.contains(st)]
    actions = []
    action = node.get_action_iface()
    if action is not None:
        actions = [action.get_action_name(i) for i in range(action.get_n_actions())]
    return "\t".join([node.get_role_name(), node.get_name() or "", ",".join(flags),
                      ",".join(actions)])


def snapshot(app):
    return [describe(n) for n in walk(app, [])]


def press(app, name):
    before = snapshot(app)
    targets = [n for n in walk(app, []) if n.get_name() == name
               and n.get_state_set().contains(Atspi.StateType.SHOWING)
               and n.get_action_iface() is not None
               and n.get_action_iface().get_n_actions() > 0]
    if len(targets) != 1:
        sys.exit(f"{len(targets)} showing controls named {name!r} to press")
    targets[0].get_action_iface().do_action(0)
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        if snapshot(app) != before:
            return
        time.sleep(0.2)
    sys.exit(f"the window did not answer a press of {name!r}")


def names(app, seconds, path):
    out = open(path, "w", buffering=1)
    pid = app.get_process_id()

    def heard(event):
        try:
            if event.source is not None and event.source.get_process_id() == pid:
                out.write(f"{event.source.get_role_name()}\t{event.source.get_name() or ''}\n")
        except GLib.Error:
            pass  # the window has gone (the test is over)

    listener = Atspi.EventListener.new(heard)
    listener.register("object:property-change:accessible-name")
    out.write("listening\n")
    GLib.timeout_add(int(seconds * 1000), Atspi.event_quit)
    Atspi.event_main()


def main():
    Atspi.init()
    app = application()
    command = sys.argv[1]
    if command == "tree":
        print("\n".join(snapshot(app)))
    elif command == "press":
        press(app, sys.argv[2])
    elif command == "names":
        names(app, float(sys.argv[2]), sys.argv[3])
    else:
        sys.exit(__doc__)


main()
