"""What Orca, the screen reader, speaks of the running program, read from
Orca's own debug log: run by scripts/orca-check on a virtual X server with the
session and accessibility buses, it starts speech-dispatcher, Orca and the
program, types a surname into the card window, tabs through the window, the
benefit options' arrows too, as a blind clerk would, and checks at each stop
that Orca spoke the control's name and, for a text box, its whole text;
also that an emptied amount box is heard refilled with "0", that the
options' frame is named once, on entering it, and that the search window's
surname prompt is heard with its whole default answer. Prints what Orca
said at each stop; exits non-zero on the first difference. Ends what it
started.

Usage: orca_check.py PROGRAM FOLDER (the program's working folder, which
also receives orca.log and speech-dispatcher's log)
"""

import os
import pty
import re
import subprocess
import sys
import threading
import time
import tty

SURNAME = "Иванов"

# STOPS follows the card window's tab order from the surname round to it
# again: the name that Orca speaks first and the text of the box, None for a
# button. The amounts are those of a new card; the option group is one stop.
STOPS = [
    ("Записать", None),
    ("Имя", ""),
    ("Отчество", ""),
    ("Адрес абонента", ""),
    ("Номер абонента", ""),
    ("Поиск", None),
    ("Итого, к оплате", "1,3"),
    ("Повременная плата, к оплате", "0"),
    ("Абонентская плата, к оплате", "1,3"),
    ("Итого, погашено", "0"),
    ("Повременная плата, погашено", "0"),
    ("Абонентская плата, погашено", "0"),
    ("Итого, начислено", "1,3"),
    ("Повременная плата, начислено", "0"),
    ("Абонентская плата, начислено", "1,3"),
    ("Лицевой счет", ""),
    ("0%", None),
    ("Фамилия", SURNAME),
]
FRAME = "Льготы"

# TO_PROMPT leads from the surname to the search window's surname prompt,
# key by key, with the name that Orca speaks at each; the prompt's field
# holds its default answer.
TO_PROMPT = [("Tab", "Записать")] + [("Tab", name) for name in (
    "Имя", "Отчество", "Адрес абонента", "Номер абонента", "Поиск")] + [
    ("Return", "Очистка списка"), ("Tab", "По именам"),
    ("Up", "По фамилиям"), ("Tab", "Искать"), ("space", "Ввод фамилии")]
PROMPT_ANSWER = "Вулимов"

SPEECH = re.compile(r" - SPEECH OUTPUT: '(.*)' ?\{")


class Orca:
    """Orca with its debug log on a terminal of its own, which makes it
    write each line at once (to a file it writes in blocks): the log is
    read as it is written, and copied to `log_path`."""

    def __init__(self, log_path):
        self.spoken = []  # each utterance, in order
        self.last_line = time.monotonic()
        master, self._slave = pty.openpty()
        tty.setraw(self._slave)
        self._log = open(log_path, "wb")
        self._reader = threading.Thread(target=self._read, args=(master,))
        self._reader.start()
        self.process = subprocess.Popen(
            ["orca", "--debug-file", os.ttyname(self._slave)],
            stdout=subprocess.DEVNULL, stderr=subprocess.STDOUT)

    def _read(self, master):
        pending = b""
        while True:
            try:
                chunk = os.read(master, 65536)
            except OSError:  # every writer gone
                break
            if not chunk:
                break
            self._log.write(chunk)
            pending += chunk
            *lines, pending = pending.split(b"\n")
            for line in lines:
                found = SPEECH.search(line.decode("utf-8", "replace"))
                if found:
                    self.spoken.append(found.group(1))
            self.last_line = time.monotonic()
        os.close(master)

    def stop(self):
        # Orca says goodbye on SIGTERM, while speech-dispatcher still runs.
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self._slave)
        self._reader.join(10)
        self._log.close()


def fail(message):
    raise SystemExit("orca-check: " + message)


def wait_for(predicate, seconds, what):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if predicate():
            return
        time.sleep(0.05)
    fail("no %s after %d s" % (what, seconds))


def settle(orca):
    """Waits until Orca has written nothing for a moment: what it says of
    one event comes in one burst."""
    wait_for(lambda: time.monotonic() - orca.last_line > 0.4, 15,
             "pause in Orca's log")


def xdotool(*arguments):
    subprocess.run(["xdotool", *arguments], check=True)


def announces(name):
    """Whether an utterance is the announcement of the control `name`."""
    return lambda utterance: utterance in (name, name + ".") or \
        utterance.startswith(name + " ")


def press(orca, key, name):
    """Presses `key`; what Orca said of it, once it has announced `name`
    and then paused."""
    since = len(orca.spoken)
    xdotool("key", "--clearmodifiers", key)
    wait_for(lambda: any(map(announces(name), orca.spoken[since:])), 15,
             '"%s" at %s' % (name, key))
    settle(orca)
    return orca.spoken[since:]


def show(stop, heard):
    print("  %s: %s" % (stop, " ".join("'%s'" % u for u in heard)))


def check_stop(name, text, heard):
    """The whole `text` of a box spoken right after its name."""
    index = next(i for i, u in enumerate(heard) if announces(name)(u))
    value = heard[index + 1] if index + 1 < len(heard) else ""
    if text and value != text and not value.startswith(text + " "):
        fail('at "%s" Orca said "%s" where the whole "%s" was due' %
             (name, value, text))


def check(orca, folder):
    wait_for(lambda: any(map(announces("Фамилия"), orca.spoken)), 60,
             "announcement of the surname box")
    settle(orca)
    print("Orca in the card window, tab by tab:")
    show("start", orca.spoken)
    # Orca echoes each letter of the surname typed key by key.
    since = len(orca.spoken)
    xdotool("type", "--delay", "50", SURNAME)
    wait_for(lambda: len(orca.spoken) - since >= len(SURNAME), 15,
             "echo of the surname")
    settle(orca)
    show("typed", orca.spoken[since:])
    for name, text in STOPS:
        heard = press(orca, "Tab", name)
        show(name, heard)
        check_stop(name, text, heard)
        if name == "0%":
            if " ".join(heard).count(FRAME) != 1:
                fail('"%s" was not said once on entering it' % FRAME)
            # Orca names the frame only on entering it, not at another
            # option.
            for option, key in (("20%", "Down"), ("0%", "Up")):
                heard = press(orca, key, option)
                show(key, heard)
                if FRAME in " ".join(heard):
                    fail('"%s" was said again at %s' % (FRAME, key))
        if name == "Абонентская плата, начислено":
            # Emptied, the box is refilled with "0", wholly selected.
            heard = press(orca, "BackSpace", "0")
            show("BackSpace", heard)
    # The search opens its file before it asks.
    open(os.path.join(folder, "Blank.txt"), "w").close()
    for key, name in TO_PROMPT:
        heard = press(orca, key, name)
        show(name, heard)
    check_stop(name, PROMPT_ANSWER, heard)
    print("orca-check: every name and every whole text heard")


def main(program, folder):
    # Orca speaks through speech-dispatcher, started here, not on demand,
    # so that it ends with the check.
    speech = subprocess.Popen(
        ["speech-dispatcher", "--run-single", "--timeout", "0",
         "--log-dir", folder],
        stdout=subprocess.DEVNULL, stderr=subprocess.STDOUT)
    socket = os.path.join(os.environ["XDG_RUNTIME_DIR"], "speech-dispatcher",
                          "speechd.sock")
    orca = running = None
    try:
        wait_for(lambda: os.path.exists(socket), 30, "speech-dispatcher")
        orca = Orca(os.path.join(folder, "orca.log"))
        wait_for(lambda: orca.spoken or orca.process.poll() is not None, 60,
                 "first word from Orca")
        if orca.process.poll() is not None:
            fail("Orca ended at its start (is another Orca running?)")
        settle(orca)
        # The toolkit turns its bridge on when the desktop says a screen
        # reader runs; this says it at once.
        environment = dict(os.environ, QT_QPA_PLATFORM="xcb",
                           QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        with open(os.path.join(folder, "program.log"), "w") as log:
            running = subprocess.Popen([program], cwd=folder, env=environment,
                                       stderr=log)
        check(orca, folder)
    finally:
        # Orca stops first, since it may wait long on a program that has
        # gone.
        if orca:
            orca.stop()
        if running:
            running.kill()
            running.wait()
        speech.terminate()
        speech.wait()


main(*sys.argv[1:])
