#!/usr/bin/python3
"""Reads the running program's accessible tree through the AT-SPI bus, as a
screen reader does. Starts its own X server (Xvfb), session bus and
accessibility bus, so it runs on a machine without a display.

Usage: atspi_tree.py PROGRAM
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

from xserver import fail, start_xvfb

NEEDED = ["Xvfb", "dbus-daemon", "/usr/libexec/at-spi-bus-launcher"]


def start_session_bus():
    proc = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    address = proc.stdout.readline().decode().strip()
    if not address:
        fail("le bus de session D-Bus n'a pas démarré")
    return proc, address


def wait_for_accessibility_bus(session_address, timeout=60.0):
    """Waits until the launcher answers on the session bus and the registry
    runs on the accessibility bus, without starting either through D-Bus
    activation: a request made before the launcher owns its name would start
    a second launcher, and the program registers only once."""
    from gi.repository import Gio, GLib
    flags = Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | \
        Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION
    session = Gio.DBusConnection.new_for_address_sync(session_address, flags, None, None)
    end = time.time() + timeout
    a11y = None
    while a11y is None:
        try:
            reply = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                                      "GetAddress", None, GLib.VariantType("(s)"),
                                      Gio.DBusCallFlags.NO_AUTO_START, 2000, None)
            a11y = reply.unpack()[0] or None
        except GLib.Error:
            pass
        if a11y is None:
            if time.time() > end:
                fail("délai dépassé : le bus d'accessibilité")
            time.sleep(0.1)
    bus = Gio.DBusConnection.new_for_address_sync(a11y, flags, None, None)
    try:
        bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                      "StartServiceByName", GLib.Variant("(su)", ("org.a11y.atspi.Registry", 0)),
                      GLib.VariantType("(u)"), Gio.DBusCallFlags.NONE,
                      int(timeout * 1000), None)
    except GLib.Error as e:
        fail("le registre d'accessibilité n'a pas démarré : " + e.message)
    bus.close_sync(None)
    session.close_sync(None)


def pump():
    from gi.repository import GLib
    ctx = GLib.MainContext.default()
    while ctx.iteration(False):
        pass


def wait_for(predicate, what, timeout=60.0):
    end = time.time() + timeout
    while time.time() < end:
        pump()
        try:
            value = predicate()
        except Exception:  # the tree changes while it is read
            value = None
        if value:
            return value
        time.sleep(0.1)
    fail("délai dépassé : " + what)


def main():
    if len(sys.argv) != 2:
        fail("usage : atspi_tree.py PROGRAMME")
    program = os.path.abspath(sys.argv[1])
    for tool in NEEDED:
        if not shutil.which(tool) and not os.path.exists(tool):
            fail(tool + " manque (scripts/setup.sh installe xvfb, dbus-daemon, at-spi2-core)")

    procs = []
    try:
        xvfb, display = start_xvfb()
        procs.append(xvfb)
        bus, address = start_session_bus()
        procs.append(bus)
        os.environ["DISPLAY"] = display
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = address
        os.environ.pop("AT_SPI_BUS_ADDRESS", None)
        launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        procs.append(launcher)
        wait_for_accessibility_bus(address)
        import pyatspi  # reads the buses from the environment set above

        data = tempfile.mkdtemp(prefix="spectro-atspi-")
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   SPECTRO_DATA_DIR=data, QT_ACCESSIBILITY="1")
        env.pop("QT_SCALE_FACTOR", None)
        log = tempfile.TemporaryFile()
        app_proc = subprocess.Popen([program], env=env, stdout=log, stderr=subprocess.STDOUT)
        procs.append(app_proc)
        try:
            check(pyatspi, app_proc)
        except SystemExit:
            state = "encore en marche" if app_proc.poll() is None \
                else "terminé (code %d)" % app_proc.returncode
            log.seek(0)
            print("programme : " + state, file=sys.stderr)
            sys.stderr.write(log.read().decode(errors="replace")[-4000:])
            raise
        shutil.rmtree(data, ignore_errors=True)
    finally:
        for p in reversed(procs):
            p.terminate()
            try:
                p.wait(timeout=5)
            except subprocess.TimeoutExpired:
                p.kill()
    print("Arbre accessible : conforme")


def find_app(pyatspi, pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        a = desktop.getChildAtIndex(i)
        if a is not None and a.get_process_id() == pid:
            return a
    return None


def descendants(node):
    out = []
    stack = [node]
    while stack:
        n = stack.pop()
        out.append(n)
        for i in range(n.childCount - 1, -1, -1):
            c = n.getChildAtIndex(i)
            if c is not None:
                stack.append(c)
    return out


def by_name(nodes, role, name):
    for n in nodes:
        if n.getRoleName() == role and n.name == name:
            return n
    return None


def check(pyatspi, app_proc):
    app = wait_for(lambda: find_app(pyatspi, app_proc.pid), "le programme sur le bus")
    frames = wait_for(lambda: [c for c in (app.getChildAtIndex(i) for i in range(app.childCount))
                               if c is not None and c.getRoleName() == "frame"],
                      "la fenêtre principale")
    main = frames[0]
    # The first trace runs at start-up: its window's "Terminer" is a button.
    terminer = wait_for(lambda: by_name(descendants(app), "push button", "Terminer"),
                        "le bouton Terminer de la fenêtre de tracé")
    action = terminer.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names and "press" not in names:
        fail("« Terminer » n'a pas d'action Appuyer : %r" % names)
    action.doAction(names.index("Press") if "Press" in names else names.index("press"))
    wait_for(lambda: not terminer.getState().contains(pyatspi.STATE_SHOWING),
             "la fermeture de la fenêtre de tracé")

    nodes = descendants(main)
    # The controls of the help line's table, with the role a reader announces.
    expected = [
        ("frame", "Spectrophotométrie"),
        ("push button", "Ouvrir"), ("push button", "Enregistrer"), ("push button", "Copier"),
        ("push button", "Imprimer"), ("push button", "Calculatrice"), ("push button", "Aide"),
        ("push button", "Fermer"), ("push button", "Tracer"),
        ("push button", "Supprimer la dernière courbe"), ("push button", "Effacer le graphe"),
        ("panel", "Solution"), ("panel", "Spectrophotomètre"), ("panel", "Graphe"),
        ("text", "Courbes tracées"), ("push button", "Exercices"),
        ("image", "Schéma du spectrophotomètre"), ("chart", "Graphe"),
        ("page tab list", "Réglages"),
        ("page tab", "Solution"), ("page tab", "Spectrophotomètre"), ("page tab", "Graphe"),
        ("scroll bar", "Longueur d'onde en nanomètres"),
        ("spin button", "Épaisseur de la cuve"),
        ("spin button", "Limite du graphe de concentration"),
    ]
    for role, name in expected:
        node = by_name(nodes, role, name)
        if node is None:
            found = sorted({(n.getRoleName(), n.name) for n in nodes if n.name == name})
            fail("pas de %s « %s » (trouvé : %r)" % (role, name, found))
    for role, name in expected:
        if role == "push button" and not by_name(nodes, role, name).description:
            fail("le bouton « %s » n'a pas de description" % name)
    # Every button and tab of the window has a name.
    for n in nodes:
        if n.getRoleName() in ("push button", "page tab", "radio button", "check box") \
                and not n.name.strip():
            parent = n.parent.name if n.parent is not None else ""
            if parent not in ("Épaisseur de la cuve", "Limite du graphe de concentration"):
                fail("un contrôle %s sans nom dans « %s »" % (n.getRoleName(), parent))

    tablist = by_name(nodes, "page tab list", "Réglages")
    tabs = [tablist.getChildAtIndex(i) for i in range(3)]
    if [t.name for t in tabs] != ["Solution", "Spectrophotomètre", "Graphe"]:
        fail("onglets : %r" % [t.name for t in tabs])
    selected = [t.getState().contains(pyatspi.STATE_SELECTED) for t in tabs]
    if selected != [False, True, False]:
        fail("après un tracé, l'onglet Spectrophotomètre doit être choisi : %r" % selected)

    chart = by_name(nodes, "chart", "Graphe")
    if "1 courbe" not in chart.description or "longueur d'onde" not in chart.description:
        fail("description du graphe : %r" % chart.description)

    # The schematic's description follows the wavelength.
    schema = by_name(nodes, "image", "Schéma du spectrophotomètre")
    before = schema.description
    if not before.startswith("Absorbance : A = ") or " nm ; cuve de 1 cm" not in before:
        fail("description du schéma au départ : %r" % before)
    # The change is announced: a reader hears it without moving to the schematic.
    heard = []

    def listener(event):
        if event.source is not None and event.source.name == schema.name:
            heard.append(event.source.description)

    pyatspi.Registry.registerEventListener(listener,
                                           "object:property-change:accessible-description")
    scroll = by_name(nodes, "scroll bar", "Longueur d'onde en nanomètres")
    target = 620 if "620 nm" not in before else 450
    scroll.queryValue().currentValue = float(target)
    after = wait_for(lambda: schema.description
                     if "%d nm" % target in schema.description else None,
                     "la nouvelle description du schéma")
    if after == before or not after.startswith("Absorbance : "):
        fail("description du schéma après le changement : %r" % after)
    wait_for(lambda: any("%d nm" % target in h for h in heard),
             "l'annonce du changement de lecture")
    print("schéma :", before, "->", after)


if __name__ == "__main__":
    main()
