#!/usr/bin/python3
"""Reads the running planner the way a screen reader does, over AT-SPI.

Finds the planner on the accessibility bus, prints an excerpt of its main window's tree
(--dump: all of it), checks a toolbar button's name, then puts the focus on the schedule,
presses Tab as a user would and checks what the focused booking is called. Every wait is
bounded; any mismatch ends with status 1 and says what was found instead.
"""
import argparse
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import GLib  # noqa: E402
import pyatspi  # noqa: E402

APPLICATION = "Tidemar PE"
FRAME_PREFIX = "Tidemar PE ("
# A popup menu's items are read when it opens; the excerpt leaves them out.
EXCERPT_SKIP = {pyatspi.ROLE_POPUP_MENU, pyatspi.ROLE_MENU}
EXCERPT_CHILDREN = 6


class Failure(Exception):
    pass


def poll(what, timeout, probe, interval=0.05):
    """probe() until it returns something; a failure naming what was awaited otherwise."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            found = probe()
        except GLib.Error:
            # The planner is still building the object it was asked about.
            found = None
        if found:
            return found
        if time.monotonic() > deadline:
            raise Failure(f"{what}: nothing after {timeout:g} s")
        time.sleep(interval)


def children(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield child


def descendants(node):
    stack = [node]
    while stack:
        current = stack.pop()
        yield current
        stack.extend(reversed(list(children(current))))


def describe(node):
    return f"{node.getRoleName()} '{node.name}'"


def print_tree(node, whole, depth=0, out=sys.stdout):
    print("  " * depth + describe(node), file=out)
    if not whole and node.getRole() in EXCERPT_SKIP:
        return
    kids = list(children(node))
    shown = kids if whole else kids[:EXCERPT_CHILDREN]
    for child in shown:
        print_tree(child, whole, depth + 1, out)
    if len(shown) < len(kids):
        print("  " * (depth + 1) + f"... {len(kids) - len(shown)} more", file=out)


def find_application(timeout):
    def probe():
        desktop = pyatspi.Registry.getDesktop(0)
        return next((a for a in children(desktop) if a.name == APPLICATION), None)

    return poll(f"application '{APPLICATION}' on the accessibility bus", timeout, probe)


def find_frame(application, timeout):
    def probe():
        return next(
            (
                f
                for f in children(application)
                if f.getRole() == pyatspi.ROLE_FRAME and f.name.startswith(FRAME_PREFIX)
            ),
            None,
        )

    return poll(f"a frame named '{FRAME_PREFIX}...)'", timeout, probe)


def check_button(frame, name):
    toolbars = [n for n in descendants(frame) if n.getRole() == pyatspi.ROLE_TOOL_BAR]
    if not toolbars:
        raise Failure("the main window has no tool bar")
    buttons = [b for t in toolbars for b in children(t) if b.getRole() == pyatspi.ROLE_PUSH_BUTTON]
    if not any(b.name == name for b in buttons):
        raise Failure(
            f"no toolbar button named '{name}'; the buttons: "
            + ", ".join(f"'{b.name}'" for b in buttons)
        )


def focused(node):
    return node.getState().contains(pyatspi.STATE_FOCUSED)


class FocusEvents:
    """Collects focus events from the planner while a GLib loop runs."""

    def __init__(self):
        self.names = []
        self.listener = pyatspi.Registry.registerEventListener(
            self.heard, "object:state-changed:focused"
        )

    def heard(self, event):
        if event.detail1 == 1 and event.source is not None:
            self.names.append(event.source.name)

    def first_after(self, action, timeout):
        """Runs action, then the loop until a focus event comes; its source's name or None."""
        context = GLib.MainContext.default()
        while context.pending():  # events that came before the action are not its own
            context.iteration(False)
        self.names.clear()
        loop = GLib.MainLoop()
        deadline = time.monotonic() + timeout

        def check():
            if self.names or time.monotonic() > deadline:
                loop.quit()
                return False
            return True

        action()
        GLib.timeout_add(20, check)
        loop.run()
        return self.names[0] if self.names else None


def find_row(frame, name, timeout):
    """The schedule's list for the resource name; the schedule is its parent."""

    def probe():
        return next(
            (
                n
                for n in descendants(frame)
                if n.name == name and n.getRole() == pyatspi.ROLE_LIST
            ),
            None,
        )

    return poll(f"a list named '{name}' (the resource's row)", timeout, probe)


def check_tab(frame, row_name, booking, events, timeout):
    grid = find_row(frame, row_name, timeout).parent
    if not focused(grid):
        # Its own focus event is taken here, not after Tab.
        events.first_after(grid.queryComponent().grabFocus, timeout)
        poll(f"the focus on {describe(grid)}", timeout, lambda: focused(grid))
    heard = events.first_after(lambda: press("Tab"), timeout)
    if heard is None:
        raise Failure(f"no focus event within {timeout:g} s of Tab in {describe(grid)}")
    if heard not in booking:
        raise Failure(f"Tab reached '{heard}', not '{' or '.join(booking)}'")
    holders = [n for n in list(descendants(grid))[1:] if focused(n)]
    if [n.name for n in holders] != [heard]:
        raise Failure(
            "after Tab the schedule's focused parts are "
            + (", ".join(describe(n) for n in holders) or "none")
            + f", not '{heard}' alone"
        )


def press(key):
    # The X server's own keyboard, as a user's: the planner holds the input focus.
    subprocess.run(["xdotool", "key", key], check=True, timeout=10)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--dump", action="store_true", help="print the whole tree")
    parser.add_argument("--button", help="a toolbar button's expected name")
    parser.add_argument("--row", help="the resource whose row holds the first booking")
    parser.add_argument(
        "--booking",
        action="append",
        help="the name of the first booking Tab reaches; given twice, either",
    )
    parser.add_argument("--timeout", type=float, default=20, help="seconds for each wait")
    args = parser.parse_args()

    events = FocusEvents() if args.booking else None
    application = find_application(args.timeout)
    frame = find_frame(application, args.timeout)
    print_tree(frame, args.dump)
    # Each check runs even when another failed: one missing name hides nothing else.
    checks = []
    if args.button:
        checks.append((lambda: check_button(frame, args.button), f"toolbar button '{args.button}'"))
    if args.booking:
        checks.append(
            (
                lambda: check_tab(frame, args.row, args.booking, events, args.timeout),
                f"Tab in the schedule reached '{' or '.join(args.booking)}'",
            )
        )
    failed = False
    for check, said in checks:
        try:
            check()
            print(said)
        except Failure as failure:
            print(f"atspi-read: {failure}", file=sys.stderr)
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except Failure as failure:
        print(f"atspi-read: {failure}", file=sys.stderr)
        sys.exit(1)
