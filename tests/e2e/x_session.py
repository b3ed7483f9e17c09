"""What the end-to-end runs share: a private X server, commands run in it, its windows."""

import os
import shutil
import subprocess
import sys
import time

# The exit code that tells CTest the run was skipped.
SKIP = 77


class Failure(Exception):
    pass


def need(tool):
    """The path of `tool`; skips the whole run when it is missing."""
    path = shutil.which(tool)
    if not path:
        print(f"{os.path.basename(sys.argv[0])}: {tool} is missing", file=sys.stderr)
        sys.exit(SKIP)
    return path


def start_xvfb(width, height, displays):
    """Starts Xvfb on the first free display number of `displays`; (process, ":N") or (None, None)."""
    for n in displays:
        if os.path.exists(f"/tmp/.X{n}-lock") or os.path.exists(f"/tmp/.X11-unix/X{n}"):
            continue
        proc = subprocess.Popen(
            ["Xvfb", f":{n}", "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 10
        while time.time() < deadline:
            if proc.poll() is not None:
                break
            # The server is ready once a client can query it.
            if os.path.exists(f"/tmp/.X11-unix/X{n}") and subprocess.run(
                    ["xdpyinfo", "-display", f":{n}"], stdout=subprocess.DEVNULL,
                    stderr=subprocess.DEVNULL).returncode == 0:
                return proc, f":{n}"
            time.sleep(0.1)
        if proc.poll() is None:
            proc.kill()
            proc.wait()
    return None, None


def run(cmd, env, check=True, timeout=30):
    result = subprocess.run(cmd, env=env, capture_output=True, text=True, timeout=timeout)
    if check and result.returncode != 0:
        raise Failure(f"{' '.join(cmd)} failed ({result.returncode}): {result.stderr.strip()}")
    return result.stdout


def find_window(name, env, timeout=20):
    deadline = time.time() + timeout
    while time.time() < deadline:
        ids = run(["xdotool", "search", "--onlyvisible", "--name", name], env,
                  check=False).split()
        if ids:
            return ids[-1]
        time.sleep(0.2)
    raise Failure(f"no window named {name!r} appeared")


def screenshot(path, env):
    run(["import", "-window", "root", path], env)
