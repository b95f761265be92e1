#!/usr/bin/env python3
"""Plays a game of the real program through the accessibility bus alone, as a
player with a screen reader does: it finds each control by its role and name,
presses the buttons through their actions and reads the field and the output
area through the text interface, and it listens for the output area's
text-changed events, which a screen reader speaks. Then it plays the game
again from the keyboard, with the focus left on each button pressed, and
reads from the log of the Orca screen reader, running all along, that it
said what each button did, once and in order.

Usage: atspi_play.py PROGRAM, inside a D-Bus session on an X server, with
Orca's settings and its speech server's in a private home. The program's
clock stands at 12:00:00.00, so every roll is a 1."""

import os
import re
import signal
import subprocess
import sys
import time

import pyatspi
from gi.repository import Gio, GLib

CAPTION = "Rolling a zemb (1-6)"
BUTTONS = ["Start", " (1,2,3)", " (4,5,6)", "quit"]
# What each button says, without moving the focus: Start, the bet and quit.
SAID = ["initial balance 10", "The number is 1\nYou won!\ninitial balance 20",
        "You quit.\nThe balance of your account is 20"]


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


def orca_listens():
    """Whether Orca, once it is up, listens on the accessibility bus for the
    notifications that the game shows."""
    session = Gio.bus_get_sync(Gio.BusType.SESSION)
    address = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                                None, GLib.VariantType("(s)"), 0, -1).unpack()[0]
    bus = Gio.DBusConnection.new_for_address_sync(
        address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
        | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
    events = bus.call_sync("org.a11y.atspi.Registry", "/org/a11y/atspi/registry",
                           "org.a11y.atspi.Registry", "GetRegisteredEvents", None, None, 0, -1)
    return any(event == "Object:StateChanged:Showing" for _, event in events.unpack()[0])


def start_orca(log):
    orca = subprocess.Popen(["orca", "--debug-file", log], stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    if not pump(30, orca_listens):
        fail("Orca did not start listening")
    return orca


def stop_orca(orca):
    """Ends Orca, which writes the rest of its log as it goes, and the speech
    server it started."""
    orca.send_signal(signal.SIGTERM)
    orca.wait(10)
    pid_file = os.path.join(os.environ["XDG_RUNTIME_DIR"], "speech-dispatcher", "pid",
                            "speech-dispatcher.pid")
    if os.path.exists(pid_file):
        with open(pid_file) as pid:
            os.kill(int(pid.read()), signal.SIGTERM)


def spoken_results(log):
    """What Orca said of the game's results, utterance by utterance."""
    with open(log, errors="replace") as file:
        said = re.findall(r"SPEECH OUTPUT: '(.*?)' ?\{", file.read(), re.DOTALL)
    said = [re.sub(r"\n\s+", "\n", text).rstrip(".") for text in said]
    return [text for text in said if re.match(r"The number is |You quit\.|initial balance \d", text)]


def main():
    program = sys.argv[1]
    log = os.path.join(os.environ["HOME"], "orca.log")
    orca = start_orca(log)
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
        stop_orca(orca)
    said = spoken_results(log)
    if said != SAID + SAID:
        fail(f"Orca said {said}, not {SAID} twice")
    print("PASS: played Start, a bet and quit through the accessibility bus and the keyboard,")
    print("      and Orca said what each did")


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

    play_by_keyboard(buttons, field, output)


def play_by_keyboard(buttons, field, output):
    """Start, a bet and quit again, from the keyboard alone, as with Orca."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{re.escape(CAPTION)}"],
                           capture_output=True, text=True, check=True)
    window = found.stdout.split()[0]
    subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)

    def focused(accessible):
        return lambda: accessible.getState().contains(pyatspi.STATE_FOCUSED)

    def key(name, until, what):
        subprocess.run(["xdotool", "key", "--window", window, name], check=True)
        if not pump(5, until):
            fail(f"after {name} {what}")

    if not pump(5, focused(field)):
        fail("the field does not have the focus")
    key("Tab", focused(output), "the output area does not have the focus")
    key("Tab", focused(buttons[" (1,2,3)"]), "' (1,2,3)' does not have the focus")
    key("Tab", focused(buttons["Start"]), "'Start' does not have the focus")
    key("space", lambda: text_of(field) == "10", "on Start the field is not 10")
    key("shift+Tab", focused(buttons[" (1,2,3)"]), "' (1,2,3)' does not have the focus")
    key("space", lambda: text_of(field) == "20", "on the bet the field is not 20")
    for name in ("Start", " (4,5,6)", "quit"):
        key("Tab", focused(buttons[name]), f"'{name}' does not have the focus")
    key("space", lambda: text_of(field) == "", "on quit the field is not empty")
    # Orca speaks from its own queue, after the game's events have come in.
    pump(2)


if __name__ == "__main__":
    main()
