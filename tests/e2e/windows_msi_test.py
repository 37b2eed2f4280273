"""The MSI under wine: its tables, a quiet install with and without NOTICEFOLDER, the
installed program showing its notice, a newer version replacing it, and an uninstall that
leaves nothing behind."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

from desktop import VirtualDesktop
from harness import CAPTION

MSI = WINDOW_TEXT = None
NOTICE_FOLDER = "C:\\notices\\"


def msiinfo(*args):
    return subprocess.run(["msiinfo", *args], capture_output=True, text=True, check=True).stdout


class Tables(unittest.TestCase):
    def test_tables_hold_the_program_shortcut_and_upgrade(self):
        tables = msiinfo("tables", MSI).split()
        for table in ("File", "Component", "Shortcut", "Upgrade", "Directory"):
            self.assertIn(table, tables)
        files = msiinfo("export", MSI, "File")
        self.assertIn("zprava.exe", files)
        self.assertIn("LICENSE.txt", files)
        properties = msiinfo("export", MSI, "Property")
        self.assertIn("Manufacturer\tzprava developers", properties)
        self.assertIn("ARPCOMMENTS\tMIT licence. Copyright (c) 2026 the zprava authors.", properties)
        self.assertIn("UpgradeCode\t{3F278105-1F2F-4041-BAC6-0FE8A0FFFBDF}", properties)


class InstallUnderWine(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # A prefix of its own, made afresh, so that what is left after the uninstall shows.
        cls.prefix = os.environ["WINEPREFIX"]
        subprocess.run(["wineserver", "-k"], capture_output=True, timeout=60)
        shutil.rmtree(cls.prefix, ignore_errors=True)
        if subprocess.run(["wine", "cmd", "/c", "exit", "0"], capture_output=True,
                          timeout=300).returncode != 0:
            raise unittest.SkipTest("wine cannot start here")
        cls.drive = os.path.join(cls.prefix, "drive_c")
        notices = os.path.join(cls.drive, "notices")
        os.makedirs(notices)
        with open(os.path.join(notices, "Zprava.ini"), "wb") as f:
            f.write("Instalace proběhla\r\n".encode())
        cls.desktop = VirtualDesktop()

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["wineserver", "-k"], capture_output=True, timeout=60)
        cls.desktop.close()

    def msiexec(self, *args):
        done = subprocess.run(["wine", "msiexec", *args, "/qn"], capture_output=True, text=True,
                              timeout=300)
        print(f"msiexec {' '.join(args)} /qn: status {done.returncode}", file=sys.stderr)
        self.assertEqual(done.returncode, 0, done.stderr[-500:])

    def ours(self):
        """Every file or folder in the prefix named after the program, but the notice."""
        found = (os.path.relpath(os.path.join(root, name), self.drive)
                 for root, folders, files in os.walk(self.drive)
                 for name in folders + files if "zprava" in name.lower())
        return sorted(path for path in found if not path.startswith("notices"))

    def registered(self):
        key = subprocess.run(["wine", "reg", "query", "HKLM\\Software\\zprava"],
                             capture_output=True, timeout=60).returncode == 0
        entries = subprocess.run(
            ["wine", "reg", "query",
             "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", "/s"],
            capture_output=True, text=True, timeout=60).stdout
        return key, "DisplayName    REG_SZ    zprava" in entries

    def versions(self):
        entries = subprocess.run(
            ["wine", "reg", "query",
             "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", "/s"],
            capture_output=True, text=True, timeout=60).stdout
        return sorted(line.split()[-1] for line in entries.splitlines()
                      if line.strip().startswith("DisplayVersion"))

    def newer_package(self, folder):
        """The same package as the next revision would build it: 1.0.0.1 becomes 1.0.0.2."""
        build = os.path.dirname(MSI)
        with open(os.path.join(build, "zprava.wxs")) as f:
            source = f.read()
        version = source.split(' Version="', 1)[1].split('"', 1)[0]
        parts = version.split(".")
        newer = ".".join(parts[:-1] + [str(int(parts[-1]) + 1)])
        upgrade_code = next(line.split("\t")[1].strip("{}")
                            for line in msiinfo("export", MSI, "Property").splitlines()
                            if line.startswith("UpgradeCode\t"))
        wxs, msi = os.path.join(folder, "newer.wxs"), os.path.join(folder, "newer.msi")
        with open(wxs, "w") as f:
            f.write(source.replace(f' Version="{version}"', f' Version="{newer}"'))
        subprocess.run([os.environ["ZPRAVA_CMAKE"], f"-DWXS={wxs}", f"-DMSI={msi}",
                        f"-DVERSION={newer}", f"-DUPGRADE_CODE={upgrade_code}",
                        "-P", os.environ["ZPRAVA_BUILD_MSI"]], cwd=build, check=True,
                       capture_output=True)
        return msi, version, newer

    def test_a_newer_version_replaces_the_older(self):
        with tempfile.TemporaryDirectory() as folder:
            newer_msi, version, newer = self.newer_package(folder)
            self.msiexec("/i", MSI)
            self.assertEqual(self.versions(), [version])
            self.msiexec("/i", newer_msi)
            self.assertEqual(self.versions(), [newer])
            self.msiexec("/x", newer_msi)
            self.assertEqual(self.ours(), [])
            self.assertEqual(self.versions(), [])

    def shortcut(self):
        return os.path.join(self.drive, "ProgramData", "Microsoft", "Windows", "Start Menu",
                            "Programs", "StartUp", "zprava.lnk")

    def run_installed_program(self):
        env = {**os.environ, "DISPLAY": self.desktop.name}
        process = subprocess.Popen(["wine", "C:\\Program Files\\zprava\\zprava.exe"],
                                   cwd=os.path.join(self.drive, "notices"), env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(process.wait)
        self.addCleanup(process.kill)
        window = self.desktop.wait_for_window(CAPTION, timeout=60)
        shown = subprocess.run(["wine", WINDOW_TEXT, CAPTION], env=env, capture_output=True,
                               timeout=60)
        self.assertIn("\r\nInstalace proběhla\nicon: yes", shown.stdout.decode("utf-8"))
        self.desktop.press(window, "Return")
        self.assertEqual(process.wait(timeout=30), 0)

    def test_install_run_and_uninstall(self):
        for notice_folder in (NOTICE_FOLDER, None):
            with self.subTest(notice_folder=notice_folder):
                self.msiexec("/i", MSI, *([f"NOTICEFOLDER={notice_folder}"] if notice_folder else []))
                installed = self.ours()
                print(f"installed: {installed}", file=sys.stderr)
                self.assertIn(os.path.join("Program Files", "zprava", "zprava.exe"), installed)
                self.assertEqual(self.registered()[1], True)
                if notice_folder:
                    with open(self.shortcut(), "rb") as f:
                        self.assertIn(NOTICE_FOLDER.encode("utf-16-le"), f.read())
                    self.run_installed_program()
                else:
                    self.assertFalse(os.path.exists(self.shortcut()))
                self.msiexec("/x", MSI)
                print(f"left after uninstall: {self.ours()}", file=sys.stderr)
                self.assertEqual(self.ours(), [])
                self.assertEqual(self.registered(), (False, False))


if __name__ == "__main__":
    MSI, WINDOW_TEXT = (os.path.abspath(a) for a in sys.argv[1:3])
    del sys.argv[1:3]
    unittest.main(verbosity=2)
