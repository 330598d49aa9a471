"""What a screen reader hears from the running program, read through the real
AT-SPI bridge: run by scripts/screen-reader-check on a virtual X server with
the accessibility bus, it starts the program, finds its card window, checks the
name of every cell and that nothing hidden is offered, then tabs through the
card window key by key, as a blind clerk would, and reads each control that
takes the focus from the focus event that the screen reader (Orca) speaks
from; then it opens the search window by keys and reads its columns.
Prints what it heard; exits non-zero on the first difference.

Run with Debian's /usr/bin/python3, which has pyatspi.
Usage: screen_reader_check.py PROGRAM FOLDER (the program's working folder)
"""

import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

# CELLS names the cells by field index, as the card window does.
CELLS = [
    "Фамилия", "Имя", "Отчество", "Адрес абонента", "Номер абонента",
    "Лицевой счет",
    "Абонентская плата, начислено", "Абонентская плата, погашено",
    "Абонентская плата, к оплате",
    "Повременная плата, начислено", "Повременная плата, погашено",
    "Повременная плата, к оплате",
    "Итого, начислено", "Итого, погашено", "Итого, к оплате",
]
DERIVED = {8, 11, 12, 13, 14}
COMPUTED = "Вычисляется программой"

# CARD_TABS gives the card window's tab order as role and name; the option
# group is one stop, at its chosen option.
CARD_TABS = (
    [("text", CELLS[0]), ("push button", "Записать")]
    + [("text", CELLS[i]) for i in (1, 2, 3, 4)]
    + [("push button", "Поиск")]
    + [("text", CELLS[i]) for i in (14, 11, 8, 13, 10, 7, 12, 9, 6, 5)]
    + [("radio button", "0%"), ("text", CELLS[0])]
)

# COLUMNS names the search window's visible columns by their headers.
COLUMNS = {"Лицевой счет", "Фамилия", "Имя", "Отчество", "Улица", "Телефон"}

focused = []  # (role, name, description) of each focus event, in order
program_pid = None


def fail(message):
    print("screen-reader-check: " + message, file=sys.stderr)
    sys.exit(1)


def on_focus(event):
    if event.detail1 != 1:
        return
    source = event.source
    focused.append((source.getRoleName(), source.name, source.description))


def pump(seconds):
    """Runs the event loop that delivers the bridge's events."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        time.sleep(0.01)


def wait_for(predicate, seconds, what):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = predicate()
        if found:
            return found
        pump(0.1)
    fail("no " + what + " after %d s" % seconds)


def program():
    # The program is found by its process, since the name it registers with
    # may be the one it has before it names itself.
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == program_pid:
            return app
    return None


def window(title):
    app = program()
    if app is None:
        return None
    for frame in app:
        if frame is not None and frame.name == title and \
                frame.getState().contains(pyatspi.STATE_SHOWING):
            return frame
    return None


def descendants(node):
    for child in node:
        if child is None:
            continue
        yield child
        yield from descendants(child)


def offers_only_what_shows(frame):
    """Fails on a control that the bridge offers but the window hides."""
    for node in descendants(frame):
        if not node.getState().contains(pyatspi.STATE_SHOWING) or \
                node.name == "Command1":
            fail('%s "%s" is offered but not shown' %
                 (node.getRoleName(), node.name))


def key(name):
    subprocess.run(["xdotool", "key", "--clearmodifiers", name], check=True)


def press(name, what):
    """Presses a key; the last focus event that it brought."""
    count = len(focused)
    key(name)
    wait_for(lambda: len(focused) > count, 10, "focus event for " + what)
    pump(0.2)
    return focused[-1]


def main(program_path, folder):
    # The check listens before the program starts: the program asks at its
    # start which events are listened to, and may miss a listener that comes
    # while it is connecting.
    pyatspi.Registry.registerEventListener(on_focus,
                                           "object:state-changed:focused")
    # The toolkit turns its bridge on when the desktop says a screen reader
    # runs; here this check is that screen reader.
    environment = dict(os.environ, QT_QPA_PLATFORM="xcb",
                       QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    with open(os.path.join(folder, "program.log"), "w") as log:
        running = subprocess.Popen([program_path], cwd=folder, env=environment,
                                   stderr=log)
    global program_pid
    program_pid = running.pid
    try:
        check()
    finally:
        running.kill()
        running.wait()


def check():
    form1 = wait_for(lambda: window("Form1"), 30, "card window Form1")
    print("Form1, a %s, as the bridge gives it:" % form1.getRoleName())

    # Every cell must be named and the derived ones described, and nothing
    # hidden may be offered.
    cells = [node for node in descendants(form1)
             if node.getRoleName() == "text"]
    names = [cell.name for cell in cells]
    if names != CELLS:
        fail("the cells are named %r, not %r" % (names, CELLS))
    for index, cell in enumerate(cells):
        description = cell.description
        print('  text "%s"%s' % (cell.name,
                                 " (%s)" % description if description else ""))
        if (description == COMPUTED) != (index in DERIVED):
            fail('cell "%s" is described as "%s"' % (cell.name, description))
    offers_only_what_shows(form1)
    # The benefit options must stand in their frame, which a screen reader
    # names with them.
    for option in descendants(form1):
        if option.getRoleName() == "radio button" and \
                (option.parent.getRoleName(), option.parent.name) != \
                ("panel", "Льготы"):
            fail('option "%s" stands outside "Льготы"' % option.name)

    # Tab moves the focus, as a screen reader hears it, from the surname,
    # where the window puts it, round to the surname again.
    wait_for(lambda: form1.getState().contains(pyatspi.STATE_ACTIVE) and
             cells[0].getState().contains(pyatspi.STATE_FOCUSED), 30,
             "keyboard in the surname")
    print("Tab by tab in Form1:")
    for index, (role, name) in enumerate(CARD_TABS[1:], start=1):
        heard = press("Tab", name)
        print('  %s "%s"%s' % (heard[0], heard[1],
                                " (%s)" % heard[2] if heard[2] else ""))
        if heard[:2] != (role, name):
            fail('tab %d reached %s "%s", not %s "%s"' %
                 (index, heard[0], heard[1], role, name))

    # Enter on "Поиск" opens the search window, whose columns are checked.
    for _ in range(5):
        key("Tab")
    heard = press("Tab", "Поиск")
    if heard[:2] != ("push button", "Поиск"):
        fail('reached %s "%s", not "Поиск"' % heard[:2])
    heard = press("Return", "the search window's first control")
    form3 = wait_for(lambda: window("Form3"), 30, "search window Form3")
    print('Form3, focus on %s "%s"; its columns:' % heard[:2])
    lists = [node for node in descendants(form3)
             if node.getRoleName() == "list"]
    for column in lists:
        print('  list "%s", %d rows' % (column.name, column.childCount))
    if {column.name for column in lists} != COLUMNS or len(lists) != 6:
        fail("the columns are %r" % [column.name for column in lists])
    if heard[:2] != ("push button", "Очистка списка"):
        fail("the search window opened with the focus elsewhere")
    offers_only_what_shows(form3)
    print("screen-reader-check: every name heard as expected")


main(*sys.argv[1:])
