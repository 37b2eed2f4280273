"""The version record of zprava.exe, byte for byte as Windows reads it (UTF-16 LE)."""

import sys
import unittest

EXE = None


def string_value(image, key):
    """The value of a StringFileInfo entry: its key, padding to 32 bits, then the value."""
    marker = key.encode("utf-16-le") + b"\0\0"
    start = image.find(marker)
    if start < 0:
        raise AssertionError(f"{key} is not in the version record")
    start += len(marker)
    start += (-start) % 4  # values are aligned to 32 bits within the resource section
    end = start
    while image[end:end + 2] != b"\0\0":
        end += 2
    return image[start:end]


class VersionRecord(unittest.TestCase):
    def test_strings_are_exact(self):
        with open(EXE, "rb") as f:
            image = f.read()
        expected = {
            "FileDescription": "Zobrazí zprávu, načtenou ze souboru.",
            "FileVersion": "1.00.0001",
            "ProductVersion": "1.00.0001",
            "LegalCopyright": "Copyright (c) 2026 the zprava authors. MIT licence.",
        }
        for key, value in expected.items():
            with self.subTest(key):
                self.assertEqual(string_value(image, key), value.encode("utf-16-le"))

    def test_manifest_asks_for_visual_styles_and_per_monitor_dpi(self):
        with open(EXE, "rb") as f:
            image = f.read()
        self.assertIn(b"Microsoft.Windows.Common-Controls", image)
        self.assertIn(b"PerMonitorV2", image)


if __name__ == "__main__":
    EXE = sys.argv.pop(1)
    unittest.main(verbosity=2)
