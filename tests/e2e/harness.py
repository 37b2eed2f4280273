"""Shared helpers for running the built zprava binary end to end."""

import datetime
import locale
import os
import shutil
import subprocess
import tempfile

CAPTION = "Tibrel"
NOT_FOUND = "Soubor 'Zprava.ini' nenalezen."


def header_dates(locale_name):
    """The header dates the program may print while the test runs (around midnight: two)."""
    saved = locale.setlocale(locale.LC_TIME)
    locale.setlocale(locale.LC_TIME, locale_name)
    try:
        today = datetime.date.today()
        dates = []
        for day in (today, today + datetime.timedelta(days=1)):
            text = day.strftime("%A ") + str(day.day) + day.strftime(".%B %Y")
            dates.append(text[:1].upper() + text[1:])
        return dates
    finally:
        locale.setlocale(locale.LC_TIME, saved)


class NoticeFolder:
    """A temporary folder to launch the program in, optionally holding a notice."""

    def __init__(self, notice=None):
        self.path = tempfile.mkdtemp(prefix="zprava-e2e-")
        if notice is not None:
            with open(os.path.join(self.path, "Zprava.ini"), "wb") as f:
                f.write(notice if isinstance(notice, bytes) else notice.encode("utf-8"))

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        shutil.rmtree(self.path, ignore_errors=True)


def mem_available():
    """MemAvailable from /proc/meminfo, in bytes: what the program budgets half of."""
    with open("/proc/meminfo") as f:
        for line in f:
            if line.startswith("MemAvailable:"):
                return int(line.split()[1]) * 1024
    raise AssertionError("/proc/meminfo has no MemAvailable")


def base_environment(**overrides):
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "LANG", "LANGUAGE") and not k.startswith("LC_")}
    env.update(overrides)
    return env


def command(binary):
    """The program, under the wrapper named by ZPRAVA_E2E_WRAPPER (valgrind, say) if any."""
    return os.environ.get("ZPRAVA_E2E_WRAPPER", "").split() + [binary]


def wrapped():
    return bool(os.environ.get("ZPRAVA_E2E_WRAPPER"))


def sanitized():
    return os.environ.get("ZPRAVA_SANITIZED") == "1"


def run(binary, folder, env, stdin=subprocess.DEVNULL, timeout=20, **kwargs):
    return subprocess.run(command(binary), cwd=folder, env=env, stdin=stdin, capture_output=True,
                          timeout=timeout, **kwargs)
