#!/usr/bin/python3
"""Presses the zoom keys on the running program as a real keyboard sends them
(XTest, through xdotool), with a QWERTY and then an AZERTY layout, and checks
that each one rebuilds the window at the expected size. Starts its own X
server (Xvfb), so it runs on a machine without a display.

A key goes through the X keyboard map before Qt matches it: "+" arrives as
Ctrl+Shift++ from the main row, the AZERTY "0" as "à" or Shift+"à", which a
test that builds Qt key events by hand never sees.

Usage: zoom_keys.py PROGRAM
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

from xserver import fail, start_xvfb

NEEDED = ["Xvfb", "xdotool", "xwininfo", "setxkbmap"]
TITLE = "Spectrophotométrie"
# Window sizes at each zoom.
SIZES = {100: (800, 570), 125: (1000, 713), 150: (1200, 855)}
# (layout, key as xdotool names it, zoom expected after it)
STEPS = [
    ("us", "ctrl+plus", 125),          # "+" of the main row, shifted
    ("us", "ctrl+equal", 150),         # the same key unshifted
    ("us", "ctrl+minus", 125),
    ("us", "ctrl+0", 100),
    ("us", "ctrl+KP_Add", 125),        # keypad
    ("us", "ctrl+KP_0", 100),
    ("fr", "ctrl+plus", 125),          # AZERTY: "+" is Shift+"="
    ("fr", "ctrl+agrave", 100),        # AZERTY "0" key, unshifted: "à"
    ("fr", "ctrl+equal", 125),
    ("fr", "ctrl+shift+agrave", 100),  # AZERTY "0" key, shifted: "0"
    ("fr", "ctrl+KP_Add", 125),
    ("fr", "ctrl+minus", 100),         # AZERTY "-" on the "6" key
]


def windows():
    """The program's top-level windows: title -> (x, y, width, height)."""
    out = subprocess.run(["xwininfo", "-root", "-children"], capture_output=True,
                         text=True).stdout
    found = {}
    for line in out.splitlines():
        m = re.search(r'"([^"]*)": \("spectro" "spectro"\)\s+(\d+)x(\d+)\+(-?\d+)\+(-?\d+)', line)
        if m:
            found[m.group(1)] = (int(m.group(4)), int(m.group(5)),
                                 int(m.group(2)), int(m.group(3)))
    return found


def wait_for(predicate, what, timeout=90.0):
    end = time.time() + timeout
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.2)
    fail("délai dépassé : " + what)


def main():
    if len(sys.argv) != 2:
        fail("usage : zoom_keys.py PROGRAMME")
    program = os.path.abspath(sys.argv[1])
    for tool in NEEDED:
        if not shutil.which(tool):
            fail(tool + " manque (scripts/setup.sh installe xvfb, xdotool, x11-utils, "
                 "x11-xkb-utils)")
    procs = []
    data = tempfile.mkdtemp(prefix="spectro-zoom-")
    try:
        xvfb, display = start_xvfb("1600x1200x24")
        procs.append(xvfb)
        os.environ["DISPLAY"] = display
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", SPECTRO_DATA_DIR=data)
        env.pop("QT_SCALE_FACTOR", None)
        log = tempfile.TemporaryFile()
        app = subprocess.Popen([program], env=env, stdout=log, stderr=subprocess.STDOUT)
        procs.append(app)
        try:
            run(app)
        except SystemExit:
            state = "encore en marche" if app.poll() is None \
                else "terminé (code %d)" % app.returncode
            log.seek(0)
            print("programme : " + state, file=sys.stderr)
            sys.stderr.write(log.read().decode(errors="replace")[-4000:])
            raise
    finally:
        for p in reversed(procs):
            p.terminate()
            try:
                p.wait(timeout=5)
            except subprocess.TimeoutExpired:
                p.kill()
        shutil.rmtree(data, ignore_errors=True)
    print("Touches de zoom : conformes")


def run(app):
    wait_for(lambda: TITLE in windows(), "la fenêtre principale")
    # The first trace runs at start-up with the window disabled.
    wait_for(lambda: list(windows()) == [TITLE], "la fin du premier tracé")
    layout = None
    for lay, key, zoom in STEPS:
        if lay != layout:
            subprocess.run(["setxkbmap", lay], check=True)
            layout = lay
        x, y, w, h = windows()[TITLE]
        # A click on the window's bottom strip gives it the keyboard.
        subprocess.run(["xdotool", "mousemove", str(x + 20), str(y + h - 4), "click", "1"],
                       check=True)
        time.sleep(0.3)
        subprocess.run(["xdotool", "key", key], check=True)
        want = SIZES[zoom]
        wait_for(lambda: windows().get(TITLE, (0, 0, 0, 0))[2:] == want or None,
                       "%s (%s) : la fenêtre à %d %% (%dx%d), vue %r"
                       % (key, lay, zoom, want[0], want[1], windows().get(TITLE)),
                       timeout=30.0)
        if app.poll() is not None:
            fail("le programme s'est arrêté après " + key)
        print("%s %-18s -> %d %%" % (lay, key, zoom))
        time.sleep(0.5)  # the rebuilt window takes its state back once shown


if __name__ == "__main__":
    main()
