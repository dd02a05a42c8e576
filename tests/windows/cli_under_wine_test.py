#!/usr/bin/env python3
# The Windows command line (corvane.exe) under Wine against the native simulator, step for step beside
# the native command line: the same database rows, sweeps, verdicts, exported bytes and imported points.
# Usage: cli_under_wine_test.py --windows-cli EXE --native-cli PROG --simulator PROG --work DIR
import argparse
import contextlib
import os
import re
import shutil
import sqlite3
import subprocess
import sys
import time
import unittest
import urllib.parse
import xml.dom.minidom

ARGS = None
STEPS = 200
# Wine decodes the host's arguments by the host's locale; without a UTF-8 one, "Prüfung Ω" would reach
# the program garbled.
WINE_ENV = dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8")


def run(command, timeout=120):
    try:
        done = subprocess.run(command, capture_output=True, timeout=timeout, env=WINE_ENV)
    except subprocess.TimeoutExpired:
        raise AssertionError(f"no end within {timeout} s: {command}")
    if done.returncode != 0:
        raise AssertionError(f"exit {done.returncode}: {command}\n{done.stdout.decode(errors='replace')}"
                             f"{done.stderr.decode(errors='replace')}")
    return done.stdout


def windows_path(path):
    """A host path as the Windows programs name it (Z:\\...)."""
    return run(["winepath", "-w", path], timeout=60).decode().strip()


class Path(str):
    """A host path among a command's arguments, which the Windows command line gets as a Windows path."""


class Cli:
    """One of the two command lines; with work_as_windows, the Windows one under Wine."""

    def __init__(self, command, work_as_windows=None):
        self.command = command
        self.work_as_windows = work_as_windows

    def argument(self, a):
        if not self.work_as_windows or not isinstance(a, Path):
            return str(a)
        return self.work_as_windows + "\\" + os.path.relpath(a, ARGS.work).replace("/", "\\")

    def __call__(self, *arguments):
        """Runs a command; its standard output, with LF line ends."""
        return run(self.command + [self.argument(a) for a in arguments]).replace(b"\r\n", b"\n").decode()


class Simulator:
    """The native corvane-sim on a free port, for the length of a with-block."""

    def __init__(self, profile):
        self.output = os.path.join(ARGS.work, f"simulator-{profile}.txt")
        with open(self.output, "w") as out:
            self.process = subprocess.Popen([ARGS.simulator, "--port", "0", "--profile", profile, "--fast"],
                                            stdout=out, stderr=subprocess.STDOUT)

    def __enter__(self):
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            with open(self.output) as out:
                found = re.search(r"^listening on 127\.0\.0\.1:(\d+)$", out.read(), re.M)
            if found:
                return f"127.0.0.1:{found.group(1)}"
            if self.process.poll() is not None:
                break
            time.sleep(0.05)
        self.__exit__()
        raise AssertionError("the simulator did not start: " + open(self.output).read())

    def __exit__(self, *_):
        self.process.terminate()
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait(5)


def read_only(database):
    return sqlite3.connect(f"file:{urllib.parse.quote(database)}?mode=ro", uri=True)


def rows(database, query):
    with contextlib.closing(read_only(database)) as connection:
        return connection.execute(query).fetchall()


def dump(database):
    """The file as SQL, less the fleet's identities: random ids and the moments records were stored."""
    with contextlib.closing(read_only(database)) as connection:
        return [line for line in connection.iterdump() if "Fleet_" not in line]


def points(database, sweep_id=None):
    """Every stored point (of one sweep) as the file holds it: FRA points, then basic ones."""
    where = "" if sweep_id is None else f" WHERE Sweep_Id = {sweep_id}"
    return (rows(database, "SELECT Sweep_Id, Frequency, Magnitude1, Magnitude2, Amplitude, Phase, Delay FROM Data_FRA"
                           + where + " ORDER BY Data_Id") +
            rows(database, "SELECT Sweep_Id, Frequency, Amplitude, Phase FROM Data" + where + " ORDER BY Data_Id"))


def listing(folder):
    return sorted(os.listdir(folder))


def read(path):
    with open(path, "rb") as f:
        return f.read()


def in_work(*parts):
    return Path(os.path.join(ARGS.work, *parts))


SWEEPS = [("healthy", "Fingerprint OPEN1", "Commissioning test"),
          ("repeat", "Repeat OPEN1", "Routine test, same winding"),
          ("obvious", "Nach Störung Ω", "After a through-fault: winding displaced, 21 °C")]


class CliUnderWine(unittest.TestCase):
    """Each command line makes its own database from the same simulator runs; the Windows one's database
    is then diagnosed and exported by both, and each imports its own exports."""

    @classmethod
    def setUpClass(cls):
        shutil.rmtree(ARGS.work, ignore_errors=True)
        os.makedirs(ARGS.work)
        cls.sides = {"windows": Cli(["wine", ARGS.windows_cli], windows_path(ARGS.work)),
                     "native": Cli([ARGS.native_cli])}
        cls.windows, cls.native = cls.sides["windows"], cls.sides["native"]
        cls.db = {side: in_work(side + ".db") for side in cls.sides}
        cls.new_db_dump, cls.sweep_output, cls.ids = {}, {}, {}
        for side, cli in cls.sides.items():
            cli("db", "new", cls.db[side], "--type", "0", "--transformer", "TX-E2E", "--manufacturer",
                "Müller & Söhne", "--serial", "SN-2026-0147")
            cls.new_db_dump[side] = dump(cls.db[side])
        # Each side has a simulator of its own, since one varies its winding from sweep to sweep.
        for profile, name, comments in SWEEPS:
            for side, cli in cls.sides.items():
                with Simulator(profile) as link:
                    if profile == "healthy":
                        cli("instrument", "register", "--lan", link, "--db", cls.db[side], "--yes")
                    output = cli("sweep", "fra", "--lan", link, "--steps", STEPS, "--start", "20", "--end", "2M",
                                 "--speed", "Medium", "--save", "--db", cls.db[side], "--name", name, "--transformer",
                                 "TX-E2E", "--setup", "1", "--equipment", "1", "--peak", "10", "--temp", "21",
                                 "--comments", comments)
                    cls.sweep_output[(side, profile)] = output
                    cls.ids[(side, profile)] = re.search(r"^stored: (\d+)$", output, re.M).group(1)
        for side, cli in cls.sides.items():
            cli("db", "add-transformer", cls.db[side], "--mode", "1", "--identifier", "TX-E2E", "--manufacturer",
                "Müller & Söhne", "--serial", "SN-2026-0147", "--fingerprint", cls.ids[(side, "healthy")])
        cls.sweep_ids = [cls.ids[("windows", profile)] for profile, _, _ in SWEEPS]

        # Both export the Windows command line's sweeps; each imports its own files.
        cls.imported = {}
        for side, cli in cls.sides.items():
            folder = in_work("export-" + side)
            os.makedirs(folder)
            for kind in ("xml", "csv"):
                cli("export", kind, "--db", cls.db["windows"], folder, *cls.sweep_ids, "--yes")
            database = in_work(f"imported-{side}.db")
            cli("db", "info", database)
            cls.imported[side] = cli("import", "--db", database, *[Path(os.path.join(folder, n)) for n in listing(folder)])

    def test_a_new_database_holds_the_transformer_and_default_setups_as_natively(self):
        self.assertEqual(self.new_db_dump["windows"], self.new_db_dump["native"])
        self.assertEqual(rows(self.db["windows"], "SELECT * FROM Transformer"),
                         [("TX-E2E", "Müller & Söhne", "SN-2026-0147", int(self.ids[("windows", "healthy")]))])
        setups = rows(self.db["windows"], "SELECT Name FROM Measurement ORDER BY Measurement_Id")
        self.assertGreater(len(setups), 1)

    def test_sweeps_print_and_store_the_same_points_as_natively(self):
        for profile, _, _ in SWEEPS:
            self.assertEqual(self.sweep_output[("windows", profile)], self.sweep_output[("native", profile)], profile)
        stored = points(self.db["windows"])
        self.assertEqual(len(stored), len(SWEEPS) * STEPS)
        self.assertEqual(stored, points(self.db["native"]))
        query = "SELECT Name, Transformer_Identifier, Peak_Voltage, Temperature, Comments, Data_Type FROM Sweep"
        self.assertEqual(rows(self.db["windows"], query), rows(self.db["native"], query))
        self.assertEqual(rows(self.db["windows"], "SELECT * FROM Equipment"), rows(self.db["native"], "SELECT * FROM Equipment"))

    def test_diagnosis_passes_the_repeat_and_fails_the_deformed_winding_as_natively(self):
        fingerprint, repeat, deformed = self.sweep_ids
        for sweep, verdict in ((repeat, "PASS"), (deformed, "FAIL")):
            shown = self.windows("diagnose", "--db", self.db["windows"], fingerprint, sweep)
            self.assertIn(f"\nverdict: {verdict}\n", shown)
            self.assertEqual(shown, self.native("diagnose", "--db", self.db["windows"], fingerprint, sweep))

    def test_exported_files_are_the_native_ones_byte_for_byte(self):
        exported = listing(in_work("export-windows"))
        self.assertEqual(len(exported), 2 * len(SWEEPS))
        self.assertEqual(exported, listing(in_work("export-native")))
        for name in exported:
            written = read(in_work("export-windows", name))
            self.assertEqual(written, read(in_work("export-native", name)), name)
            if name.endswith(".xml"):
                document = xml.dom.minidom.parseString(written)
                self.assertEqual(len(document.getElementsByTagName("Point")), STEPS, name)
        self.assertTrue(any(name.startswith("Nach Störung Ω_") for name in exported), exported)

    def test_imported_sweeps_hold_the_exported_points_as_natively(self):
        self.assertEqual(self.imported["windows"], self.imported["native"])
        database = in_work("imported-windows.db")
        self.assertEqual(points(database), points(in_work("imported-native.db")))
        # A CSV report gives back every FRA column and the sweep's name; an IEC file frequency, gain and
        # phase, named after the file.
        for old_id, name, date in rows(self.db["windows"], "SELECT SweepId, Name, strftime('%d-%m-%Y', Date) FROM Sweep"):
            original = [p[1:] for p in points(self.db["windows"], old_id)]
            (from_csv,), = rows(database, f"SELECT SweepId FROM Sweep WHERE Name = '{name}'")
            (from_xml,), = rows(database, f"SELECT SweepId FROM Sweep WHERE Name = '{name}_{date}'")
            self.assertEqual([p[1:] for p in points(database, from_csv)], original, name)
            self.assertEqual([p[1:] for p in points(database, from_xml)], [(f, a, p) for f, _, _, a, p, _ in original],
                             name)

    def test_paths_with_non_ascii_characters(self):
        folder = in_work("Prüfung Ω")
        for sub in ("Export Ω", "native"):
            os.makedirs(os.path.join(folder, sub))
        database = Path(os.path.join(folder, "Umspannwerk Süd.db"))
        self.assertIn("created: yes", self.windows("db", "new", database, "--type", "0", "--transformer", "TX-E2E",
                                                   "--manufacturer", "M", "--serial", "S"))
        self.assertEqual(rows(database, "SELECT Transformer_Identifier FROM Transformer"), [("TX-E2E",)])
        xml_files = [in_work("export-windows", n) for n in listing(in_work("export-windows")) if n.endswith(".xml")]
        self.assertEqual(self.windows("import", "--db", database, *xml_files).count("imported: "), len(SWEEPS))
        ids = [i for i, in rows(database, "SELECT SweepId FROM Sweep")]
        for kind in ("xml", "csv"):
            self.windows("export", kind, "--db", database, Path(os.path.join(folder, "Export Ω")), *ids, "--yes")
            self.native("export", kind, "--db", database, os.path.join(folder, "native"), *ids, "--yes")
        exported = listing(os.path.join(folder, "Export Ω"))
        self.assertEqual(len(exported), 2 * len(SWEEPS))
        self.assertEqual(exported, listing(os.path.join(folder, "native")))
        for name in exported:
            self.assertEqual(read(os.path.join(folder, "Export Ω", name)), read(os.path.join(folder, "native", name)))
        again = Path(os.path.join(folder, "Wieder eingelesen.db"))
        self.windows("db", "info", again)
        files = [Path(os.path.join(folder, "Export Ω", n)) for n in exported]
        self.assertEqual(self.windows("import", "--db", again, *files).count("imported: "), len(files))
        self.assertEqual(len(points(again)), len(files) * STEPS)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    for option in ("--windows-cli", "--native-cli", "--simulator", "--work"):
        parser.add_argument(option, required=True)
    ARGS, rest = parser.parse_known_args()
    ARGS.work = os.path.abspath(ARGS.work)
    for name, program in (("--native-cli", ARGS.native_cli), ("--simulator", ARGS.simulator)):
        if not os.access(program, os.X_OK):
            sys.exit(f"no native program at '{program}' ({name}): configure with -DCORVANE_NATIVE_CLI=<native build>"
                     "/src/corvane and -DCORVANE_SIM=<native build>/sim/corvane-sim")
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
