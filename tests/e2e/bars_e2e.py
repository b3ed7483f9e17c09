#!/usr/bin/env python3
"""Drives the find bar, the bookmark name dialog and the jump bar of the real reader under
Xvfb with the keyboard.

The settings give application buttons 1, 2 and 3 (F1, F2, F3) the functions find, set
bookmark and jump. The reader opens the sample book; F1 opens the find bar, a Korean word
that occurs once, deep in the book, is typed, Tab and Space press "다음 찾기", Escape
leaves. F2 proposes a bookmark name for the page and Return takes it. F3 opens the jump bar
and Escape leaves it. Ctrl+Q quits. ResentFiles.Dat must then hold the book at the line of
the hit, with one bookmark there under the proposed name: the first ten characters of that
line and the percentage.

Screenshots of each dialog over the page are left in the output folder. Exit code 77 means
a tool is missing or Xvfb could not be started (the test is skipped).
"""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

from x_session import (SKIP, Failure, Program, copy_program, find_window, map_keysyms, need,
                       read_recent, reader_env, run, screen_pixels, screenshot, start_xvfb,
                       wait_for_window_count, window_geometry)

SCREEN_W, SCREEN_H = 800, 600
WORD = "열두째"
# A text cursor's blink, on and off, and how often a character is typed before the bar is
# taken to refuse it.
BLINK_SECONDS = 1.1
TYPING_ATTEMPTS = 3
# Offsets in SetParam.Dat.
HARDWARE_BUTTONS = 252
BUTTON_FUNCTIONS = 256
FIND, SET_BOOKMARK, JUMP = 7, 6, 8


def press(env, *names):
    for name in names:
        run(["xdotool", "key", "--clearmodifiers", name], env)
        time.sleep(0.5)


def open_bar(env, reader, key, typing=False):
    """Presses `key` and waits for the bar or dialog it opens, which gets the keyboard; for
    `typing`, also until its text field blinks: only then do typed keys reach it."""
    press(env, key)
    bar = wait_for_window_count(reader, 2, env)[-1]
    run(["xdotool", "windowfocus", "--sync", bar], env)
    if typing:
        wait_for_blink(env)
    return bar


def wait_for_blink(env, timeout=60):
    """Waits until a text cursor blinks: the screen goes back to the picture it showed two
    changes before. A late paint of the page, while the bar has no keyboard yet, changes it
    only once."""
    deadline = time.time() + timeout
    shown = [screen_pixels(env)]
    while True:
        now = screen_pixels(env)
        if now != shown[-1]:
            if len(shown) >= 2 and now == shown[-2]:
                return
            shown.append(now)
        if time.time() > deadline:
            raise Failure("no text cursor blinks in the bar")
        time.sleep(0.05)


def close_bar(env, reader, key, main):
    """Presses `key` in the open bar and waits until only the main window is left."""
    press(env, key)
    wait_for_window_count(reader, 1, env)
    run(["xdotool", "windowfocus", "--sync", main], env)


def ink(env, window):
    """The most dark pixels `window` shows over a blink of the text cursor: what is typed
    there, the cursor counted once whether it is on or off at a given moment."""
    x, y, width, height = window_geometry(window, env)
    most = 0
    deadline = time.time() + BLINK_SECONDS
    while True:
        gray = subprocess.run(["import", "-window", "root", "-crop",
                               f"{width}x{height}+{x}+{y}", "-depth", "8", "gray:-"],
                              env=env, capture_output=True, timeout=60).stdout
        most = max(most, sum(1 for value in gray if value < 128))
        if time.time() > deadline:
            return most
        time.sleep(0.1)


def type_text(env, text, bar):
    """Types `text` key by key on the keys map_keysyms gave its characters, each one again
    when the bar shows no new ink: a busy X server now and then drops a synthetic key."""
    for ch in text:
        if ch == " ":
            # A blank leaves no ink to see.
            run(["xdotool", "key", "space"], env)
            time.sleep(0.2)
            continue
        key = f"U{ord(ch):04X}" if ord(ch) > 0x7E else ch
        before = ink(env, bar)
        for _ in range(TYPING_ATTEMPTS):
            run(["xdotool", "key", key], env)
            # Looked at twice over: a busy reader may draw the character late.
            if any(ink(env, bar) > before for _ in range(2)):
                break
        else:
            raise Failure(f"{ch!r} typed {TYPING_ATTEMPTS} times never showed in the bar")
    time.sleep(0.5)


def f32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


def proposed_name(line, position, size):
    """The name the reader proposes: single-precision percentage with one decimal."""
    fraction = 1.0 if size == 0 else f32(f32(position) / f32(size))
    percent = "%2.1f%%" % f32(fraction * f32(100.0))
    return f"{line[:10]} [{percent}]" if line else f"[{percent}]"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lirako", required=True)
    parser.add_argument("--tool", required=True)
    parser.add_argument("--samples", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool", "xmodmap", "xwininfo", "import"):
        need(tool)
    xvfb, display = start_xvfb(SCREEN_W, SCREEN_H)
    if not xvfb:
        print("bars_e2e: Xvfb could not start", file=sys.stderr)
        return SKIP
    temp = tempfile.mkdtemp(prefix="lirako-bars-")
    reader = None
    try:
        prog_dir = os.path.join(temp, "program")
        os.makedirs(prog_dir)
        prog = os.path.join(prog_dir, "lirako")
        copy_program(args.lirako, prog)
        book = os.path.join(prog_dir, "book.txt")
        shutil.copy2(os.path.join(args.samples, "byeolbit.txt"), book)
        with open(book, "rb") as f:
            data = f.read()
        # The hit's line: its offset in the file and its text.
        target = WORD.encode("cp949")
        if data.count(target) != 1:
            raise Failure(f"the sample holds {WORD} {data.count(target)} times, not once")
        line_start = data.rfind(b"\n", 0, data.find(target)) + 1
        line_end = data.find(b"\r", line_start)
        line = data[line_start:line_end].decode("cp949")

        env = reader_env(display, temp)
        os.makedirs(args.out, exist_ok=True)

        settings = os.path.join(prog_dir, "SetParam.Dat")
        run([args.tool, "settings", "--write-defaults", settings], env)
        with open(settings, "r+b") as f:
            f.seek(HARDWARE_BUTTONS)
            f.write(struct.pack("<i", 1))
            f.seek(BUTTON_FUNCTIONS)
            f.write(struct.pack("<3i", FIND, SET_BOOKMARK, JUMP))

        map_keysyms(env, WORD)
        reader = Program(prog, [book], env, os.path.join(args.out, "bars.log"))
        wid = find_window("^book\\.txt — 리라코$", env, program=reader)
        wait_for_window_count(reader, 1, env)
        time.sleep(1.0)
        run(["xdotool", "windowfocus", "--sync", wid], env)

        bar = open_bar(env, reader, "F1", typing=True)
        type_text(env, WORD, bar)
        press(env, "Tab", "space")
        time.sleep(0.5)
        screenshot(os.path.join(args.out, "find_bar.png"), env)
        close_bar(env, reader, "Escape", wid)

        open_bar(env, reader, "F2")
        time.sleep(0.5)
        screenshot(os.path.join(args.out, "bookmark_name.png"), env)
        close_bar(env, reader, "Return", wid)

        open_bar(env, reader, "F3")
        time.sleep(0.5)
        screenshot(os.path.join(args.out, "jump_bar.png"), env)
        close_bar(env, reader, "Escape", wid)

        run(["xdotool", "windowfocus", "--sync", wid], env)
        press(env, "ctrl+q")
        code = reader.wait()
        if code != 0:
            raise Failure(f"the reader exited with {code}; its log:\n{reader.log_text()}")

        recent = read_recent(os.path.join(prog_dir, "ResentFiles.Dat"))
        if not recent or recent[0][0] != book:
            raise Failure(f"ResentFiles.Dat holds {recent}, not {book} first")
        _, saved, bookmarks = recent[0]
        expected_name = proposed_name(line, line_start, len(data))
        print(f"bars_e2e: hit line at {line_start} ({line!r}); saved position {saved}; "
              f"bookmarks {bookmarks}")
        if saved != line_start:
            raise Failure(f"saved position {saved}, the hit's line starts at {line_start}")
        if bookmarks != [(expected_name, line_start)]:
            raise Failure(f"bookmarks {bookmarks}, expected {[(expected_name, line_start)]}")
        print("bars_e2e: passed")
        return 0
    except (Failure, subprocess.TimeoutExpired) as failure:
        print(f"bars_e2e: {failure}", file=sys.stderr)
        return 1
    finally:
        if reader is not None:
            reader.kill()
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(temp, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
