#!/usr/bin/env python3
"""Reads fifteen books in the real reader window under Xvfb and reopens the first at its place.

The first book is opened and two pages are turned; fourteen other books are opened after it
(one run of the reader each), so that ResentFiles.Dat no longer holds the first. The first
book is then renamed and moved to another folder and opened again: the reader must open it
where reading stopped (it saves that place again when it quits without a key pressed), and
`lirakotool place` and `lirakotool library` must say so. Exit code 77 means Xvfb could not be
started (skipped).
"""

import argparse
import json
import os
import shutil
import sys
import tempfile

from x_session import (SKIP, Failure, Program, copy_program, find_window, need, press_and_wait,
                       reader_env, recent_places, run, start_xvfb)

OTHER_BOOKS = 14


def read(prog, book, env, out, label, keys=()):
    """One run of the reader on `book`: the keys pressed once the page is up, then Ctrl+Q."""
    reader = Program(prog, [book], env, os.path.join(out, f"{label}.log"))
    try:
        name = os.path.basename(book).replace(".", "\\.")
        wid = find_window(f"^{name}", env, program=reader)
        run(["xdotool", "windowfocus", "--sync", wid], env)
        for key in keys:
            press_and_wait(env, key)
        run(["xdotool", "key", "--clearmodifiers", "ctrl+q"], env)
        code = reader.wait()
    finally:
        reader.kill()
    if code != 0:
        raise Failure(f"{label}: the reader exited with {code}; its log:\n{reader.log_text()}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lirako", required=True)
    parser.add_argument("--tool", required=True)
    parser.add_argument("--samples", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    for tool in ("Xvfb", "xdpyinfo", "xdotool", "import"):
        need(tool)
    xvfb, display = start_xvfb(1024, 768)
    if not xvfb:
        print("library_e2e: Xvfb could not start", file=sys.stderr)
        return SKIP
    temp = tempfile.mkdtemp(prefix="lirako-e2e-")
    try:
        prog_dir = os.path.join(temp, "program")
        books = os.path.join(temp, "books")
        os.makedirs(prog_dir)
        os.makedirs(books)
        prog = os.path.join(prog_dir, "lirako")
        copy_program(args.lirako, prog)
        env = reader_env(display, temp)
        os.makedirs(args.out, exist_ok=True)
        recent_file = os.path.join(prog_dir, "ResentFiles.Dat")

        first = os.path.join(books, "book01.txt")
        shutil.copy2(os.path.join(args.samples, "byeolbit.txt"), first)
        read(prog, first, env, args.out, "first", ["Down", "Down"])
        place = recent_places(recent_file)[0][1]
        if place <= 0:
            raise Failure(f"the first book was saved at {place}")

        for n in range(2, 2 + OTHER_BOOKS):
            book = os.path.join(books, f"book{n:02}.txt")
            with open(book, "w", encoding="utf-8") as f:
                f.write("".join(f"{n}권 {i}줄: 별빛이 내리는 밤\n" for i in range(300)))
            read(prog, book, env, args.out, f"book{n:02}")
        if any(path == first for path, _ in recent_places(recent_file)):
            raise Failure("ResentFiles.Dat still holds the first book")

        moved_dir = os.path.join(temp, "moved")
        os.makedirs(moved_dir)
        moved = os.path.join(moved_dir, "첫책.txt")
        os.rename(first, moved)
        where = json.loads(run([args.tool, "place", moved, "--data", prog_dir], env))
        if where != {"file": moved, "position": place, "matched": "content"}:
            raise Failure(f"lirakotool place says {where}, not {place} by content")
        read(prog, moved, env, args.out, "reopen")
        reopened = recent_places(recent_file)[0]
        print(f"library_e2e: first book saved at {place}, reopened at {reopened[1]} "
              f"after {OTHER_BOOKS} others, renamed and moved")
        if reopened != (moved, place):
            raise Failure(f"the moved book was saved as {reopened}, not at {place}")
        listed = [json.loads(line) for line in
                  run([args.tool, "library", "--data", prog_dir], env).splitlines()]
        if len(listed) != 1 + OTHER_BOOKS or listed[0]["file"] != moved:
            raise Failure(f"lirakotool library lists {len(listed)} books, first "
                          f"{listed[0]['file'] if listed else None}")
        print("library_e2e: passed")
        return 0
    except Failure as failure:
        print(f"library_e2e: {failure}", file=sys.stderr)
        return 1
    finally:
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(temp, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
