#!/usr/bin/env python3
"""Drives the table of contents and the list of every search hit of the real reader under
Xvfb with the keyboard.

The book, made here in code page 949, has five chapters "제 N 장 ..." of short lines; the
word "바다" stands in short lines only, so each hit starts a display line whatever the
window's width. First run: Ctrl+T opens "목차" on the current (first) chapter, Down Down
Return jumps to the third; Ctrl+Q quits and ResentFiles.Dat must hold the third heading's
position. Second run (application button 1 is "찾기"): F1 opens the find bar, the word is
typed, Tab Space presses "다음 찾기", Tab Space presses "모두 찾기", Home Down Down Return
jumps to the third hit; Escape leaves the bar, Ctrl+Q quits, and the saved position must be
the third hit's line.

Exit code 77 means a tool is missing or Xvfb could not be started (the test is skipped).
"""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

from bars_e2e import BUTTON_FUNCTIONS, FIND, HARDWARE_BUTTONS, open_bar, press, type_text
from x_session import (SKIP, Failure, Program, copy_program, find_window, map_keysyms, need,
                       read_recent, reader_env, run, screenshot, start_xvfb)

SCREEN_W, SCREEN_H = 800, 600
WORD = "바다"
CHAPTERS = 5


def make_book():
    """The book's bytes, the positions of its headings and of the lines holding WORD."""
    data = b""
    headings = []
    hits = []
    for c in range(1, CHAPTERS + 1):
        headings.append(len(data))
        data += f"제 {c} 장 여름\r\n".encode("cp949")
        for n in range(30):
            if n % 7 == 3:
                hits.append(len(data))
                line = f"{WORD}를 보았다 {c}-{n}"
            else:
                line = f"길을 걸었다 {c}-{n}"
            data += line.encode("cp949") + b"\r\n"
    return data, headings, hits


def start_reader(prog, book, env, out, name):
    reader = Program(prog, [book], env, os.path.join(out, f"{name}.log"))
    wid = find_window("^book\\.txt", env, program=reader)
    time.sleep(1.5)
    run(["xdotool", "windowfocus", "--sync", wid], env)
    return reader, wid


def quit_reader(reader, wid, env):
    run(["xdotool", "windowfocus", "--sync", wid], env)
    press(env, "ctrl+q")
    code = reader.wait(timeout=20)
    if code != 0:
        raise Failure(f"the reader exited with {code}")


def saved_position(prog_dir, book):
    recent = read_recent(os.path.join(prog_dir, "ResentFiles.Dat"))
    if not recent or recent[0][0] != book:
        raise Failure(f"ResentFiles.Dat holds {recent}, not {book} first")
    return recent[0][1]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lirako", required=True)
    parser.add_argument("--tool", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool", "xmodmap", "xwininfo", "import"):
        need(tool)
    xvfb, display = start_xvfb(SCREEN_W, SCREEN_H, range(230, 300))
    if not xvfb:
        print("toc_e2e: Xvfb could not start", file=sys.stderr)
        return SKIP
    temp = tempfile.mkdtemp(prefix="lirako-toc-")
    reader = None
    try:
        prog_dir = os.path.join(temp, "program")
        os.makedirs(prog_dir)
        prog = os.path.join(prog_dir, "lirako")
        copy_program(args.lirako, prog)
        book = os.path.join(prog_dir, "book.txt")
        data, headings, hits = make_book()
        with open(book, "wb") as f:
            f.write(data)
        env = reader_env(display, temp)
        os.makedirs(args.out, exist_ok=True)
        settings = os.path.join(prog_dir, "SetParam.Dat")
        run([args.tool, "settings", "--write-defaults", settings], env)
        with open(settings, "r+b") as f:
            f.seek(HARDWARE_BUTTONS)
            f.write(struct.pack("<i", 1))
            f.seek(BUTTON_FUNCTIONS)
            f.write(struct.pack("<i", FIND))

        # The table of contents.
        reader, wid = start_reader(prog, book, env, args.out, "toc")
        press(env, "ctrl+t")
        time.sleep(0.5)
        screenshot(os.path.join(args.out, "toc.png"), env)
        press(env, "Down", "Down", "Return")
        time.sleep(0.5)
        find_window("제 3 장", env)
        quit_reader(reader, wid, env)
        saved = saved_position(prog_dir, book)
        print(f"toc_e2e: third heading at {headings[2]}; saved position {saved}")
        if saved != headings[2]:
            raise Failure(f"saved position {saved}, the third heading is at {headings[2]}")

        # Every hit, and a jump to the third.
        map_keysyms(env, WORD)
        reader, wid = start_reader(prog, book, env, args.out, "find_all")
        bar = open_bar(env, reader, "F1", typing=True)
        type_text(env, WORD, bar)
        press(env, "Tab", "space", "Tab", "space")
        time.sleep(1.0)
        screenshot(os.path.join(args.out, "find_all.png"), env)
        press(env, "Home", "Down", "Down", "Return")
        time.sleep(0.5)
        press(env, "Escape")
        quit_reader(reader, wid, env)
        saved = saved_position(prog_dir, book)
        print(f"toc_e2e: third hit's line at {hits[2]}; saved position {saved}")
        if saved != hits[2]:
            raise Failure(f"saved position {saved}, the third hit's line starts at {hits[2]}")
        print("toc_e2e: passed")
        return 0
    except (Failure, subprocess.TimeoutExpired) as failure:
        print(f"toc_e2e: {failure}", file=sys.stderr)
        return 1
    finally:
        if reader is not None and reader.poll() is None:
            reader.kill()
            reader.wait()
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(temp, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
