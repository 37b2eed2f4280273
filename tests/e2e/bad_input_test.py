"""Whatever the notice file is or holds, the program ends in one of its defined ways, quickly."""

import os
import resource
import shutil
import socket
import subprocess
import sys
import threading
import time
import unittest

from harness import (CAPTION, NOT_FOUND, NoticeFolder, base_environment, command, header_dates,
                     mem_available, run, sanitized, wrapped)

BINARY = None
QUICK = 5  # seconds: every case ends well within this


def make_socket(path):
    with socket.socket(socket.AF_UNIX) as listener:
        listener.bind(path)  # the socket file stays after the listener closes


def screens(body):
    return [f"[?] {CAPTION}\nZpráva: {d}\n{body}\n[ OK ]\n".encode() for d in header_dates("C")]


class BadInput(unittest.TestCase):
    def run_in(self, folder, timeout=QUICK, **kwargs):
        env = kwargs.pop("env", base_environment(LC_ALL="C"))
        return run(BINARY, folder.path, env, timeout=timeout * (10 if wrapped() else 1), **kwargs)

    def assert_silent_end(self, result):
        self.assertEqual((result.returncode, result.stdout), (2, b""))

    def test_names_that_are_not_regular_files_end_silently(self):
        makers = {
            "directory": os.mkdir,
            "FIFO without a writer": os.mkfifo,
            "socket": make_socket,
            "link to /dev/zero": lambda path: os.symlink("/dev/zero", path),
            "link to /dev/urandom": lambda path: os.symlink("/dev/urandom", path),
        }
        for name, make in makers.items():
            with self.subTest(name), NoticeFolder() as folder:
                make(os.path.join(folder.path, "Zprava.ini"))
                self.assert_silent_end(self.run_in(folder))

    def test_dangling_link_is_a_missing_file(self):
        with NoticeFolder() as folder:
            os.symlink("gone.ini", os.path.join(folder.path, "Zprava.ini"))
            result = self.run_in(folder)
            self.assertEqual(result.returncode, 1)
            self.assertIn(result.stdout, screens(NOT_FOUND))

    def test_unreadable_file_ends_silently(self):
        with NoticeFolder("secret") as folder, NoticeFolder() as bin_folder:
            os.chmod(folder.path, 0o755)
            os.chmod(os.path.join(folder.path, "Zprava.ini"), 0)
            binary, prefix = BINARY, []
            if os.geteuid() == 0:
                if not shutil.which("setpriv"):
                    self.skipTest("running as root without setpriv to drop privileges")
                prefix = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]
                # The build folder may sit where nobody cannot reach it (under /root, say).
                os.chmod(bin_folder.path, 0o755)
                binary = shutil.copy(BINARY, bin_folder.path)
            result = subprocess.run(prefix + command(binary), cwd=folder.path,
                                    env=base_environment(LC_ALL="C"), capture_output=True,
                                    stdin=subprocess.DEVNULL, timeout=60)
            self.assert_silent_end(result)

    def test_file_changing_while_read_still_gives_a_whole_dialog(self):
        with NoticeFolder("start") as folder:
            path = os.path.join(folder.path, "Zprava.ini")
            stop = threading.Event()

            def churn():
                while not stop.is_set():
                    with open(path, "r+b") as f:
                        f.truncate(0)
                        for _ in range(64):
                            f.write(b"line;with,items\r\n" * 256)
                            f.flush()

            writer = threading.Thread(target=churn)
            writer.start()
            try:
                for _ in range(10):
                    result = self.run_in(folder, timeout=20)
                    self.assertEqual(result.returncode, 0)
                    self.assertTrue(result.stdout.startswith(f"[?] {CAPTION}\n".encode()))
                    self.assertTrue(result.stdout.endswith(b"\n[ OK ]\n"))
            finally:
                stop.set()
                writer.join()

    def test_huge_sparse_file_without_enough_memory_ends_silently(self):
        if sanitized() or wrapped():
            self.skipTest("address space limits do not apply under sanitizers or valgrind")
        with NoticeFolder() as folder:
            with open(os.path.join(folder.path, "Zprava.ini"), "wb") as f:
                f.truncate(1 << 30)
            limit = 256 << 20

            def limit_memory():
                resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

            self.assert_silent_end(self.run_in(folder, preexec_fn=limit_memory))

    def test_notice_over_half_the_available_memory_ends_without_taking_it(self):
        if sanitized() or wrapped():
            self.skipTest("memory use is measured on the plain build")
        # Read, it would need three times its size: three quarters of what is available.
        size = mem_available() // 4
        # Room for the file's bytes but not for the notice: were the file read
        # after all, that would show in the resident set, without taking the machine.
        limit = size + (2 << 30)

        def limit_memory():
            resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

        with NoticeFolder() as folder:
            with open(os.path.join(folder.path, "Zprava.ini"), "wb") as f:
                f.truncate(size)
            process = subprocess.Popen(command(BINARY), cwd=folder.path,
                                       env=base_environment(LC_ALL="C"), stdin=subprocess.DEVNULL,
                                       stdout=subprocess.PIPE, preexec_fn=limit_memory)
            output = process.stdout.read()
            process.stdout.close()
            _, status, usage = os.wait4(process.pid, 0)
            process.returncode = os.waitstatus_to_exitcode(status)
            self.assertEqual((process.returncode, output), (2, b""))
            # ru_maxrss also counts this script's resident set from before the exec
            # (some 20 MiB), which keeps well under the bound all the same.
            self.assertLess(usage.ru_maxrss * 1024, 64 << 20)

    def test_huge_sparse_file_is_shown_in_bounded_memory(self):
        if sanitized() or wrapped():
            self.skipTest("memory use is measured on the plain build")
        size = 1 << 30
        if 3 * size > mem_available() // 2:
            self.skipTest("the notice would not fit in half of the memory available here")
        with NoticeFolder() as folder:
            with open(os.path.join(folder.path, "Zprava.ini"), "wb") as f:
                f.truncate(size)
            process = subprocess.Popen(command(BINARY), cwd=folder.path,
                                       env=base_environment(LC_ALL="C"), stdin=subprocess.DEVNULL,
                                       stdout=subprocess.DEVNULL)
            _, status, usage = os.wait4(process.pid, 0)
            process.returncode = os.waitstatus_to_exitcode(status)
            self.assertEqual(process.returncode, 0)
            peak = usage.ru_maxrss * 1024
            print(f"1 GiB of NUL bytes: peak RSS {peak / size:.2f} x the file size", file=sys.stderr)
            self.assertLessEqual(peak, 4.5 * size)

    def test_damaged_and_unusual_text_is_shown_whole(self):
        cases = {
            "invalid UTF-8 falls back to Windows-1250": (b"caf\xe9 \x9a", "café š"),
            "overlong UTF-8": (b"\xc0\xaf", "ŔŻ"),
            "surrogate encoded in UTF-8": (b"\xed\xa0\x80", "í\u00a0€"),
            "UTF-8 character cut at the end": (b"\xc5\xbe\xc5", "Ĺľ\u0139"),
            "UTF-16 with an odd byte count": (b"\xff\xfeA\x00B", "A\ufffd"),
            "UTF-16 lone surrogate": (b"\xff\xfe\x00\xd8A\x00", "\ufffdA"),
            "UTF-8 mixed with Windows-1250": (b"\xc4\x8d \xe8", "Ä\u008d č".replace("\u008d", "Ť")),
            "NUL bytes": (b"a\x00b,c", "a\ufffdb\nc"),
            "100,000-character line": (b"x" * 100000, "x" * 100000),
            "100,000 items": (b"i," * 100000, "\n".join(["i"] * 100000)),
            "10,000 blank lines first": (b"\r\n" * 10000 + b"text", "text"),
        }
        for name, (notice, body) in cases.items():
            with self.subTest(name), NoticeFolder(notice) as folder:
                result = self.run_in(folder)
                self.assertEqual(result.returncode, 0)
                self.assertIn(result.stdout, screens(body))

    def test_tricky_text_is_harmless_on_the_terminal(self):
        notice = "%s %n %x,<b>&amp</b>,&#39,\x1b[2J\x1b]0;title\x07,bell\x07 back\x08,\u202eevil"
        body = ("%s %n %x\n<b>&amp</b>\n&#39\n\ufffd[2J\ufffd]0,title\ufffd\n"
                "bell\ufffd back\ufffd\n\ufffdevil")
        with NoticeFolder(notice) as folder:
            result = self.run_in(folder)
            self.assertEqual(result.returncode, 0)
            self.assertIn(result.stdout, screens(body))

    def test_no_display_and_no_terminal(self):
        environments = {
            "DISPLAY unset": base_environment(LC_ALL="C"),
            "display that does not exist": base_environment(LC_ALL="C", DISPLAY=":97"),
        }
        for name, env in environments.items():
            with self.subTest(name), NoticeFolder("x") as folder:
                result = self.run_in(folder, env=env)
                self.assertEqual(result.returncode, 0)
                self.assertIn(result.stdout, screens("x"))
        with NoticeFolder("x") as folder:
            done = subprocess.run(command(BINARY), cwd=folder.path, stdin=subprocess.DEVNULL,
                                  stdout=subprocess.DEVNULL, env=base_environment(LC_ALL="C"),
                                  timeout=QUICK * (10 if wrapped() else 1))
            self.assertEqual(done.returncode, 0)


if __name__ == "__main__":
    BINARY = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
