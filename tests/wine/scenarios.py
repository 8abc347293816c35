#!/usr/bin/env python3
"""End-to-end scenarios of the real installer stub under Wine.

  scenarios.py prefix PREFIX --wine WINE [--winearch win32]
      makes a headless prefix
  scenarios.py suite --work DIR --wine WINE --driver EXE --stub EXE --probe EXE --demo SCR
                     --fake-gl DIR --scrpkg EXE [--winearch win32] [--jobs N] [--vm TOOL]
                     [SCENARIO...]
      packs each scenario's package, makes one prefix and runs every scenario (or those
      named) on a copy of it under the automation driver, with the scenario's answers;
      checks every window, the exit code, the files written, system.ini and the launches.
      With --vm (the folder of tests/vm), packs here and runs the rest inside the VM, with
      the tools it reads copied into DIR.
  scenarios.py list
      the scenarios' names

One table below holds every scenario; one checker applies to all of them. Every expected
text is written out in Windows-1252 bytes.
"""

import argparse
import shlex
import shutil
import subprocess
import sys
import time
from concurrent.futures import ThreadPoolExecutor
from dataclasses import dataclass, field
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source folder clean of caches
import wine_session

# --- What the user must see -------------------------------------------------------------

OK, CANCEL, YES, NO = 1, 2, 6, 7
SCREEN_WIDTH, SCREEN_HEIGHT = 1024, 768
SW_SHOWMAXIMIZED, SW_SHOW = b"3", b"5"

CAPTION = b"Aurora Screen Saver Installatie"
SUPPORT_ADDRESS = b"http://www.lumivane.example/supfiles"


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


@dataclass(frozen=True)
class Package:
    """A package file name and the names the installer derives from it."""
    file: str            # in C:\pkg
    saver: bytes         # the screen saver in the Windows directory
    folder: bytes        # the data folder under TOLVERAN\LUMIVANE, and the data file's name
    shown_folder: bytes  # the folder's last part as the completion message spells it
    asked: bytes         # the name the replace question gives


AURORA = Package("Aurora.exe", b"AURORA.SCR", b"Aurora", b"AURORA", b"Aurora.SCR")
DOTTED = Package("My.Saver.exe", b"MY.SCR", b"My.Saver", b"MY.SAVER", b"My.SCR")
# The data file's path, C:\windows\TOLVERAN\LUMIVANE\<folder>\<folder>.DAT, needs 2 x 120 +
# 34 characters: more than the 260 a Windows path holds.
LONG_BASE = b"Noorderlicht" * 10
LONG = Package(LONG_BASE.decode() + ".exe", LONG_BASE.upper() + b".SCR", LONG_BASE,
               LONG_BASE.upper(), LONG_BASE + b".SCR")


def grouped(number):
    return f"{number:,}".encode()


def confirmation(package, total):
    return Box(CAPTION, b"Dit programma installeert " + package.saver + b" (Aurora Screen Saver) "
               b"in C:\\WINDOWS en maakt er de standaard screen saver van.  De installatie neemt "
               + grouped(total) + b" bytes in beslag.", (OK, CANCEL))


def completion(package, total):
    return Box(CAPTION, b"Installatie volledig!\r\n\r\nDe gegevensbestanden werden ook in de map "
               b"C:\\windows\\TOLVERAN\\LUMIVANE\\" + package.shown_folder + b" ge\xefnstalleerd.",
               (OK,))


def replace(package, total):
    return Box(b"Screen saver vervangen?", b"Er is reeds een screen saver met dezelfde naam (" +
               package.asked + b") op je systeem aanwezig.  Wil je deze vervangen?", (YES, NO))


def path_too_long(package, total):
    return Box(CAPTION, b"De installatiemap C:\\windows\\TOLVERAN\\LUMIVANE\\" + package.folder +
               b" is te lang om deze screen saver te installeren. Geef het installatieprogramma "
               b"een kortere naam en start het opnieuw op.", (OK,))


PROGRESS = Dialog(CAPTION, [
    (1, b"OK", False),
    (2, b"Cancel", False),
    (0xFFFF, b"Installeren", True),
    (0xFFFF, b"Wachten aub...", True),
    (1001, b"Aurora Screen Saver", True),
])

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


def missing(library, yes):
    return Box(b"Ontbrekend bestand", library + b" Klik op de \"" + yes + b"\" toets om " +
               (b"dit bestand de" if yes == b"JA" else b"het bestand te") + b" downloaden bij " +
               SUPPORT_ADDRESS + b"/, en start daarna het installatieprogramma opnieuw op. Klik "
               b"op \"Nee\" om de screen saver toch te installeren, hoewel hij NIET zal werken! "
               b"Klik op \"Annuleer\" om de installatie af te breken.", (YES, NO, CANCEL))


OPENGL_MISSING = missing(b"Deze screen saver gebruikt het bestand OPENGL32.DLL.", b"JA")
GLU_MISSING = missing(b"Deze screen saver draait niet zonder het bestand GLU32.DLL.", b"Ja")
OUTDATED = Box(b"Veroudert bestand",
               b"Het OPENGL32.DLL bestand op je systeem is veroudert. Doorgaan ?", (YES, NO))
NO_CONNECTION = Box(SUPPORT_ADDRESS, b"Kan geen verbinding maken met de website.", (OK,))

# The demo screen saver's own box, shown when it is started without arguments.
DEMO_SETTINGS = Box(
    b"Aurora Screen Saver",
    b"Aurora Screen Saver\r\n\r\nNoorderlicht boven een sterrenhemel. De snelheid, het aantal "
    b"lichtgordijnen, de sterren en de kleur staan in het bestand AURORA.DAT.", (OK,))

INSTALL = [confirmation, PROGRESS, completion, ORDER_INFO]  # the windows of an installation

# --- The scenarios ------------------------------------------------------------------------

# The prefix's web browser (the program registered for http): the probe, which records how
# it was started, or a program that is not there, so that ShellExecuteA fails.
BROWSER = "C:\\tools\\BROWSER.EXE"
NO_BROWSER = "C:\\tools\\NOWHERE.EXE"
# How a 3D library is made missing or outdated for the package alone: per-application DLL
# overrides ("" disables a library; "n" takes the stand-in in the system directory instead
# of Wine's own) and stand-ins without glGenTextures in place of Wine's files there. Wine's
# GLU32 needs its OPENGL32, so with OPENGL32 missing a stand-in GLU32 is the one present.
WITHOUT_OPENGL = dict(dll_overrides={"opengl32": "", "glu32": "n"}, in_system=("GLU32.DLL",))
OUTDATED_OPENGL = dict(dll_overrides={"opengl32": "n"}, in_system=("OPENGL32.DLL",))
WITHOUT_GLU = dict(dll_overrides={"glu32": ""})
# One beside the package, where "n,b" would prefer it to Wine's: the installer never looks there.
PLANTED_OPENGL = dict(dll_overrides={"opengl32": "n,b"}, beside=("OPENGL32.DLL",))
OLD_SAVER = b"an older screen saver"


@dataclass
class Scenario:
    answers: list                 # button ids, one per window with buttons, in order
    windows: list                 # Box, Dialog, or f(package, installed total) -> Box
    installs: bool = True         # else nothing may be written
    exit_code: int = 0
    package: Package = AURORA
    saver: str = "probe"          # the packed screen saver: "probe" or "demo"
    existing: dict = field(default_factory=dict)  # file in the Windows directory -> bytes
    cut_bytes: int = 0            # cut from the package's end
    dll_overrides: dict = field(default_factory=dict)  # Wine's, for the package alone
    in_system: tuple = ()         # stand-in 3D libraries (no glGenTextures) in the system folder
    beside: tuple = ()            # the same, beside the package
    browser: str = BROWSER        # registered for http
    opens_page: bool = False      # the browser is asked to open the support-files address


SCENARIOS = {
    "full_install": Scenario([OK, OK, OK], INSTALL),
    "cancel_at_confirmation": Scenario([CANCEL], [confirmation], installs=False),
    "existing_answered_yes": Scenario([YES, OK, OK, OK], [replace] + INSTALL,
                                      existing={"AURORA.SCR": OLD_SAVER}),
    "existing_answered_no": Scenario([NO, OK], [replace, RENAME], installs=False,
                                     existing={"AURORA.SCR": OLD_SAVER}),
    "damaged_package": Scenario([OK], [DAMAGED], installs=False, exit_code=2, cut_bytes=100),
    "opengl_missing_no": Scenario([NO, OK, OK, OK], [OPENGL_MISSING] + INSTALL, **WITHOUT_OPENGL),
    "opengl_missing_cancel": Scenario([CANCEL], [OPENGL_MISSING], installs=False, **WITHOUT_OPENGL),
    "opengl_missing_download": Scenario([YES], [OPENGL_MISSING], installs=False, opens_page=True,
                                        **WITHOUT_OPENGL),
    "download_page_fails": Scenario([YES, OK], [OPENGL_MISSING, NO_CONNECTION], installs=False,
                                    browser=NO_BROWSER, **WITHOUT_OPENGL),
    "opengl_outdated_no": Scenario([NO], [OUTDATED], installs=False, **OUTDATED_OPENGL),
    "opengl_outdated_yes": Scenario([YES, OK, OK, OK], [OUTDATED] + INSTALL, **OUTDATED_OPENGL),
    "glu_missing": Scenario([NO, OK, OK, OK], [GLU_MISSING] + INSTALL, **WITHOUT_GLU),
    "opengl_planted_beside": Scenario([OK, OK, OK], INSTALL, **PLANTED_OPENGL),
    "dotted_name": Scenario([YES, OK, OK, OK], [replace] + INSTALL, package=DOTTED,
                            existing={"MY.SCR": OLD_SAVER}),
    "long_name": Scenario([OK], [path_too_long], installs=False, exit_code=1, package=LONG),
    "demo_saver": Scenario([OK, OK, OK, OK], INSTALL + [DEMO_SETTINGS], saver="demo"),
}

# --- Inputs -------------------------------------------------------------------------------

# The probe package: the probe padded to SAVER_SIZE, a data file and one extra file.
SAVER_SIZE = 200_000
DATA_SIZE = 2_000_000
EXTRA_SIZE = 145_678


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


def saver_inputs(kind, options):
    """The files packed for a kind of screen saver, in packing order: saver, data, extras."""
    if kind == "demo":  # letters to decode keep the progress panel up long enough to be seen
        demo = Path(options.demo)
        return {"AURORA.SCR": demo.read_bytes(),
                "AURORA.DAT": (demo.parent / "AURORA.DAT").read_bytes(),
                "LEESMIJ.TXT": sample_letters(DATA_SIZE, 1)}
    saver = Path(options.probe).read_bytes()
    if len(saver) > SAVER_SIZE:
        raise RuntimeError(f"the probe screen saver is larger than {SAVER_SIZE} bytes")
    return {"AURORA.SCR": saver + bytes(SAVER_SIZE - len(saver)),  # trailing bytes don't matter
            "AURORA.DAT": sample_letters(DATA_SIZE, 1),
            "LEESMIJ.TXT": sample_text(EXTRA_SIZE, 2)}


def pack(options, kind, folder):
    """Writes the inputs of a kind of screen saver and packs them as folder/package.exe."""
    folder.mkdir(parents=True, exist_ok=True)
    paths = []
    for name, contents in saver_inputs(kind, options).items():
        (folder / name).write_bytes(contents)
        paths.append(str(folder / name))
    command = [options.scrpkg, "pack", "-q", "--stub", options.stub, "-o",
               str(folder / "package.exe"), "--name", "Aurora"] + paths
    if subprocess.run(command, check=False).returncode != 0:
        raise RuntimeError(f"scrpkg pack refused {options.stub}")


def prepare(names, options, work):
    """Packs once per kind of screen saver, then gives each scenario its package."""
    for kind in sorted({SCENARIOS[name].saver for name in names}):
        pack(options, kind, work / "packages" / kind)
    for name in names:
        scenario = SCENARIOS[name]
        folder = work / name
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
        contents = (work / "packages" / scenario.saver / "package.exe").read_bytes()
        (folder / scenario.package.file).write_bytes(contents[:len(contents) - scenario.cut_bytes])


def inputs_of(work, scenario):
    folder = work / "packages" / scenario.saver
    return {p.name: p.read_bytes() for p in sorted(folder.iterdir()) if p.name != "package.exe"}

# --- The prefix for one scenario ----------------------------------------------------------


def reg_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def add_registry_key(hive, key, values):
    """Appends a key with string values to a prefix's registry file, read at Wine's next start."""
    lines = ["\n[" + key.replace("\\", "\\\\") + "] 0"]
    lines += [f"{'@' if name == '@' else reg_string(name)}={reg_string(value)}"
              for name, value in values.items()]
    with open(hive, "a", encoding="ascii") as out:
        out.write("\n".join(lines) + "\n")


def furnish(session, scenario, options, work):
    """Puts the scenario's package, files and settings into a fresh copy of the prefix."""
    package = session.drive_c / "pkg"
    package.mkdir()
    shutil.copyfile(work / scenario.package.file, package / scenario.package.file)
    system = session.windows / "system32"  # the stub's in both runs: each prefix has its bits
    for folder, libraries in ((package, scenario.beside), (system, scenario.in_system)):
        for library in libraries:  # Wine's own is a hard link into the template: unlinked first
            (folder / library.lower()).unlink(missing_ok=True)
            shutil.copyfile(Path(options.fake_gl) / library, folder / library.lower())
    for name, contents in scenario.existing.items():
        (session.windows / name).write_bytes(contents)
    (session.drive_c / "tools").mkdir()
    shutil.copyfile(options.probe, session.drive_c / "tools" / "BROWSER.EXE")
    add_registry_key(session.prefix / "system.reg", r"Software\Classes\http\shell\open\command",
                     {"@": scenario.browser + " %1"})
    if scenario.dll_overrides:
        add_registry_key(session.prefix / "user.reg",
                         rf"Software\Wine\AppDefaults\{scenario.package.file}\DllOverrides",
                         scenario.dll_overrides)

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


def check_centred(window, failures, what):
    left, top, right, bottom = window["rect"]
    width, height = right - left, bottom - top
    failures.expect(width > 0 and height > 0, f"{what}: empty rectangle {window['rect']}")
    failures.equal((left, top), (SCREEN_WIDTH // 2 - width // 2, SCREEN_HEIGHT // 2 - height // 2),
                   f"{what}: left and top of a centred {width} x {height} window")


def check_window(window, expected, failures, what):
    failures.equal(window["class"], b"#32770", f"{what}: class")
    if isinstance(expected, Dialog):
        failures.equal(window["text"], expected.text, f"{what}: window text")
        controls = [(c["id"], c["text"], c["visible"]) for c in window["controls"]]
        failures.equal(controls, expected.controls, f"{what}: controls")
        check_centred(window, failures, what)
        return
    failures.equal(window["text"], expected.caption, f"{what}: caption")
    texts = [c["text"] for c in window["controls"] if c["id"] == 0xFFFF]
    failures.equal(texts, [expected.text], f"{what}: message text")
    buttons = tuple(c["id"] for c in window["controls"]
                    if c["class"].lower() == b"button" and c["visible"])
    failures.equal(buttons, expected.buttons, f"{what}: visible buttons")


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
    in_desktop = False
    for line in (prefix / "user.reg").read_bytes().split(b"\n"):
        if line.startswith(b"["):
            in_desktop = line.startswith(b"[Control Panel\\\\Desktop]")
        elif in_desktop and line.strip() == b'"ScreenSaveActive"="1"':
            return True
    return False


def installed_files(windows):
    """What an installation may write, by path in lower case, with the bytes: the screen
    savers in the Windows directory and everything under its TOLVERAN folder."""
    found = list(windows.glob("*.[sS][cC][rR]"))
    for entry in windows.iterdir():
        if entry.name.lower() == "tolveran":
            found += [p for p in entry.rglob("*") if p.is_file()]
    return {str(p.relative_to(windows)).lower(): p.read_bytes() for p in found}


def launches(session):
    """The probe's records: one dict per start."""
    log = session.drive_c / "PROBE.LOG"
    records = log.read_bytes().split(b"end\r\n") if log.exists() else []
    return [dict(line.split(b"=", 1) for line in r.split(b"\r\n") if b"=" in line)
            for r in records if r]


def expected_launches(scenario):
    """What the probe must record: the installed screen saver started by name, without
    arguments, shown; or the browser asked for the support-files address, maximised."""
    expected = []
    if scenario.installs and scenario.saver == "probe":
        saver = scenario.package.saver
        expected.append({b"module": b"C:\\windows\\" + saver, b"command": saver,
                         b"arguments": b"", b"show": SW_SHOW})
    if scenario.opens_page:
        expected.append({b"module": BROWSER.encode(), b"arguments": SUPPORT_ADDRESS,
                         b"show": SW_SHOWMAXIMIZED})
    return expected


def check_written(session, scenario, inputs, before, failures):
    """The Windows directory after the run: what an installation writes, or nothing new."""
    expected = dict(before)
    package = scenario.package
    if scenario.installs:
        folder = "tolveran/lumivane/" + package.folder.decode().lower()
        expected[package.saver.decode().lower()] = inputs["AURORA.SCR"]
        expected[f"{folder}/{package.folder.decode().lower()}.dat"] = inputs["AURORA.DAT"]
        if "LEESMIJ.TXT" in inputs:
            expected[f"{folder}/file0003.txt"] = inputs["LEESMIJ.TXT"]
    after = installed_files(session.windows)
    changed = {name for name in set(after) | set(expected) if after.get(name) != expected.get(name)}
    failures.equal(sorted(changed), [], "files written, changed or missing, against what was due")
    saver_path = b"C:\\windows\\" + package.saver if scenario.installs else None
    failures.equal(ini_value(session.windows / "system.ini", b"boot", b"SCRNSAVE.EXE"), saver_path,
                   "system.ini [boot] SCRNSAVE.EXE")
    failures.equal(screen_saving_switched_on(session.prefix), scenario.installs,
                   "screen saving switched on")
    records, expected_records = launches(session), expected_launches(scenario)
    seen = [{k: r.get(k) for k in e} for r, e in zip(records, expected_records)]
    failures.equal(seen + records[len(expected_records):], expected_records, "launches")

# --- Running ------------------------------------------------------------------------------


def run_scenario(name, options, work, template):
    """Runs one scenario on a copy of the template prefix; returns (passed, report)."""
    scenario = SCENARIOS[name]
    folder = work / name
    prefix = Path(options.prefixes or work) / name / "prefix"
    wine_session.copy_prefix(template, prefix)
    session = wine_session.Session(prefix, options.wine, options.driver, folder)
    furnish(session, scenario, options, folder)
    before = installed_files(session.windows)
    code, events = session.run_driver("C:\\pkg\\" + scenario.package.file, scenario.answers)

    failures = Failures()
    failures.equal(code, scenario.exit_code, "exit code of the installer (driver's own: 90-95)")
    failures.expect(session.ended_alone, "processes still running in the prefix after the run")
    windows = [e for e in events if e["event"] == "window"]
    failures.equal(len(windows), len(scenario.windows), "number of windows")
    total = sum(len(c) for c in inputs_of(work, scenario).values())
    for index, (window, expected) in enumerate(zip(windows, scenario.windows)):
        if callable(expected):
            expected = expected(scenario.package, total)
        check_window(window, expected, failures, f"window {index + 1}")
    check_written(session, scenario, inputs_of(work, scenario), before, failures)
    return report(name, failures, folder, prefix)


def report(name, failures, folder, prefix):
    if not failures.items:
        shutil.rmtree(prefix, ignore_errors=True)
        return True, f"{name}: passed"
    lines = [f"{name}: {len(failures.items)} failure(s)"] + ["  - " + i for i in failures.items]
    for log in ("driver.jsonl", "driver.out"):
        if (folder / log).exists():
            lines += [f"--- {log}", (folder / log).read_text(errors="replace")]
    return False, "\n".join(lines)


def run_suite(names, options, work):
    """Makes the template prefix, then runs the scenarios on copies, `jobs` at a time."""
    started = time.monotonic()
    template = Path(options.prefixes or work) / "template"
    wine_session.make_prefix(template, options.wine, options.winearch)
    print(f"prefix made in {time.monotonic() - started:.0f} s", flush=True)
    with ThreadPoolExecutor(max_workers=options.jobs) as pool:
        results = pool.map(lambda name: run_scenario(name, options, work, template), names)
        passed = 0
        for ok, text in results:
            print(text, flush=True)
            passed += ok
    print(f"{passed} of {len(names)} scenarios passed in {time.monotonic() - started:.0f} s")
    return 0 if passed == len(names) else 1


def stage_tools(options, work):
    """Copies the tools the suite inside the VM reads into WORK/tools: the VM's fresh /tmp
    hides a build folder there, while it sees the work folder wherever that lies."""
    tools = work / "tools"
    shutil.rmtree(tools, ignore_errors=True)
    tools.mkdir()
    staged = {t: shutil.copy2(getattr(options, t), tools) for t in ("driver", "probe", "demo")}
    staged["fake_gl"] = shutil.copytree(options.fake_gl, tools / "fake_gl")
    return {tool: str(path) for tool, path in staged.items()}


def run_in_vm(names, options, work):
    """Packs here, then boots the VM once and runs the suite inside it, with the prefixes in
    the VM's memory; the work folder is the one host folder it can write."""
    vm = Path(options.vm).resolve()
    subprocess.run(["sh", str(vm / "setup")], check=True)
    tools = stage_tools(options, work)
    inner = [sys.executable, str(Path(__file__).resolve()), "suite", "--prepared",
             "--work", str(work), "--prefixes", "/tmp/wine", "--wine", options.wine,
             "--winearch", options.winearch or "win32", "--jobs", str(options.jobs),
             "--driver", tools["driver"], "--probe", tools["probe"], "--demo", tools["demo"],
             "--fake-gl", tools["fake_gl"]] + names
    return subprocess.run(["sh", str(vm / "run"), str(work), shlex.join(inner)],
                          check=False).returncode


def parse(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    commands.add_parser("list")
    prefix = commands.add_parser("prefix")
    prefix.add_argument("prefix")
    prefix.add_argument("--wine", required=True)
    prefix.add_argument("--winearch")
    suite = commands.add_parser("suite")
    suite.add_argument("names", nargs="*", metavar="SCENARIO")
    suite.add_argument("--work", required=True)
    suite.add_argument("--wine", required=True)
    suite.add_argument("--winearch")
    for tool in ("driver", "probe", "demo", "fake-gl"):  # fake-gl: the stand-ins' folder
        suite.add_argument("--" + tool, required=True)
    suite.add_argument("--stub")
    suite.add_argument("--scrpkg")
    suite.add_argument("--jobs", type=int, default=2)
    suite.add_argument("--vm", help="the VM tool's folder: run inside the VM")
    suite.add_argument("--prefixes", help="where the prefixes go (default: WORK)")
    suite.add_argument("--prepared", action="store_true", help="WORK holds the packages")
    options = parser.parse_args(argv)
    if options.command == "suite":
        unknown = [n for n in options.names if n not in SCENARIOS]
        if unknown:
            parser.error(f"unknown scenarios: {' '.join(unknown)}")
        if not options.prepared and not (options.stub and options.scrpkg):
            parser.error("packing needs --stub and --scrpkg")
        for tool in ("driver", "probe", "demo", "fake_gl", "stub", "scrpkg"):
            if getattr(options, tool):  # the runs happen in other folders
                setattr(options, tool, str(Path(getattr(options, tool)).resolve()))
    return options


def main(argv):
    options = parse(argv)
    if options.command == "list":
        print("\n".join(SCENARIOS))
        return 0
    if options.command == "prefix":
        wine_session.make_prefix(options.prefix, options.wine, options.winearch)
        return 0
    names = options.names or list(SCENARIOS)
    work = Path(options.work).resolve()
    if not options.prepared:
        work.mkdir(parents=True, exist_ok=True)
        prepare(names, options, work)
    if options.vm:
        return run_in_vm(names, options, work)
    return run_suite(names, options, work)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
