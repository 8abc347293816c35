#!/usr/bin/env python3
"""End-to-end scenarios of the real installer stub under Wine.

  scenarios.py prefix PREFIX --wine WINE [--winearch win32]
      makes a headless prefix (the shared one that the scenarios copy)
  scenarios.py run SCENARIO --work DIR --wine WINE --driver EXE
                   --stub EXE --probe EXE --scrpkg EXE
                   (--template PREFIX | --fresh-prefix [--winearch win32]) [--prefix DIR]
      packs a package around the probe screen saver, runs it under the driver with the
      scenario's answers and checks every window, the exit code and what was written;
      with --prepared instead of the packing options, runs the package already in DIR
  scenarios.py vm VMDIR SCENARIO --work DIR --wine wine --driver EXE --stub EXE --probe EXE
                  --scrpkg EXE
      packs here, then runs inside the 32-bit VM (VMDIR/run) with a fresh 32-bit prefix

Every expected text is written out below, in Windows-1252 bytes.
"""

import argparse
import shutil
import subprocess
import sys
from dataclasses import dataclass
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source folder clean of caches
import wine_session

# --- What the user must see -------------------------------------------------------------

OK, CANCEL, YES, NO = 1, 2, 6, 7
SCREEN_WIDTH, SCREEN_HEIGHT = 1024, 768

# The package: the probe screen saver padded to SAVER_SIZE, a data file and one extra file,
# 2,345,678 bytes installed in all.
SAVER_SIZE = 200_000
DATA_SIZE = 2_000_000
EXTRA_SIZE = 145_678
PACKAGE_NAME = "Aurora.exe"
DISPLAY_NAME = "Aurora"

CAPTION = b"Aurora Screen Saver Installatie"


@dataclass
class Box:
    """A message box: caption, text (the static 0xFFFF) and the visible buttons."""
    caption: bytes
    text: bytes
    buttons: tuple


@dataclass
class Dialog:
    """A dialog, centred on the screen: window text and every control as (id, text,
    visible), in template order."""
    text: bytes
    controls: list


CONFIRMATION = Box(
    CAPTION,
    b"Dit programma installeert AURORA.SCR (Aurora Screen Saver) in C:\\WINDOWS en maakt er "
    b"de standaard screen saver van.  De installatie neemt 2,345,678 bytes in beslag.",
    (OK, CANCEL))

PROGRESS = Dialog(CAPTION, [
    (1, b"OK", False),
    (2, b"Cancel", False),
    (0xFFFF, b"Installeren", True),
    (0xFFFF, b"Wachten aub...", True),
    (1001, b"Aurora Screen Saver", True),
])

COMPLETION = Box(
    CAPTION,
    b"Installatie volledig!\r\n\r\nDe gegevensbestanden werden ook in de map "
    b"C:\\windows\\TOLVERAN\\LUMIVANE\\AURORA ge\xefnstalleerd.",
    (OK,))

ORDER_INFO = Dialog(b"Lumivane Deluxe Bestelinfo", [
    (0xFFFF, b"*** LUMIVANE DELUXE ***", True),
    (0xFFFF, b"TM", True),
    (1, b"OK", True),
    (0xFFFF, b"Dit programma werd gemaakt met", True),
    (0xFFFF, b"Maak screen savers zonder te programmeren", True),
    (0xFFFF, b"Download GRATIS screen savers", True),
    (0xFFFF, b"www.lumivane.example", True),
    (0xFFFF, b"Lumivane Software\r\n\r\ninfo@lumivane.example", True),
])

REPLACE = Box(
    b"Screen saver vervangen?",
    b"Er is reeds een screen saver met dezelfde naam (Aurora.SCR) op je systeem aanwezig.  "
    b"Wil je deze vervangen?",
    (YES, NO))

RENAME = Box(
    b"Hernoem installatieprogramma.",
    b"Indien je de naam van het .SCR-bestand dat ge\xefnstalleerd word wil vervangen, verander "
    b"dan de bestandsnaam van het installatieprogramma (Aurora.EXE) en start het opnieuw op.",
    (OK,))

DAMAGED = Box(
    b"Beschadigd installatieprogramma",
    b"Het installatieprogramma Aurora.exe is beschadigd of onvolledig en kan niets "
    b"installeren. Download het opnieuw en start het daarna opnieuw op.",
    (OK,))

# What a completed installation leaves behind.
SYSTEM_INI_VALUE = b"C:\\windows\\AURORA.SCR"
PROBE_RECORD = [b"module=C:\\windows\\AURORA.SCR", b"command=AURORA.SCR", b"arguments="]


@dataclass
class Scenario:
    answers: list
    windows: list
    exit_code: int
    installs: bool
    existing_saver: bytes = None  # put in the Windows directory before the run
    cut_bytes: int = 0            # cut from the package's end


SCENARIOS = {
    "full_install": Scenario([OK, OK, OK], [CONFIRMATION, PROGRESS, COMPLETION, ORDER_INFO], 0,
                             installs=True),
    "cancel_at_confirmation": Scenario([CANCEL], [CONFIRMATION], 0, installs=False),
    "existing_answered_yes": Scenario([YES, OK, OK, OK],
                                      [REPLACE, CONFIRMATION, PROGRESS, COMPLETION, ORDER_INFO],
                                      0, installs=True, existing_saver=b"an older screen saver"),
    "existing_answered_no": Scenario([NO, OK], [REPLACE, RENAME], 0, installs=False,
                                     existing_saver=b"an older screen saver"),
    "damaged_package": Scenario([OK], [DAMAGED], 2, installs=False, cut_bytes=100),
}

# --- Inputs -------------------------------------------------------------------------------


def sample_text(size, seed):
    """Deterministic text that compresses like prose: words from a small vocabulary."""
    words = [b"aurora", b"noorderlicht", b"hemel", b"kleur", b"groen", b"paars", b"golf",
             b"nacht", b"ster", b"licht", b"boog", b"sluier", b"dans", b"pool", b"magnetisch"]
    out = bytearray()
    state = seed
    while len(out) < size:
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        out += words[(state >> 16) % len(words)]
        out += b"\r\n" if (state >> 8) % 11 == 0 else b" "
    return bytes(out[:size])


def sample_letters(size, seed):
    """Deterministic letters and blanks with few repeats: nearly every byte is decoded as a
    literal, which keeps the progress dialog up long enough to be seen."""
    alphabet = b"abcdefghijklmnopqrstuvwxyz      "
    out = bytearray(size)
    state = seed
    for i in range(size):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        out[i] = alphabet[(state >> 16) % len(alphabet)]
    return bytes(out)


def make_inputs(probe, folder):
    folder.mkdir(parents=True, exist_ok=True)
    saver = Path(probe).read_bytes()
    if len(saver) > SAVER_SIZE:
        raise RuntimeError(f"the probe screen saver is larger than {SAVER_SIZE} bytes")
    files = {
        "AURORA.SCR": saver + bytes(SAVER_SIZE - len(saver)),  # trailing bytes don't matter
        "AURORA.DAT": sample_letters(DATA_SIZE, 1),
        "LEESMIJ.TXT": sample_text(EXTRA_SIZE, 2),
    }
    for name, contents in files.items():
        (folder / name).write_bytes(contents)
    return files


def scrpkg_pack(scrpkg, stub, inputs_folder, output):
    command = [scrpkg, "pack", "-q", "--stub", stub, "-o", str(output), "--name", DISPLAY_NAME,
               str(inputs_folder / "AURORA.SCR"), str(inputs_folder / "AURORA.DAT"),
               str(inputs_folder / "LEESMIJ.TXT")]
    return subprocess.run(command, check=False).returncode == 0


def pack(options, inputs_folder, output):
    """Packs the inputs around the stub to run."""
    if not scrpkg_pack(options.scrpkg, options.stub, inputs_folder, output):
        raise RuntimeError(f"scrpkg pack refused {options.stub}")

# --- Checks -------------------------------------------------------------------------------


class Failures:
    def __init__(self):
        self.items = []

    def expect(self, condition, message):
        if not condition:
            self.items.append(message)

    def equal(self, actual, expected, what):
        self.expect(actual == expected,
                    f"{what}:\n    expected {expected!r}\n    actual   {actual!r}")


def controls_of(window):
    return [(c["id"], c["text"], c["visible"]) for c in window["controls"]]


def check_centred(window, failures, what):
    left, top, right, bottom = window["rect"]
    width, height = right - left, bottom - top
    failures.expect(width > 0 and height > 0, f"{what}: empty rectangle {window['rect']}")
    failures.equal((left, top), (SCREEN_WIDTH // 2 - width // 2, SCREEN_HEIGHT // 2 - height // 2),
                   f"{what}: left and top of a centred {width} x {height} window")


def check_box(window, expected, failures, what):
    failures.equal(window["class"], b"#32770", f"{what}: class")
    failures.equal(window["text"], expected.caption, f"{what}: caption")
    texts = [c["text"] for c in window["controls"] if c["id"] == 0xFFFF]
    failures.equal(texts, [expected.text], f"{what}: message text")
    buttons = tuple(c["id"] for c in window["controls"]
                    if c["class"].lower() == b"button" and c["visible"])
    failures.equal(buttons, expected.buttons, f"{what}: visible buttons")


def check_dialog(window, expected, failures, what):
    failures.equal(window["class"], b"#32770", f"{what}: class")
    failures.equal(window["text"], expected.text, f"{what}: window text")
    failures.equal(controls_of(window), expected.controls, f"{what}: controls")
    check_centred(window, failures, what)


def check_windows(events, expected_windows, failures):
    windows = [e for e in events if e["event"] == "window"]
    failures.equal(len(windows), len(expected_windows), "number of windows")
    for index, (window, expected) in enumerate(zip(windows, expected_windows)):
        what = f"window {index + 1}"
        if isinstance(expected, Box):
            check_box(window, expected, failures, what)
        else:
            check_dialog(window, expected, failures, what)


def ini_value(path, section, key):
    """A value from an ini file, or None; names compared without case, as Windows does."""
    if not path.exists():
        return None
    current = None
    for line in path.read_bytes().splitlines():
        line = line.strip()
        if line.startswith(b"[") and line.endswith(b"]"):
            current = line[1:-1].lower()
        elif current == section.lower() and b"=" in line:
            name, value = line.split(b"=", 1)
            if name.strip().lower() == key.lower():
                return value.strip()
    return None


def screen_saving_switched_on(prefix):
    user_reg = (prefix / "user.reg").read_bytes().split(b"\n")
    in_desktop = False
    for line in user_reg:
        if line.startswith(b"["):
            in_desktop = line.startswith(b"[Control Panel\\\\Desktop]")
        elif in_desktop and line.strip() == b'"ScreenSaveActive"="1"':
            return True
    return False


def find_without_case(folder, name):
    if not folder.is_dir():
        return None
    for entry in folder.iterdir():
        if entry.name.lower() == name.lower():
            return entry
    return None


def check_installed(session, files, failures):
    windows = session.windows
    data_folder = windows / "TOLVERAN" / "LUMIVANE" / "Aurora"
    for path, contents in ((windows / "AURORA.SCR", files["AURORA.SCR"]),
                           (data_folder / "Aurora.DAT", files["AURORA.DAT"]),
                           (data_folder / "FILE0003.TXT", files["LEESMIJ.TXT"])):
        failures.expect(path.exists() and path.read_bytes() == contents,
                        f"{path} missing or not the packed bytes")
    failures.equal(sorted(p.name for p in data_folder.iterdir()) if data_folder.is_dir() else [],
                   ["Aurora.DAT", "FILE0003.TXT"], "data folder contents")
    failures.equal(ini_value(windows / "system.ini", b"boot", b"SCRNSAVE.EXE"), SYSTEM_INI_VALUE,
                   "system.ini [boot] SCRNSAVE.EXE")
    failures.expect(screen_saving_switched_on(session.prefix), "screen saving not switched on")
    probe_log = session.drive_c / "PROBE.LOG"
    records = probe_log.read_bytes().split(b"end\r\n") if probe_log.exists() else []
    records = [r.split(b"\r\n") for r in records if r]
    failures.equal(len(records), 1, "launches of the installed screen saver")
    if records:
        failures.equal(records[0][:3], PROBE_RECORD, "the launch")


def check_nothing_installed(session, scenario, failures):
    saver = find_without_case(session.windows, "AURORA.SCR")
    if scenario.existing_saver is None:
        failures.equal(saver, None, "a screen saver in the Windows directory")
    else:
        failures.expect(saver is not None and saver.read_bytes() == scenario.existing_saver,
                        "the existing screen saver was changed")
    failures.equal(find_without_case(session.windows, "TOLVERAN"), None, "the data folder")
    failures.equal(ini_value(session.windows / "system.ini", b"boot", b"SCRNSAVE.EXE"), None,
                   "system.ini [boot] SCRNSAVE.EXE")
    failures.expect(not screen_saving_switched_on(session.prefix), "screen saving switched on")
    failures.expect(not (session.drive_c / "PROBE.LOG").exists(), "a screen saver was started")

# --- Running ------------------------------------------------------------------------------


def prepare_package(name, options, work):
    """Writes the inputs and the scenario's package into the work folder; returns the inputs."""
    files = make_inputs(options.probe, work / "inputs")
    package = work / PACKAGE_NAME
    pack(options, work / "inputs", package)
    cut = SCENARIOS[name].cut_bytes
    if cut:
        contents = package.read_bytes()
        package.write_bytes(contents[:len(contents) - cut])
    return files


def prepared_inputs(work):
    return {path.name: path.read_bytes() for path in (work / "inputs").iterdir()}


def run_scenario(name, options):
    scenario = SCENARIOS[name]
    work = Path(options.work).resolve()
    if options.prepared:
        files = prepared_inputs(work)
    else:
        shutil.rmtree(work, ignore_errors=True)
        work.mkdir(parents=True)
        files = prepare_package(name, options, work)
    prefix = Path(options.prefix).resolve() if options.prefix else work / "prefix"
    if options.fresh_prefix:
        wine_session.make_prefix(prefix, options.wine, options.winearch)
    else:
        wine_session.copy_prefix(options.template, prefix)
    session = wine_session.Session(prefix, options.wine, options.driver, work)
    if scenario.existing_saver is not None:
        (session.windows / "AURORA.SCR").write_bytes(scenario.existing_saver)
    (session.drive_c / "pkg").mkdir()
    shutil.copyfile(work / PACKAGE_NAME, session.drive_c / "pkg" / PACKAGE_NAME)

    code, events = session.run_driver("C:\\pkg\\" + PACKAGE_NAME, scenario.answers)
    failures = Failures()
    failures.equal(code, scenario.exit_code, "exit code of the installer (driver's own: 90-95)")
    failures.expect(session.ended_alone, "processes still running in the prefix after the run")
    check_windows(events, scenario.windows, failures)
    if scenario.installs:
        check_installed(session, files, failures)
    else:
        check_nothing_installed(session, scenario, failures)
    return report(name, failures, work, prefix)


def report(name, failures, work, prefix):
    if not failures.items:
        print(f"{name}: passed")
        shutil.rmtree(prefix, ignore_errors=True)
        return 0
    print(f"{name}: {len(failures.items)} failure(s)")
    for item in failures.items:
        print("  - " + item)
    for log in ("driver.jsonl", "driver.out"):
        if (work / log).exists():
            print(f"--- {log}")
            print((work / log).read_text(errors="replace"))
    return 1


def run_in_vm(options):
    """Packs on the host, then boots the 32-bit VM and runs the scenario there with a fresh
    prefix in the VM's own memory. The work folder is the one host folder seen inside, so
    the driver is copied into it."""
    vm = Path(options.vm)
    work = Path(options.work).resolve()
    shutil.rmtree(work, ignore_errors=True)
    (work / "run").mkdir(parents=True)
    prepare_package(options.scenario, options, work / "run")
    shutil.copy2(options.driver, work / "driver.exe")
    shutil.copytree(Path(__file__).resolve().parent, work / "scripts",
                    ignore=shutil.ignore_patterns("*.cpp", "*.hpp", "*.c", "*.txt", "driver",
                                                  "__pycache__"))
    subprocess.run([str(vm / "setup")], check=True)
    inner = ["/usr/bin/python3", str(work / "scripts" / "scenarios.py"), "run", options.scenario,
             "--work", str(work / "run"), "--prepared", "--prefix", "/tmp/wine-prefix",
             "--fresh-prefix", "--wine", options.wine, "--winearch", options.winearch or "win32",
             "--driver", str(work / "driver.exe")]
    command = " ".join("'" + part.replace("'", "'\\''") + "'" for part in inner)
    return subprocess.run([str(vm / "run"), str(work), command], check=False).returncode


def parse(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    prefix = commands.add_parser("prefix")
    prefix.add_argument("prefix")
    prefix.add_argument("--wine", required=True)
    prefix.add_argument("--winearch")
    for command in ("run", "vm"):
        run = commands.add_parser(command)
        if command == "vm":
            run.add_argument("vm")
        run.add_argument("scenario", choices=sorted(SCENARIOS))
        run.add_argument("--work", required=True)
        run.add_argument("--wine", required=True)
        run.add_argument("--winearch")
        run.add_argument("--driver", required=True)
        run.add_argument("--stub", help="the stub to run (packed around the probe)")
        run.add_argument("--probe")
        run.add_argument("--scrpkg")
        run.add_argument("--template", help="a prefix to copy")
        run.add_argument("--fresh-prefix", action="store_true", help="make a prefix instead")
        run.add_argument("--prefix", help="where the run's prefix goes (default: WORK/prefix)")
        run.add_argument("--prepared", action="store_true",
                         help="WORK already holds the inputs and the package")
    options = parser.parse_args(argv)
    if options.command == "prefix":
        return options
    if options.command == "run" and not options.fresh_prefix and not options.template:
        parser.error("run needs --template or --fresh-prefix")
    if not options.prepared and not (options.stub and options.probe and options.scrpkg):
        parser.error("packing needs --stub, --probe and --scrpkg")
    return options


def main(argv):
    options = parse(argv)
    if options.command == "prefix":
        wine_session.make_prefix(options.prefix, options.wine, options.winearch)
        return 0
    if options.command == "vm":
        return run_in_vm(options)
    return run_scenario(options.scenario, options)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
