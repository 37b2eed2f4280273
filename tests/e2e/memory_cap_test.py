"""The program in a memory control group whose page cache has filled its cap, as on a
container desktop or a terminal server that gives each user a memory limit after the
user has read and written files: a notice that fits is still shown in full."""

import os
import subprocess
import sys
import tempfile
import time
import unittest

from harness import NoticeFolder, base_environment, command

BINARY = None
CAP = 300 * 1024 * 1024
CACHE_FILE_BYTES = 1024 * 1024 * 1024


def own_group(controller):
    """This process's path in the hierarchy named `controller` ("" for the unified one)."""
    with open("/proc/self/cgroup") as f:
        for line in f:
            _, controllers, path = line.rstrip("\n").split(":", 2)
            if (controllers == controller if not controller else
                    controller in controllers.split(",")):
                return path
    return None


class ControlGroup:
    """A child memory group capped at `cap`, in whichever hierarchy can be written here."""

    def __init__(self, cap):
        self.folder = None
        for make in (self._separate, self._unified):
            try:
                self.folder = make(cap)
                return
            except OSError as error:
                self.reason = f"{make.__name__[1:]} hierarchy: {error}"

    def _separate(self, cap):
        path = own_group("memory")
        if path is None:
            raise OSError("no memory hierarchy of its own")
        folder = self._make(f"/sys/fs/cgroup/memory{path}")
        self._write(folder, "memory.limit_in_bytes", cap)
        return folder

    def _unified(self, cap):
        if not os.path.exists("/sys/fs/cgroup/cgroup.controllers"):
            raise OSError("no unified hierarchy at /sys/fs/cgroup")
        # Beside this process's own group where the controller reaches it, else at the top:
        # a group that holds processes cannot hand the controller down.
        path = own_group("") or "/"
        for parent in dict.fromkeys([f"/sys/fs/cgroup{path}".rstrip("/"), "/sys/fs/cgroup"]):
            with open(f"{parent}/cgroup.subtree_control") as f:
                if "memory" not in f.read().split():
                    continue
            folder = self._make(parent)
            self._write(folder, "memory.max", cap)
            return folder
        raise OSError("the memory controller is not handed down to a group to make")

    def _make(self, parent):
        folder = os.path.join(parent, f"zprava-test-{os.getpid()}")
        os.mkdir(folder)
        self.folder = folder
        return folder

    def _write(self, folder, name, value):
        try:
            with open(os.path.join(folder, name), "w") as f:
                f.write(str(value))
        except OSError:
            self.remove()
            raise

    def run(self, args, **kwargs):
        """`args` run inside the group: the child joins it before it execs."""
        procs = os.path.join(self.folder, "cgroup.procs")

        def join():
            with open(procs, "w") as f:
                f.write(str(os.getpid()))

        return subprocess.run(args, preexec_fn=join, **kwargs)

    def usage(self):
        for name in ("memory.usage_in_bytes", "memory.current"):
            try:
                with open(os.path.join(self.folder, name)) as f:
                    return int(f.read())
            except OSError:
                pass
        return 0

    def remove(self):
        if self.folder:
            for _ in range(50):
                try:
                    os.rmdir(self.folder)
                    break
                except OSError:  # a process that has ended may take a moment to leave
                    time.sleep(0.1)
            self.folder = None


def notice_of(size):
    """Lines of Czech text adding up to about `size` bytes, and the body it shows."""
    line = "Údržba serveru začne ve 22:00; prosíme uložte práci."
    count = max(1, size // (len(line.encode()) + 2))
    lines = [f"{n:07d} {line}" for n in range(count)]
    return "\r\n".join(lines), "\n".join(line.replace(";", ",") for line in lines)


class NoticeInAFullGroup(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.group = ControlGroup(CAP)
        if not cls.group.folder:
            raise unittest.SkipTest("no memory controller can be written here "
                                    f"({cls.group.reason}): the capped group is not tried")
        # Written on disk, not in /dev/shm: page cache the kernel may drop.
        cls.scratch = tempfile.mkdtemp(prefix="zprava-cache-", dir="/var/tmp")
        cls.group.run(["dd", "if=/dev/zero", f"of={cls.scratch}/fill", "bs=1M",
                       f"count={CACHE_FILE_BYTES >> 20}", "status=none"], check=True)
        cls.fill_cache()
        print(f"group {cls.group.folder}: {cls.group.usage() >> 20} MiB in use of "
              f"{CAP >> 20} MiB after writing {CACHE_FILE_BYTES >> 20} MiB", file=sys.stderr)

    @classmethod
    def fill_cache(cls):
        """The file read again inside the group: what a notice before took is cache again."""
        cls.group.run(["cat", f"{cls.scratch}/fill"], stdout=subprocess.DEVNULL, check=True)

    @classmethod
    def tearDownClass(cls):
        if cls.group.folder:
            subprocess.run(["rm", "-rf", cls.scratch], check=False)
            cls.group.remove()

    def run_in_group(self, folder):
        return self.group.run(command(BINARY), cwd=folder.path,
                              env=base_environment(LC_ALL="C.UTF-8"), stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=60)

    def test_a_notice_larger_than_the_cap_ends_silently(self):
        with NoticeFolder() as folder:
            with open(os.path.join(folder.path, "Zprava.ini"), "wb") as f:
                f.truncate(CAP + CAP // 2)  # sparse: the disk holds none of it
            result = self.run_in_group(folder)
        self.assertEqual((result.returncode, result.stdout), (2, b""))

    def test_notices_that_fit_are_shown_in_full(self):
        for size in (100 * 1024, 2 * 1024 * 1024, 20 * 1024 * 1024):
            with self.subTest(size=size):
                self.fill_cache()
                self.assertGreater(self.group.usage(), CAP * 9 // 10, "the cache did not fill")
                text, body = notice_of(size)
                with NoticeFolder(text) as folder:
                    result = self.run_in_group(folder)
                self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))
                shown = result.stdout.decode()
                self.assertTrue(shown.startswith("[?] Tibrel\nZpráva: "), shown[:100])
                self.assertTrue(shown.endswith("\n" + body + "\n[ OK ]\n"), "notice not whole")


if __name__ == "__main__":
    BINARY = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
