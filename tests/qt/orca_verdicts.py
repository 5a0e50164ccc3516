#!/usr/bin/env python3
"""Plays the quiz with the keyboard under the Orca screen reader and fails
unless Orca's debug log shows each verdict spoken right after its check, and
no old verdict once the lists are dealt again. Usage: orca_verdicts.py PROGRAM

All runs privately: Xvfb, a D-Bus session bus (which starts the AT-SPI bus),
Orca speaking to its debug log alone, the program. Every wait is bounded, and
all that is started here ends with the script's process group. Orca is the
one found on the PATH, run by the Python that its launcher names, and speaks
English whatever the desktop's language: the words awaited below are its
English ones."""
import os, re, select, shutil, signal, subprocess, sys, tempfile, time

# Orca's own start-up, less its launcher's refusal to run beside any other
# Orca of the same user on the machine, which it would have to kill.
ORCA = """
import sys
from orca import debug
debug.debugLevel = debug.LEVEL_ALL
debug.debugFile = open(sys.argv[1], "w", buffering=1)  # read while Orca runs
from orca import orca
orca.getSettingsManager().activate(sys.argv[2], {"speechServerFactory": "none", "enableSound": False})
sys.exit(orca.main())
"""


started = []


def start(*args, **kwargs):
    started.append(subprocess.Popen(*args, **kwargs))
    return started[-1]


def orca_python():
    """The Python that the orca launcher on the PATH runs with, which is the
    one that has Orca's modules, or None."""
    launcher = shutil.which("orca")
    if not launcher:
        return None
    with open(launcher, "rb") as text:
        line = text.readline().decode(errors="replace")
    words = line[2:].split() if line.startswith("#!") else []
    if words and os.path.basename(words[0]) == "env":
        words = words[1:]
    return shutil.which(words[0]) if words else None


def first_line(pipe, what):
    if not select.select([pipe], [], [], 30)[0]:
        sys.exit(f"no {what} after 30 s")
    return pipe.readline().strip()


def spoken(log):
    try:
        with open(log, encoding="utf-8", errors="replace") as text:
            lines = text.read().replace("\n" + " " * 18, "\n")  # Orca indents a message's further lines
    except FileNotFoundError:
        return []
    entries = re.split(r"\n(?=\d\d:\d\d:\d\d\.\d+ - )", lines)
    return [entry.split("SPEECH OUTPUT: '", 1)[1] for entry in entries if "SPEECH OUTPUT: '" in entry]


def play(program, python, work):
    env = {k: v for k, v in os.environ.items()
           if k not in ("WAYLAND_DISPLAY", "AT_SPI_BUS_ADDRESS", "LANGUAGE") and not k.startswith("LC_")}
    env.update(LANG="C.UTF-8", LC_ALL="C.UTF-8",
               HOME=work, XDG_RUNTIME_DIR=work, XDG_CONFIG_HOME=f"{work}/config", XDG_DATA_HOME=f"{work}/data",
               XDG_CACHE_HOME=f"{work}/cache", GSETTINGS_BACKEND="memory", QT_QPA_PLATFORM="xcb",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    read, write = os.pipe()
    start(["Xvfb", "-displayfd", str(write), "-screen", "0", "800x600x24", "-nolisten", "tcp"],
          pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    env["DISPLAY"] = ":" + first_line(os.fdopen(read), "X display")
    bus = start(["dbus-daemon", "--session", "--nofork", "--print-address=1"], env=env,
                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    env["DBUS_SESSION_BUS_ADDRESS"] = first_line(bus.stdout, "D-Bus session bus")
    log, heard = f"{work}/orca.log", 0

    def expect(words, seconds=30):
        nonlocal heard
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            said = spoken(log)
            found = [i for i in range(heard, len(said)) if said[i].startswith(words)]
            if found:
                heard = found[0] + 1
                return
            time.sleep(0.1)
        sys.exit(f"Orca did not say {words!r} within {seconds} s; it said:\n" + "\n".join(spoken(log)[-12:]))

    def press(key, *words):
        subprocess.run(["xdotool", "key", key], env=env, timeout=10, check=True)
        for each in words:
            expect(each)

    start([python, "-c", ORCA, log, f"{work}/orca"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    expect("Screen reader on", 60)
    start([program], env=env)
    subprocess.run(["xdotool", "search", "--sync", "--name", "ханове", "windowfocus", "--sync"], env=env,
                   timeout=60, check=True, stdout=subprocess.DEVNULL)
    expect("Резултат", 60)  # the verdict box has the focus
    press("Tab", "Аспарух")
    press("space", "selected")
    press("Tab", "681 - 701")
    press("Home", "Вярно Аспарух период 681 - 701\nОсновател на Дунавска България")
    press("shift+Tab", "Винех")
    press("Home")
    press("Tab", "701 - 718")
    press("Home", "Грешно Винех период 701 - 718")
    press("Tab", "Чисти")
    press("space")
    press("shift+Tab", "List with 16 items", "681 - 701")
    dealt = heard
    # Orca speaks in the order of events: whatever stale the dealt list set
    # off comes before the button that the next Tab reaches.
    press("Tab", "Чисти")
    stale = [words for words in spoken(log)[dealt:heard] if words.startswith(("Вярно", "Грешно"))]
    if stale:
        sys.exit(f"an old verdict was read out after the lists were dealt again: {stale}")


def main():
    program = os.path.abspath(sys.argv[1])
    python = orca_python()
    missing = [tool for tool in ("Xvfb", "dbus-daemon", "xdotool") if not shutil.which(tool)]
    if not python or subprocess.run([python, "-c", "import orca.debug"], stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL, timeout=60).returncode != 0:
        missing.append("orca")
    if missing:
        print("skipped, missing: " + ", ".join(missing) + " (scripts/deps.sh installs them)")
        sys.exit(77)
    os.setpgrp()
    signal.signal(signal.SIGALRM, lambda *_: sys.exit("the play took over 200 s"))
    signal.alarm(200)  # within CTest's time limit, so that the group is still ended here
    work = tempfile.mkdtemp(prefix="drelvan-orca-")
    passed = False
    try:
        play(program, python, work)
        passed = True
        print("Orca spoke both verdicts and nothing stale")
    finally:
        signal.signal(signal.SIGTERM, signal.SIG_IGN)
        os.killpg(0, signal.SIGTERM)
        for process in started:
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
        if passed:
            shutil.rmtree(work, ignore_errors=True)
        else:
            print(f"Orca's debug log: {work}/orca.log", file=sys.stderr)


if __name__ == "__main__":
    main()
