#!/usr/bin/env python3
"""The real reader as a process among others: books it cannot open, signals and kills.

1. A missing book on the command line: the window comes up as "리라코" and its page shows the
   notice (bright text on the black page), where a start without any book shows nothing.
2. A FIFO as the book on the command line, and as the most recent book: the window still
   comes up, with the notice.
3. SIGTERM after a page turn, and SIGHUP while the file-open dialog is open: the reader
   exits with 0 and ResentFiles.Dat holds the new place.
4. SIGKILL a few seconds after a page turn: the place was saved without quitting.

Exit code 77 means Xvfb could not be started (skipped).
"""

import argparse
import os
import shutil
import signal
import sys
import tempfile
import time

from x_session import (SKIP, WINDOW_TIMEOUT, Failure, Program, copy_program, find_window, need,
                       press_and_wait, read_rgb, reader_env, recent_places, run, screenshot,
                       start_xvfb, wait_for_window_count, window_geometry)

SCREEN_W, SCREEN_H = 1024, 900
TITLE_WITHOUT_BOOK = "^리라코$"
TITLE_OF_BOOK = "^book\\.txt( - .+)? — 리라코$"
# The notice's lines sit around the middle of the page; the menu and tool bar are far above.
NOTICE_BAND = (0.35, 0.75)
# Antialiased white glyphs on black leave this many bright pixels at the least.
NOTICE_PIXELS = 50
# How long the place may take to reach the file after a page turn on a busy machine.
SAVE_PATIENCE = 60


class Setup:
    """A program folder with the reader and a book, and the environment to run it in."""

    def __init__(self, lirako, sample, display, temp, out):
        self.out = out
        self.folder = os.path.join(temp, "program")
        os.makedirs(self.folder)
        self.prog = os.path.join(self.folder, "lirako")
        copy_program(lirako, self.prog)
        self.book = os.path.join(self.folder, "book.txt")
        shutil.copy2(sample, self.book)
        self.recent = os.path.join(self.folder, "ResentFiles.Dat")
        self.env = reader_env(display, temp)

    def start(self, label, args):
        return Program(self.prog, args, self.env, os.path.join(self.out, f"{label}.log"))

    def forget(self):
        if os.path.exists(self.recent):
            os.remove(self.recent)


def bright_pixels(setup, wid, label):
    """Bright pixels in the middle band of the window."""
    shot = os.path.join(setup.out, f"{label}.png")
    screenshot(shot, setup.env)
    x, y, w, h = window_geometry(wid, setup.env)
    screen = read_rgb(shot, SCREEN_W, SCREEN_H, setup.env)
    count = 0
    for row in range(y + int(h * NOTICE_BAND[0]), min(y + int(h * NOTICE_BAND[1]), SCREEN_H)):
        for col in range(max(x, 0), min(x + w, SCREEN_W)):
            i = (row * SCREEN_W + col) * 3
            if min(screen[i:i + 3]) > 128:
                count += 1
    return count


def notice_shown(setup, label, args, expected=True):
    """Starts the reader with `args`, waits for its window without a book and counts the
    page's bright pixels; when a notice is `expected`, as long as its paint may take."""
    reader = setup.start(label, args)
    try:
        wid = find_window(TITLE_WITHOUT_BOOK, setup.env, program=reader)
        time.sleep(2.0)
        deadline = time.time() + WINDOW_TIMEOUT
        count = bright_pixels(setup, wid, label)
        while expected and count < NOTICE_PIXELS and time.time() < deadline:
            time.sleep(0.5)
            count = bright_pixels(setup, wid, label)
        run(["xdotool", "windowfocus", "--sync", wid], setup.env)
        run(["xdotool", "key", "--clearmodifiers", "ctrl+q"], setup.env)
        code = reader.wait()
    finally:
        reader.kill()
    if code != 0:
        raise Failure(f"{label}: the reader exited with {code}; its log:\n{reader.log_text()}")
    print(f"{label}: {count} bright pixels in the middle of the page")
    return count


def turn_page(setup, label):
    """Starts the reader on the book and, once its first page is painted, turns one page;
    the running reader."""
    reader = setup.start(label, [setup.book])
    wid = find_window(TITLE_OF_BOOK, setup.env, program=reader)
    deadline = time.time() + WINDOW_TIMEOUT
    while bright_pixels(setup, wid, label) < NOTICE_PIXELS:
        if time.time() > deadline:
            raise Failure(f"{label}: the book's first page never appeared")
        time.sleep(0.3)
    run(["xdotool", "windowfocus", "--sync", wid], setup.env)
    press_and_wait(setup.env, "Down")
    return reader


def saved_place(setup):
    recent = recent_places(setup.recent)
    return recent[0][1] if recent and recent[0][0] == setup.book else None


def quits_on(setup, sig, label, dialog_key=None):
    """Turns a page, opens a dialog with `dialog_key` when given, and sends `sig`."""
    setup.forget()
    reader = turn_page(setup, label)
    try:
        time.sleep(1.0)
        if dialog_key:
            run(["xdotool", "key", "--clearmodifiers", dialog_key], setup.env)
            wait_for_window_count(reader, 2, setup.env)
            time.sleep(1.0)
        reader.proc.send_signal(sig)
        code = reader.wait()
    finally:
        reader.kill()
    place = saved_place(setup)
    print(f"{label}: exit code {code}, saved place {place}")
    if code != 0:
        raise Failure(f"{label}: the reader exited with {code}; its log:\n{reader.log_text()}")
    if not place:
        raise Failure(f"{label}: ResentFiles.Dat holds {recent_places(setup.recent)}")


def survives_kill(setup):
    setup.forget()
    reader = turn_page(setup, "kill")
    try:
        deadline = time.time() + SAVE_PATIENCE
        while not saved_place(setup) and time.time() < deadline:
            time.sleep(0.5)
        reader.proc.send_signal(signal.SIGKILL)
        reader.wait()
    finally:
        reader.kill()
    place = saved_place(setup)
    print(f"kill: saved place {place}")
    if not place:
        raise Failure(f"kill: {SAVE_PATIENCE} s after a page turn ResentFiles.Dat holds "
                      f"{recent_places(setup.recent)}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lirako", required=True)
    parser.add_argument("--samples", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool", "xwininfo", "import", "convert"):
        need(tool)
    xvfb, display = start_xvfb(SCREEN_W, SCREEN_H)
    if not xvfb:
        print("process_e2e: Xvfb could not start", file=sys.stderr)
        return SKIP
    temp = tempfile.mkdtemp(prefix="lirako-process-e2e-")
    try:
        os.makedirs(args.out, exist_ok=True)
        setup = Setup(args.lirako, os.path.join(args.samples, "byeolbit.txt"), display, temp,
                      args.out)

        blank = notice_shown(setup, "no-book", [], expected=False)
        missing = notice_shown(setup, "missing-book", [os.path.join(setup.folder, "gone.txt")])
        if blank >= NOTICE_PIXELS or missing < NOTICE_PIXELS:
            raise Failure(f"a missing book shows {missing} bright pixels, no book {blank}")

        # The book read last becomes a FIFO: neither start may wait for a writer.
        quits_on(setup, signal.SIGTERM, "sigterm")
        os.remove(setup.book)
        os.mkfifo(setup.book)
        for label, start_args in (("fifo-recent", []), ("fifo-argument", [setup.book])):
            if notice_shown(setup, label, start_args) < NOTICE_PIXELS:
                raise Failure(f"{label}: the page shows no notice")
        os.remove(setup.book)
        shutil.copy2(os.path.join(args.samples, "byeolbit.txt"), setup.book)

        # From inside the file-open dialog's own event loop.
        quits_on(setup, signal.SIGHUP, "sighup", dialog_key="ctrl+o")
        survives_kill(setup)
        print("process_e2e: passed")
        return 0
    except Failure as failure:
        print(f"process_e2e: {failure}", file=sys.stderr)
        return 1
    finally:
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(temp, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
