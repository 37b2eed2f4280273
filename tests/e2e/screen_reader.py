"""A desktop with a screen reader: Xvfb, openbox, the AT-SPI bus and Orca, its speech silenced
and read back from Orca's debug log."""

import os
import re
import shutil
import subprocess
import tempfile
import time

from desktop import VirtualDesktop

# Orca as installed, its debug log written through as each line comes rather than when a block
# fills, so that what it says can be read while it says it.
ORCA = """
import runpy, sys
from orca import debug
println = debug.println
def written_through(*args, **kwargs):
    println(*args, **kwargs)
    if debug.debugFile:
        debug.debugFile.flush()
debug.println = written_through
sys.argv = ["orca"] + sys.argv[1:]
runpy.run_path("/usr/bin/orca", run_name="__main__")
"""

# Orca writes each utterance to its debug log, with one voice or (flat review) a list of them;
# in say all, only what it hands speech-dispatcher. A line after the first is indented.
UTTERANCE = re.compile(r"SPEECH OUTPUT: '(.*?)' ?\[?\{'established'", re.S)
CONTINUED = re.compile(r"\n {18}")
SAID_ALL = re.compile(r"SPEECH DISPATCHER: Speaking '<speak>(.*?)</speak>'", re.S)
MARKUP = re.compile(r"<[^>]*>")
# Orca's echo of a key pressed ("left control ", "tab "), told apart by its closing blank.
KEY_ECHO = re.compile(r"^[a-z ]+ $")


def without_markup(ssml):
    text = MARKUP.sub("", ssml)
    return text.replace("&lt;", "<").replace("&gt;", ">").replace("&apos;", "'") \
        .replace("&quot;", '"').replace("&amp;", "&")


class SpokenDesktop:
    """Orca 43 on its own X display, speaking to a null sound device, as in a desktop session
    with a window manager, so that a dialog is activated and read as a user hears it."""

    def __init__(self):
        self.desktop = VirtualDesktop()
        self.home = tempfile.mkdtemp(prefix="zprava-orca-")
        self.services = []
        try:
            self.start()
        except BaseException:
            self.close()
            raise

    def start(self):
        self.log = os.path.join(self.home, "orca.log")
        # Without a sound card speech-dispatcher would block Orca at its first utterance.
        speechd = os.path.join(self.home, ".config", "speech-dispatcher")
        os.makedirs(speechd)
        with open(os.path.join(speechd, "speechd.conf"), "w") as f:
            f.write('AudioOutputMethod "alsa"\n')
        with open(os.path.join(self.home, ".asoundrc"), "w") as f:
            f.write("pcm.!default { type null }\n")
        self.env = {**os.environ, **self.desktop.environment(), "HOME": self.home,
                    "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
                    "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
                    "XDG_CACHE_HOME": os.path.join(self.home, ".cache")}
        self.env.pop("NO_AT_BRIDGE", None)
        subprocess.run(["gsettings", "set", "org.gnome.desktop.interface",
                        "toolkit-accessibility", "true"], env=self.env, check=True, timeout=30)
        self.services += [
            subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                             env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL),
            subprocess.Popen(["openbox"], env=self.env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)]
        self.wait_for(self.has_accessibility_bus, 30, "the accessibility bus did not start")
        # A dialog mapped before openbox takes the screen loses the focus to it, and the keys
        # pressed for it go nowhere.
        self.wait_for(self.has_window_manager, 30, "openbox did not start")
        # Orca speaks English; the programs it reads run in the user's locale. It looks for
        # other Orcas of the user with pgrep, to refuse to start beside them; this one has a
        # desktop and a session bus of its own, so it is shown none, and runs beside any other.
        alone = os.path.join(self.home, "alone")
        os.makedirs(alone)
        with open(os.path.join(alone, "pgrep"), "w") as f:
            f.write("#!/bin/sh\nexit 1\n")
        os.chmod(os.path.join(alone, "pgrep"), 0o755)
        orca_env = {**self.env, "LANG": "C.UTF-8", "LC_ALL": "C.UTF-8",
                    "PATH": alone + os.pathsep + self.env.get("PATH", "")}
        orca = subprocess.Popen(["/usr/bin/python3", "-c", ORCA, f"--debug-file={self.log}"],
                                env=orca_env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.services.append(orca)
        self.wait_for(lambda: orca.poll() is None and "Screen reader on." in self.utterances(0),
                      60, "Orca did not start", give_up=lambda: orca.poll() is not None)

    def has_accessibility_bus(self):
        return subprocess.run(
            ["gdbus", "call", "--session", "--dest", "org.a11y.Bus", "--object-path",
             "/org/a11y/bus", "--method", "org.a11y.Bus.GetAddress"], env=self.env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30).returncode == 0

    def has_window_manager(self):
        """Whether a window manager has taken the screen: it names its check window on the root."""
        return "window id" in subprocess.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env, capture_output=True,
            text=True, timeout=30).stdout

    def close(self):
        if self.desktop is None:
            return
        for service in reversed(self.services):
            service.terminate()
            try:
                service.wait(timeout=10)
            except subprocess.TimeoutExpired:
                service.kill()
                service.wait()
        self.desktop.close()
        # Kept beside the screenshots, for a failure to be read from.
        kept = os.environ.get("ZPRAVA_SCREENSHOTS")
        if kept and os.path.exists(self.log):
            os.makedirs(kept, exist_ok=True)
            shutil.copy(self.log, os.path.join(kept, "orca.log"))
        shutil.rmtree(self.home, ignore_errors=True)
        self.desktop = None

    @staticmethod
    def wait_for(condition, timeout, message, give_up=lambda: False):
        deadline = time.monotonic() + timeout
        while not condition():
            if time.monotonic() > deadline or give_up():
                raise AssertionError(message)
            time.sleep(0.05)

    def mark(self):
        """Where the log stands now: speech after it is what follows."""
        return os.path.getsize(self.log) if os.path.exists(self.log) else 0

    def read_from(self, mark):
        if not os.path.exists(self.log):
            return ""
        with open(self.log, "rb") as f:
            f.seek(mark)
            return f.read().decode("utf-8", "replace")

    def utterances(self, mark):
        """What Orca said after `mark`, less its echo of the keys pressed."""
        said = [CONTINUED.sub("\n", m.group(1)).rstrip("\n")
                for m in UTTERANCE.finditer(self.read_from(mark))]
        return [u for u in said if not KEY_ECHO.match(u)]

    def said_all(self, mark):
        """What Orca handed speech-dispatcher after `mark`: in say all, the only record."""
        said = [without_markup(m.group(1)) for m in SAID_ALL.finditer(self.read_from(mark))]
        return [u for u in said if not KEY_ECHO.match(u)]

    def settle(self, mark, quiet=1.0, timeout=10.0):
        """Waits until Orca has said something after `mark` and then nothing for `quiet` s."""
        deadline = time.monotonic() + timeout
        size, last_change = self.mark(), time.monotonic()
        while time.monotonic() < deadline:
            time.sleep(0.1)
            now = self.mark()
            if now != size:
                size, last_change = now, time.monotonic()
            elif self.utterances(mark) and time.monotonic() - last_change >= quiet:
                break
        return self.utterances(mark)

    def press(self, key):
        """Presses a key as a person does; a modifier is held down around the key, so that Orca
        sees it with the key whatever the machine's load."""
        mark = self.mark()
        if "+" in key:
            modifier, key = key.rsplit("+", 1)
            self.desktop.xdotool("keydown", modifier)
            self.desktop.xdotool("key", key)
            time.sleep(0.1)
            self.desktop.xdotool("keyup", modifier)
        else:
            self.desktop.xdotool("key", key)
        return mark

    def launch(self, argv, cwd, env):
        """Starts a program on this desktop and returns it with the log's mark before it."""
        mark = self.mark()
        process = subprocess.Popen(argv, cwd=cwd, env={**self.env, **env},
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
        return process, mark
