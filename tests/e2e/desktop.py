"""Private desktops, X11 (Xvfb) and Wayland (weston), on a D-Bus session, for driving the
program's GTK dialog."""

import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time

from Xlib import X, display as xdisplay, protocol


def ensure_dbus_session():
    """Re-runs this script inside its own D-Bus session (AT-SPI lives on it)."""
    if os.environ.get("ZPRAVA_E2E_DBUS") != "1":
        os.environ["ZPRAVA_E2E_DBUS"] = "1"
        os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable] + sys.argv)


class VirtualDesktop:
    """Xvfb on a free display number; one client stays connected so it never resets."""

    def __init__(self, width=1280, height=1024):
        self.width, self.height = width, height
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as f:
            self.name = ":" + f.readline().strip()
        self.x = xdisplay.Display(self.name)
        # Every desktop session has a runtime folder of its own.
        self.runtime_dir = tempfile.mkdtemp(prefix="zprava-x11-")
        os.chmod(self.runtime_dir, 0o700)

    def kill(self):
        self.server.kill()
        self.server.wait()

    def close(self):
        try:
            self.x.close()
        except Exception:  # the server may be gone already
            pass
        self.server.terminate()
        self.server.wait()
        shutil.rmtree(self.runtime_dir, ignore_errors=True)

    def environment(self):
        """What a program of this desktop's session has: the display and the runtime folder."""
        return {"DISPLAY": self.name, "XDG_RUNTIME_DIR": self.runtime_dir}

    def xdotool(self, *args, timeout=10):
        return subprocess.run(["xdotool", *args], env={**os.environ, "DISPLAY": self.name},
                              capture_output=True, text=True, timeout=timeout)

    def wait_for_window(self, name, timeout=20.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = self.xdotool("search", "--onlyvisible", "--name", f"^{name}$").stdout.split()
            if found:
                return int(found[0])
            time.sleep(0.05)
        raise AssertionError(f"no window named {name!r} appeared")

    def press(self, window, key):
        self.xdotool("windowfocus", "--sync", str(window))
        self.xdotool("key", key)

    def clipboard(self):
        """The text on the clipboard, as another program pastes it."""
        paste = ("import gi; gi.require_version('Gtk', '3.0'); from gi.repository import Gtk, Gdk; "
                 "print(Gtk.Clipboard.get(Gdk.SELECTION_CLIPBOARD).wait_for_text() or '', end='')")
        return subprocess.run(["/usr/bin/python3", "-c", paste], env={**os.environ, "DISPLAY": self.name},
                              capture_output=True, text=True, timeout=10, check=True).stdout

    def close_window(self, window):
        """What a window manager's close button does: WM_DELETE_WINDOW."""
        target = self.x.create_resource_object("window", window)
        protocols = self.x.intern_atom("WM_PROTOCOLS")
        delete = self.x.intern_atom("WM_DELETE_WINDOW")
        event = protocol.event.ClientMessage(window=target, client_type=protocols,
                                             data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        target.send_event(event, event_mask=0)
        self.x.flush()

    def geometry(self, window):
        g = self.x.create_resource_object("window", window).get_geometry()
        origin = self.x.create_resource_object("window", window).translate_coords(
            self.x.screen().root, 0, 0)
        return -origin.x, -origin.y, g.width, g.height

    def screenshot(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        subprocess.run(["import", "-display", self.name, "-window", "root", path], check=True,
                       timeout=30)


class WaylandDesktop:
    """weston's headless backend with its own runtime folder and socket. It has no seat (no
    keyboard or pointer): dialogs are read and dismissed through AT-SPI."""

    def __init__(self, width=1280, height=1024, scale=1):
        self.width, self.height = width, height
        self.runtime_dir = tempfile.mkdtemp(prefix="zprava-wayland-")
        os.chmod(self.runtime_dir, 0o700)
        self.socket = "zprava-test"
        # --debug lets weston-screenshooter take screenshots; pixman renders for real.
        self.server = subprocess.Popen(
            ["weston", "--backend=headless-backend.so", f"--socket={self.socket}",
             f"--width={width}", f"--height={height}", f"--scale={scale}", "--use-pixman",
             "--idle-time=0", "--debug"],
            env={**os.environ, "XDG_RUNTIME_DIR": self.runtime_dir},
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 20
        while not os.path.exists(os.path.join(self.runtime_dir, self.socket)):
            if time.monotonic() > deadline or self.server.poll() is not None:
                raise AssertionError("weston did not start")
            time.sleep(0.05)
        time.sleep(1.0)  # for its shell to draw the desktop, lest screenshots come out black

    def environment(self):
        return {"WAYLAND_DISPLAY": self.socket, "XDG_RUNTIME_DIR": self.runtime_dir}

    def kill(self):
        self.server.kill()
        self.server.wait()

    def close(self):
        if self.server.poll() is None:
            self.server.terminate()
            self.server.wait()
        shutil.rmtree(self.runtime_dir, ignore_errors=True)

    def screenshot(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with tempfile.TemporaryDirectory() as folder:
            env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
            subprocess.run(["weston-screenshooter"], cwd=folder, env={**env, **self.environment()},
                           check=True, timeout=30, capture_output=True)
            shutil.move(glob.glob(os.path.join(folder, "*.png"))[0], path)
