#!/usr/bin/python3
"""Prints what a screen reader sees of a running application: one line per
accessible object, indented by depth, as role|name|states|actions.
  atspi_tree.py APPLICATION-NAME [SECONDS]
Waits up to SECONDS (default 10) for the application to join the AT-SPI bus;
exits 1 when it does not."""
import sys
import time

import pyatspi

STATES = {
    pyatspi.STATE_ENABLED: "enabled",
    pyatspi.STATE_FOCUSABLE: "focusable",
    pyatspi.STATE_FOCUSED: "focused",
    pyatspi.STATE_SELECTED: "selected",
    pyatspi.STATE_SHOWING: "showing",
}


def describe(accessible, depth, out):
    states = accessible.getState()
    names = [text for state, text in STATES.items() if states.contains(state)]
    try:
        action = accessible.queryAction()
        actions = [action.getName(i) for i in range(action.nActions)]
    except NotImplementedError:
        actions = []
    out.append("%s%s|%s|%s|%s" % ("  " * depth, accessible.getRoleName(), accessible.name,
                                  ",".join(names), ",".join(actions)))
    for i in range(accessible.childCount):
        child = accessible.getChildAtIndex(i)
        if child is not None:
            describe(child, depth + 1, out)


def find_application(name, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for application in desktop:
            if application is not None and application.name == name:
                return application
        time.sleep(0.2)
    return None


def main():
    application = find_application(sys.argv[1], float(sys.argv[2]) if len(sys.argv) > 2 else 10)
    if application is None:
        print("no application %s on the accessibility bus" % sys.argv[1], file=sys.stderr)
        return 1
    out = []
    describe(application, 0, out)
    print("\n".join(out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
