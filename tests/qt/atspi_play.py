#!/usr/bin/env python3
"""Plays a game of the real program through the accessibility bus alone, as a
player with a screen reader does: it finds each control by its role and name,
presses the buttons through their actions and reads the field and the output
area through the text interface, and it listens for the output area's
text-changed events, which a screen reader speaks.

Usage: atspi_play.py PROGRAM, inside a D-Bus session on an X server. The
program's clock stands at 12:00:00.00, so every roll is a 1."""

import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

CAPTION = "Rolling a zemb (1-6)"
BUTTONS = ["Start", " (1,2,3)", " (4,5,6)", "quit"]


def fail(message):
    print(f"FAIL: {message}")
    sys.exit(1)


def pump(seconds=0.0, until=None):
    """Runs the event loop that delivers the bus's events, for `seconds` or
    until `until()` holds; returns whether it holds."""
    deadline = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while True:
        while context.iteration(False):
            pass
        if until is not None and until():
            return True
        if time.monotonic() >= deadline:
            return until is None
        time.sleep(0.02)


def find_application(program):
    desktop = pyatspi.Registry.getDesktop(0)
    name = os.path.basename(program)
    found = []

    def look():
        found[:] = [app for app in desktop if app is not None and app.name == name]
        return bool(found)

    if not pump(20, look):
        fail(f"{name} did not appear on the accessibility bus")
    return found[0]


def find(root, role, name):
    match = pyatspi.findDescendant(root, lambda a: a.getRole() == role and a.name == name)
    if match is None:
        fail(f"no {role} named {name!r}")
    return match


def text_of(accessible):
    return accessible.queryText().getText(0, -1)


def press(button):
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names:
        fail(f"'{button.name}' offers no Press action, only {names}")
    action.doAction(names.index("Press"))


def main():
    program = sys.argv[1]
    environment = dict(
        os.environ,
        QT_QPA_PLATFORM="xcb",
        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
        LD_PRELOAD=os.environ["GAME_PRELOAD"],
        FAKETIME="2026-12-08 12:00:00",
        FAKETIME_DONT_FAKE_MONOTONIC="1",
    )
    game = subprocess.Popen([program], env=environment)
    try:
        play(program)
    finally:
        game.terminate()
        game.wait(10)
    print("PASS: played Start, a bet and quit through the accessibility bus")


def play(program):
    app = find_application(program)
    window = find(app, pyatspi.ROLE_FRAME, CAPTION)

    buttons = {name: find(window, pyatspi.ROLE_PUSH_BUTTON, name) for name in BUTTONS}
    field = pyatspi.findDescendant(
        window, lambda a: a.name == "initial balance" and a.getRole() != pyatspi.ROLE_LABEL
    )
    output = pyatspi.findDescendant(
        window, lambda a: a.name == "Display" and a.getRole() != pyatspi.ROLE_LABEL
    )
    if field is None or output is None:
        fail("the balance field or the output area has no name")

    # Each is named by its label, as the window shows it.
    for control, label in ((field, "initial balance"), (output, "Display")):
        labels = [
            relation.getTarget(i).name
            for relation in control.getRelationSet()
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
            for i in range(relation.getNTargets())
        ]
        if labels != [label]:
            fail(f"'{control.name}' is labelled by {labels}")

    changes = []

    def on_text_changed(event):
        if event.source == output:
            changes.append((event.type, event.any_data))

    pyatspi.Registry.registerEventListener(on_text_changed, "object:text-changed")

    press(buttons["Start"])
    if not pump(5, lambda: text_of(field) == "10"):
        fail(f"after Start the field reads '{text_of(field)}'")
    if text_of(output) != "":
        fail(f"after Start the output area reads '{text_of(output)}'")

    changes.clear()
    press(buttons[" (1,2,3)"])
    shown = "The number is 1\nYou won!\n"
    if not pump(5, lambda: text_of(output) == shown):
        fail(f"after the bet the output area reads {text_of(output)!r}")
    if text_of(field) != "20":
        fail(f"after the bet the field reads '{text_of(field)}'")
    inserted = "".join(data for kind, data in changes if kind.endswith(":insert"))
    if not pump(5, lambda: "".join(d for k, d in changes if k.endswith(":insert")) == shown):
        inserted = "".join(data for kind, data in changes if kind.endswith(":insert"))
        fail(f"the bet's text-changed events insert {inserted!r}, not {shown!r}")

    press(buttons["quit"])
    report = "You quit.\nThe balance of your account is 20\n"
    if not pump(5, lambda: text_of(output) == report):
        fail(f"after quit the output area reads {text_of(output)!r}")
    if text_of(field) != "":
        fail(f"after quit the field reads '{text_of(field)}'")
    pyatspi.Registry.deregisterEventListener(on_text_changed, "object:text-changed")


if __name__ == "__main__":
    main()
