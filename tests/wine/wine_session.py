"""Running a packaged installer under Wine, headless, through the automation driver.

A session owns one Wine prefix, seeded with the null graphics driver before its first start
(no display needed; the screen is then 1024 x 768). The driver's JSON Lines log carries each
window text byte as a code point below 256, so texts come back here as the exact ANSI bytes.
"""

import json
import os
import shutil
import subprocess
from pathlib import Path

NULL_DRIVER_USER_REG = ('WINE REGISTRY Version 2\n\n'
                        '[Software\\\\Wine\\\\Drivers]\n"Graphics"="null"\n')

# Folders of Wine's own program files: never written after the prefix is made, so copies of a
# prefix share them by hard links; everything else is copied for real.
SHARED_FOLDERS = ("drive_c/windows/system32", "drive_c/windows/syswow64", "drive_c/windows/winsxs")


def wine_environment(prefix, winearch=None):
    env = dict(os.environ, WINEPREFIX=str(prefix), WINEDEBUG="-all")
    env.pop("DISPLAY", None)  # the prefix draws with the null driver: no display involved
    if winearch:
        env["WINEARCH"] = winearch
    return env


def wineserver_for(wine):
    """The wineserver that belongs to the given wine loader, falling back to the PATH's."""
    folder = Path(wine).parent if os.sep in str(wine) else None
    if folder is not None and (folder / "wineserver").exists():
        return str(folder / "wineserver")
    return shutil.which("wineserver") or "/usr/lib/wine/wineserver"


def make_prefix(prefix, wine, winearch=None):
    prefix = Path(prefix)
    shutil.rmtree(prefix, ignore_errors=True)
    prefix.mkdir(parents=True)
    (prefix / "user.reg").write_text(NULL_DRIVER_USER_REG)
    env = wine_environment(prefix, winearch)
    # No .NET or HTML engine to set up, no desktop menu entries to write: quicker.
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml=;winemenubuilder.exe=d"
    # On a slow machine wineboot may report a timed-out wait and still finish the prefix:
    # what counts is what it leaves behind.
    booted = subprocess.run([wine, "wineboot", "-i"], env=env, check=False, timeout=900,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait_for_wineserver(prefix, wine)
    if not (prefix / "drive_c/windows/system.ini").exists():
        raise RuntimeError(f"wineboot (status {booted.returncode}) made no prefix in {prefix}")


def wait_for_wineserver(prefix, wine, timeout=120):
    """Waits until every process of the prefix has ended and the registry is saved; ends
    them all when that takes longer than `timeout` seconds. True when they ended alone."""
    server = wineserver_for(wine)
    env = wine_environment(prefix)
    try:
        subprocess.run([server, "-w"], env=env, timeout=timeout, check=False)
        return True
    except subprocess.TimeoutExpired:
        subprocess.run([server, "-k"], env=env, timeout=60, check=False)
        return False


def copy_prefix(template, prefix):
    """A copy of a prefix for one run; the template stays as it is."""
    template, prefix = Path(template), Path(prefix)
    shutil.rmtree(prefix, ignore_errors=True)
    skip = {str(template / shared) for shared in SHARED_FOLDERS}

    def ignore(folder, names):
        return [n for n in names if os.path.join(folder, n) in skip]

    shutil.copytree(template, prefix, symlinks=True, ignore=ignore)
    for shared in SHARED_FOLDERS:
        if (template / shared).is_dir():
            shutil.copytree(template / shared, prefix / shared, symlinks=True,
                            copy_function=os.link)


def windows_path(host_path):
    """A host path as Wine's Z: drive spells it."""
    return "Z:" + str(Path(host_path).resolve()).replace("/", "\\")


# The fields that carry window texts and class names; everything else stays text.
BYTE_FIELDS = ("text", "class")


def read_log(path):
    """The driver's events, with window texts and class names as bytes."""
    events = []
    for line in Path(path).read_text(encoding="ascii").splitlines():
        if line.strip():
            events.append(_texts_to_bytes(json.loads(line)))
    return events


def _texts_to_bytes(value):
    if isinstance(value, list):
        return [_texts_to_bytes(v) for v in value]
    if isinstance(value, dict):
        return {k: v.encode("latin-1") if k in BYTE_FIELDS and isinstance(v, str)
                else _texts_to_bytes(v) for k, v in value.items()}
    return value


class Session:
    def __init__(self, prefix, wine, driver, work):
        self.prefix = Path(prefix)
        self.wine = wine
        self.driver = driver
        self.work = Path(work)
        self.drive_c = self.prefix / "drive_c"
        self.windows = self.drive_c / "windows"

    def run_driver(self, program_windows_path, answers, timeout=180):
        """Runs the program under the driver; returns (driver exit code, events)."""
        log = self.work / "driver.jsonl"
        log.unlink(missing_ok=True)
        command = [self.wine, self.driver, "--log", windows_path(log), "--timeout", str(timeout)]
        for answer in answers:
            command += ["--answer", str(answer)]
        command += ["--", program_windows_path]
        env = wine_environment(self.prefix)
        env["WINEDEBUG"] = "fixme-all"  # Wine's errors go to driver.out, shown on failure
        with open(self.work / "driver.out", "wb") as out:
            completed = subprocess.run(command, env=env,
                                       cwd=self.drive_c, stdout=out, stderr=subprocess.STDOUT,
                                       timeout=timeout + 60, check=False)
        self.ended_alone = wait_for_wineserver(self.prefix, self.wine)
        return completed.returncode, read_log(log) if log.exists() else []


def transcript(events):
    """The events as lines a person reads: each window with its controls, answers, exits."""
    lines = []
    for event in events:
        kind = event["event"]
        if kind == "window":
            left, top, right, bottom = event["rect"]
            lines.append(f"window {event['class'].decode('cp1252')} "
                         f"\"{event['text'].decode('cp1252')}\" at {left},{top} "
                         f"size {right - left}x{bottom - top}")
            for control in event["controls"]:
                shown = "" if control["visible"] else " (hidden)"
                text = control["text"].decode("cp1252").replace("\r\n", "\n    ")
                lines.append(f"  [{control['id']}] {control['class'].decode('cp1252')}{shown}: "
                             f"{text}")
        elif kind == "answer":
            lines.append(f"  -> answered {event['id']}")
        elif kind in ("start", "process", "exit", "done", "error"):
            fields = ", ".join(f"{k}={v}" for k, v in event.items() if k != "event")
            lines.append(f"{kind}: {fields}")
    return "\n".join(lines)


if __name__ == "__main__":
    import sys
    if len(sys.argv) != 3 or sys.argv[1] != "transcript":
        sys.exit("usage: wine_session.py transcript DRIVER_LOG.jsonl")
    print(transcript(read_log(sys.argv[2])))
