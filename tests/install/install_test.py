#!/usr/bin/env python3
"""Installs the build into a temporary DESTDIR under the prefix /usr and checks it.

Every file a desktop needs is there (programs, desktop entry, icons, AppStream metadata,
manual pages), the desktop entry passes desktop-file-validate and the metadata
`appstreamcli validate --no-net`, and both installed programs answer --version (without a
display), the reader refusing an unknown option with exit status 2.
Exit code 77 means a validator is missing (skipped).
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

SKIP = 77
APP_ID = "io.github.lirako.Lirako"
EXPECTED = [
    "usr/bin/lirako",
    "usr/bin/lirakotool",
    f"usr/share/applications/{APP_ID}.desktop",
    f"usr/share/metainfo/{APP_ID}.metainfo.xml",
    f"usr/share/icons/hicolor/scalable/apps/{APP_ID}.svg",
    f"usr/share/icons/hicolor/48x48/apps/{APP_ID}.png",
    f"usr/share/icons/hicolor/128x128/apps/{APP_ID}.png",
    f"usr/share/icons/hicolor/256x256/apps/{APP_ID}.png",
    "usr/share/man/man1/lirako.1",
    "usr/share/man/man1/lirakotool.1",
]
# The desktop entry's keys a menu and a file manager read.
ENTRY_LINES = ["Name=Lirako", "Name[ko]=리라코", "Exec=lirako %f", "MimeType=text/plain;",
               f"Icon={APP_ID}"]


class Failure(Exception):
    pass


def run(cmd, env=None):
    return subprocess.run(cmd, env=env, capture_output=True, text=True, timeout=120)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        raise Failure(f"{path} is not a PNG")
    return int.from_bytes(head[16:20], "big"), int.from_bytes(head[20:24], "big")


def check(root, version):
    for name in EXPECTED:
        if not os.path.isfile(os.path.join(root, name)):
            raise Failure(f"{name} was not installed")
    for size in (48, 128, 256):
        got = png_size(os.path.join(root, f"usr/share/icons/hicolor/{size}x{size}/apps/{APP_ID}.png"))
        if got != (size, size):
            raise Failure(f"the {size} pixel icon is {got[0]}x{got[1]}")
    entry = os.path.join(root, f"usr/share/applications/{APP_ID}.desktop")
    with open(entry, encoding="utf-8") as f:
        lines = f.read().splitlines()
    for line in ENTRY_LINES:
        if line not in lines:
            raise Failure(f"the desktop entry lacks {line!r}")
    for cmd in (["desktop-file-validate", entry],
                ["appstreamcli", "validate", "--no-net",
                 os.path.join(root, f"usr/share/metainfo/{APP_ID}.metainfo.xml")]):
        result = run(cmd)
        if result.returncode != 0:
            raise Failure(f"{' '.join(cmd[:2])}: {result.stdout}{result.stderr}")

    # No display: the options are read before the window system is reached.
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env["QT_QPA_PLATFORM"] = ""
    for program in ("lirako", "lirakotool"):
        result = run([os.path.join(root, "usr/bin", program), "--version"], env)
        if result.returncode != 0 or result.stdout != f"{program} {version}\n":
            raise Failure(f"{program} --version: {result.returncode} {result.stdout!r} "
                          f"{result.stderr!r}")
    result = run([os.path.join(root, "usr/bin/lirako"), "--no-such-option"], env)
    if result.returncode != 2 or "no-such-option" not in result.stderr:
        raise Failure(f"lirako --no-such-option: {result.returncode} {result.stderr!r}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--version", required=True)
    args = parser.parse_args()
    for tool in ("desktop-file-validate", "appstreamcli"):
        if not shutil.which(tool):
            print(f"install_test: {tool} is missing", file=sys.stderr)
            return SKIP
    temp = tempfile.mkdtemp(prefix="lirako-install-")
    try:
        env = dict(os.environ, DESTDIR=temp)
        result = run(["cmake", "--install", args.build, "--prefix", "/usr"], env)
        if result.returncode != 0:
            raise Failure(f"cmake --install: {result.stdout}{result.stderr}")
        check(temp, args.version)
        print("install_test: passed")
        return 0
    except Failure as failure:
        print(f"install_test: {failure}", file=sys.stderr)
        return 1
    finally:
        shutil.rmtree(temp, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
