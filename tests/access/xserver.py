"""What the tests of the running program under their own X server share."""
import os
import subprocess
import sys


def fail(msg):
    print("ÉCHEC : " + msg, file=sys.stderr)
    sys.exit(1)


def start_xvfb(size="1280x1024x24"):
    """Starts Xvfb on a free display; returns the process and the display."""
    r, w = os.pipe()
    # -noreset: by default the server resets when its last client leaves
    # (a launcher, once it has published its bus's address; a keyboard tool
    # between two keys), and a program connecting at that moment is refused
    # its display.
    proc = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", size,
                             "-nolisten", "tcp", "-noreset"], pass_fds=[w],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(w)
    data = b""
    with os.fdopen(r, "rb") as f:
        while not data.endswith(b"\n"):
            chunk = f.read(1)
            if not chunk:
                break
            data += chunk
    if not data.strip():
        fail("Xvfb n'a pas démarré")
    return proc, ":" + data.decode().strip()
