#!/usr/bin/env python3
"""scrpkg.exe under 64-bit Wine against the Linux build, one row per form of Windows path:
pack makes the very package the Linux build packs from the same inputs, and list --json,
test and extract -d give the same results."""
import argparse, filecmp, json, os, shutil, subprocess, sys
from pathlib import Path

LONG_NAME = "A folder whose name runs well past the eight and three of old names " * 2


def windows(path, work=None):
    return "Z:" + str(path).replace("/", "\\")


# label, folder name, a path as scrpkg.exe is given it (run in `work`), display name
ROWS = [
    ("drive letter, backslashes, spaces", "Saver Files", windows, "Aurora"),
    ("forward slashes", "Forward", lambda p, work: "Z:" + str(p), "Aurora"),
    ("relative to the current folder", "Relative One",
     lambda p, work: str(p.relative_to(work)).replace("/", "\\"), "Aurora"),
    ("long names, a display name with ï and é", LONG_NAME.strip(), windows, "Café naïf"),
]


def run(command, cwd, env=None):
    done = subprocess.run(command, cwd=cwd, env=env, capture_output=True, timeout=300)
    return done.returncode, done.stdout.decode("utf-8").replace("\r\n", "\n")


def same_tree(a, b):
    diff = filecmp.dircmp(a, b)
    if diff.left_only or diff.right_only or diff.funny_files:
        return False
    if filecmp.cmpfiles(a, b, diff.common_files, shallow=False)[1:] != ([], []):
        return False
    return all(same_tree(Path(a, d), Path(b, d)) for d in diff.common_dirs)


def check_row(args, work, env, label, name, form, display):
    folder = work / name
    shutil.rmtree(folder, ignore_errors=True)
    for side in ("linux", "windows"):
        (folder / side).mkdir(parents=True)
    inputs = [Path(shutil.copy(f, folder)) for f in args.inputs]
    tools = {"linux": ([args.scrpkg], str),
             "windows": ([args.wine, args.scrpkg_exe], lambda p: form(p, work))}
    results = {}
    for side, (tool, path) in tools.items():
        package = folder / side / "AURORA.EXE"
        pack = run(tool + ["pack", "-o", path(package), "--name", display]
                   + [path(f) for f in inputs], work, env)
        listed = run(tool + ["list", "--json", path(package)], work, env)
        tested = run(tool + ["test", path(package)], work, env)
        extracted = run(tool + ["extract", path(package), "-d", path(folder / side / "out")], work, env)
        listing = json.loads(listed[1]) if listed[0] == 0 else {}
        listing.pop("package", None)
        results[side] = (pack[0], package.read_bytes() if package.exists() else b"", listing,
                         tested[0], tested[1].replace(path(package), "PACKAGE"), extracted[0])
    problems = [what for what, same in [
        ("results differ", results["linux"] == results["windows"]),
        ("display name", results["windows"][2].get("display_name") == display),
        ("extracted files differ", same_tree(folder / "linux" / "out", folder / "windows" / "out")),
    ] if not same]
    for problem in problems:
        print(f"{label}: {problem}", file=sys.stderr)
    return not problems


def main():
    parser = argparse.ArgumentParser()
    for option in ("--wine", "--scrpkg", "--scrpkg-exe", "--work"):
        parser.add_argument(option, required=True)
    parser.add_argument("inputs", nargs="+")
    args = parser.parse_args()
    args.scrpkg = str(Path(args.scrpkg).resolve())
    work = Path(args.work).resolve()
    work.mkdir(parents=True, exist_ok=True)
    env = dict(os.environ, WINEPREFIX=str(work / "prefix"), WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=")
    passed = [check_row(args, work, env, *row) for row in ROWS]
    shutil.rmtree(work / "prefix", ignore_errors=True)  # hundreds of megabytes
    print(f"{sum(passed)} of {len(ROWS)} path forms agree with the Linux build")
    return 0 if all(passed) else 1


if __name__ == "__main__":
    sys.exit(main())
