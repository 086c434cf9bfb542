#!/usr/bin/env python3
"""The editor against Geany, both whole programs on their own X display, as a
user starts and uses them:

- opening a 20 MB page named on the command line, until the window shows
  with the page's name in its title (two pages: 233k short lines, and 400
  lines of 50 KB), the preview off. The editor's splash stays at least 500 ms
  by design; its times are printed with and without that wait, and the
  target is on the time without it;
- opening the same pages in a program already running, through its open
  dialog (Ctrl+O, the path typed, Enter): from Enter until the title shows the
  page;
- starting with no document to the first main window, default settings
  (minus the editor's 500 ms splash);
- the memory of the whole process tree (the sum of the resident memory of
  the program and every process it started, the preview's browser
  processes included) after opening the short-lines page with default
  settings (the preview on) and a minute of typing.

Runs alternate between the two programs; each figure is the median of five
runs with the min-max, a ratio is editor/Geany of the medians (its min-max
from the runs' pairs). Every target is printed as a TARGET line that says MET
or MISSED; the script exits 1 when one is missed."""

import ctypes
import ctypes.util
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
# Run from build/bench (where the build puts it) or from the source tree.
BUILD = os.path.dirname(HERE)
if not os.path.isdir(os.path.join(BUILD, "app")):
    BUILD = os.path.join(BUILD, "build")
RUNS = int(os.environ.get("TW_BENCH_RUNS", "5"))
TYPING_S = float(os.environ.get("TW_BENCH_TYPING_S", "60"))
SPLASH_MS = 500  # the editor's splash stays at least this long
MEMORY_LIMIT_MB = 1024
PREVIEW_OFF = b"[Setting]\r\nPreview=0\r\n"
missed = 0


class X:
    def __init__(self, display):
        self.x = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                      ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                      ctypes.POINTER(ctypes.c_uint)]
        self.x.XFree.argtypes = [ctypes.c_void_p]
        self.x.XInternAtom.restype = ctypes.c_ulong
        self.x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.x.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long,
                                              ctypes.c_long, ctypes.c_int, ctypes.c_ulong,
                                              ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
                                              ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
                                              ctypes.POINTER(ctypes.c_void_p)]
        self.x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_void_p]
        # A window can go between listing and asking for its name.
        self.handler = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
        self.x.XSetErrorHandler(self.handler)
        self.d = self.x.XOpenDisplay(display.encode())
        if not self.d:
            raise RuntimeError("cannot open display " + display)
        self.root = self.x.XDefaultRootWindow(self.d)
        self.names = [self.x.XInternAtom(self.d, b"_NET_WM_NAME", 0), self.x.XInternAtom(self.d, b"WM_NAME", 0)]

    def children(self, w):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        kids, n = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.x.XQueryTree(self.d, w, ctypes.byref(root), ctypes.byref(parent), ctypes.byref(kids),
                                 ctypes.byref(n)):
            return []
        out = [kids[i] for i in range(n.value)]
        if kids:
            self.x.XFree(kids)
        return out

    def name(self, w):
        # The UTF-8 title where the program sets one (a Japanese title has
        # no Latin-1 WM_NAME), else WM_NAME.
        for atom in self.names:
            type_, fmt = ctypes.c_ulong(), ctypes.c_int()
            count, after, data = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p()
            if self.x.XGetWindowProperty(self.d, w, atom, 0, 1024, 0, 0, ctypes.byref(type_), ctypes.byref(fmt),
                                         ctypes.byref(count), ctypes.byref(after), ctypes.byref(data)) == 0:
                text = ctypes.string_at(data, count.value) if data and fmt.value == 8 else b""
                if data:
                    self.x.XFree(data)
                if text:
                    return text.decode("utf-8", "replace")
        return ""

    def viewable(self, w):
        # XWindowAttributes up to map_state (IsViewable = 2).
        class Attrs(ctypes.Structure):
            _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                        ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                        ("root", ctypes.c_ulong), ("class_", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                        ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                        ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                        ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                        ("map_state", ctypes.c_int), ("rest", ctypes.c_long * 8)]
        a = Attrs()
        if not self.x.XGetWindowAttributes(self.d, w, ctypes.byref(a)):
            return False
        return a.map_state == 2

    def shown(self, test):
        """The first viewable top-level window whose title passes test."""
        for w in self.children(self.root):
            name = self.name(w)
            if name and test(name) and self.viewable(w):
                return w
        return None


def wait_for(x, test, proc, seconds=60):
    deadline = time.perf_counter() + seconds
    while time.perf_counter() < deadline and proc.poll() is None:
        w = x.shown(test)
        if w:
            return w
        time.sleep(0.002)
    return None


def xdotool(env, *args, timeout=30):
    """Runs xdotool; False when it failed or did not finish in time."""
    try:
        return subprocess.run(["xdotool"] + list(args), env=env, timeout=timeout,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0
    except subprocess.TimeoutExpired:
        return False


def process_tree_rss_mb(pid):
    """Resident memory of pid and all its descendants."""
    parents = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open("/proc/%s/stat" % entry) as f:
                    stat = f.read()
                parents[int(entry)] = int(stat[stat.rindex(")") + 2:].split()[1])
            except (OSError, ValueError):
                pass
    tree, grew = {pid}, True
    while grew:
        grew = False
        for p, parent in parents.items():
            if parent in tree and p not in tree:
                tree.add(p)
                grew = True
    total = 0.0
    for p in tree:
        try:
            with open("/proc/%d/status" % p) as f:
                for line in f:
                    if line.startswith("VmRSS:"):
                        total += int(line.split()[1]) / 1024.0
        except OSError:
            pass
    return total


def make_pages(folder):
    short = "<p class=\"x\">あいうえお <a href=\"page.html\">link</a> <b>bold</b> text</p>\r\n".encode("utf-8")
    size = 20 * 1024 * 1024
    head = b"<html><head><meta charset=\"utf-8\"></head><body>\r\n"
    pages = {}
    path = os.path.join(folder, "short_lines_page.html")
    with open(path, "wb") as f:
        f.write(head + short * (size // len(short)))
    pages["short lines"] = path
    long_line = (short.rstrip(b"\r\n") * (51200 // len(short) + 1))[:51200] + b"\r\n"
    path = os.path.join(folder, "long_lines_page.html")
    with open(path, "wb") as f:
        f.write(head + long_line * (size // len(long_line)))
    pages["50 KB lines"] = path
    return pages


class Bench:
    def __init__(self, work, geany):
        self.work = work
        self.geany = geany
        self.run_no = 0

    def env(self, display):
        self.run_no += 1
        env = dict(os.environ)
        env.pop("QT_QPA_PLATFORM", None)
        env["DISPLAY"] = display
        env["HOME"] = os.path.join(self.work, "home")
        # Each start its own runtime folder: no editor hands its file to another.
        env["XDG_RUNTIME_DIR"] = os.path.join(self.work, "run%d" % self.run_no)
        os.makedirs(env["HOME"], exist_ok=True)
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
        return env

    def quillet(self, ini):
        # A fresh copy of the application folder, so its settings start as on
        # a first start every run.
        app = os.path.join(self.work, "app%d" % self.run_no)
        shutil.rmtree(app, ignore_errors=True)
        shutil.copytree(os.path.join(BUILD, "app"), app, symlinks=True)
        if ini is not None:
            with open(os.path.join(app, "tools", "Setting", "quillet.ini"), "wb") as f:
                f.write(ini)
        return os.path.join(app, "Quillet")

    def argv(self, program, ini, page=None):
        if program == "editor":
            return [self.quillet(ini)] + ([page] if page else [])
        conf = os.path.join(self.work, "geany-conf-%d" % self.run_no)
        return [self.geany, "-c", conf, "-i"] + ([page] if page else [])

    @staticmethod
    def main_window(program):
        if program == "editor":
            return lambda name: name.startswith("Tagwright - ")
        return lambda name: "Geany" in name

    def start(self, x, display, program, ini, page=None):
        env = self.env(display)
        argv = self.argv(program, ini, page)
        t0 = time.perf_counter()
        p = subprocess.Popen(argv, env=env, cwd=self.work, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                             start_new_session=True)
        return p, t0, env

    @staticmethod
    def stop(p):
        try:
            os.killpg(p.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        p.wait()

    def command_line(self, x, display, program, page):
        p, t0, _ = self.start(x, display, program, PREVIEW_OFF, page)
        name = os.path.basename(page)
        w = wait_for(x, lambda title: name in title, p)
        t = (time.perf_counter() - t0) * 1000 if w else None
        self.stop(p)
        return t

    def first_window(self, x, display, program):
        p, t0, _ = self.start(x, display, program, None)
        w = wait_for(x, self.main_window(program), p)
        t = (time.perf_counter() - t0) * 1000 if w else None
        self.stop(p)
        return t

    def running(self, x, display, program, page):
        p, _, env = self.start(x, display, program, PREVIEW_OFF)
        t = None
        try:
            w = wait_for(x, self.main_window(program), p)
            if not w:
                return None
            time.sleep(0.5)  # started up: its first events handled
            if not xdotool(env, "windowfocus", "--sync", str(w)):
                return None
            before = set(x.children(x.root))
            if not xdotool(env, "key", "--window", str(w), "ctrl+o"):
                return None
            dialog = None
            deadline = time.perf_counter() + 20
            while dialog is None and time.perf_counter() < deadline:
                for c in x.children(x.root):
                    if c not in before and c != w and x.viewable(c) and x.name(c):
                        dialog = c
                time.sleep(0.01)
            if dialog is None:
                return None
            time.sleep(0.5)  # the dialog has listed its folder
            if not xdotool(env, "windowfocus", "--sync", str(dialog)):
                return None
            # The first "/" opens the location field of Geany's dialog.
            if not xdotool(env, "type", page[:1]):
                return None
            time.sleep(0.5)
            if not xdotool(env, "type", "--delay", "20", page[1:]):
                return None
            time.sleep(0.5)  # any completion shown has settled
            name = os.path.basename(page)
            t0 = time.perf_counter()
            if not xdotool(env, "key", "Return"):
                return None
            deadline = time.perf_counter() + 30
            while time.perf_counter() < deadline:
                if x.shown(lambda title: name in title):
                    t = (time.perf_counter() - t0) * 1000
                    break
                time.sleep(0.002)
        finally:
            self.stop(p)
        return t

    def memory(self, displays, page):
        """Both programs at once, each on its own display: open the page,
        type for a while, then the memory of each process tree."""
        runs = []
        for program, (x, display) in zip(("editor", "geany"), displays):
            p, _, env = self.start(x, display, program, None, page)
            runs.append((program, x, p, env))
        shown = []
        for program, x, p, env in runs:
            name = os.path.basename(page)
            w = wait_for(x, lambda title: name in title, p, seconds=120)
            if w:
                xdotool(env, "windowfocus", "--sync", str(w))
                shown.append((program, env))
        time.sleep(1.0)
        text = "<p>typed " * 200
        delay_ms = int(1000 * TYPING_S / len(text))
        typists = [subprocess.Popen(["xdotool", "type", "--delay", str(delay_ms), text], env=env,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL) for _, env in shown]
        for t in typists:
            try:
                t.wait(timeout=TYPING_S * 3)
            except subprocess.TimeoutExpired:
                t.kill()
                t.wait()
        time.sleep(2.0)
        result = {}
        for program, x, p, env in runs:
            typed = any(program == name for name, _ in shown)
            result[program] = process_tree_rss_mb(p.pid) if typed and p.poll() is None else None
            self.stop(p)
        return result


def span(v):
    return "%.0f (%.0f-%.0f)" % (statistics.median(v), min(v), max(v))


def target(what, value, lo, hi, limit, unit):
    global missed
    met = value <= limit
    if not met:
        missed += 1
    print("TARGET %s: %.2f %s (min %.2f, max %.2f), target <= %.2f %s: %s" % (what, value, unit, lo, hi, limit, unit,
                                                                             "MET" if met else "MISSED"))
    sys.stdout.flush()


def unmeasured(what, why):
    global missed
    missed += 1
    print("TARGET %s: not measured (%s): MISSED" % (what, why))
    sys.stdout.flush()


def ratio_target(what, ours, theirs, limit, minus=0.0):
    pairs = [(a - minus) / b for a, b in zip(ours, theirs) if a is not None and b is not None]
    ours = [a - minus for a in ours if a is not None]
    theirs = [b for b in theirs if b is not None]
    if not ours or not theirs:
        unmeasured(what, "a window never showed: editor %d runs, Geany %d runs" % (len(ours), len(theirs)))
        return
    target(what, statistics.median(ours) / statistics.median(theirs), min(pairs), max(pairs), limit, "x Geany")


def main():
    quillet = os.path.join(BUILD, "app", "Quillet")
    geany = shutil.which("geany")
    if not os.path.exists(quillet):
        print("bench_open: %s is missing" % quillet)
        return 1
    if not geany or not shutil.which("Xvfb") or not shutil.which("xdotool"):
        unmeasured("opening and starting against Geany", "geany, Xvfb or xdotool is not installed")
        return 1
    work = tempfile.mkdtemp(prefix="tw-bench-open-")
    displays = []
    servers = []
    try:
        for k in range(2):
            display = ":%d" % (70 + (os.getpid() + 20 * k) % 40)
            servers.append(subprocess.Popen(["Xvfb", display, "-screen", "0", "1600x1000x24", "-nolisten", "tcp"],
                                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
            x = None
            for _ in range(200):
                try:
                    x = X(display)
                    break
                except RuntimeError:
                    time.sleep(0.05)
            if x is None:
                print("bench_open: Xvfb did not start")
                return 1
            displays.append((x, display))
        x, display = displays[0]
        bench = Bench(work, geany)
        pages = make_pages(work)
        version = subprocess.run([geany, "--version"], capture_output=True, text=True).stdout.split()[1:2]
        print("the editor against Geany %s, median of %d interleaved runs (min-max), load %s" % (
            version[0] if version else "", RUNS, open("/proc/loadavg").read().split()[0]))

        for label, page in pages.items():
            ours, theirs = [], []
            for _ in range(RUNS):
                ours.append(bench.command_line(x, display, "editor", page))
                theirs.append(bench.command_line(x, display, "geany", page))
            shown = [t for t in ours if t is not None]
            ref = [t for t in theirs if t is not None]
            if shown and ref:
                print("  open 20 MB, %s, from the command line: editor %s ms (%s ms without the splash's %d ms), "
                      "Geany %s ms; with the splash %.2f x Geany" % (
                          label, span(shown), span([t - SPLASH_MS for t in shown]), SPLASH_MS, span(ref),
                          statistics.median(shown) / statistics.median(ref)))
            ratio_target("open 20 MB %s from the command line, minus the splash's %d ms" % (label, SPLASH_MS), ours,
                         theirs, 1.0, SPLASH_MS)

        for label, page in pages.items():
            ours, theirs = [], []
            for _ in range(RUNS):
                ours.append(bench.running(x, display, "editor", page))
                theirs.append(bench.running(x, display, "geany", page))
            shown = [t for t in ours if t is not None]
            ref = [t for t in theirs if t is not None]
            if shown and ref:
                print("  open 20 MB, %s, in the running program (open dialog, Enter to the title): editor %s ms, "
                      "Geany %s ms" % (label, span(shown), span(ref)))
            ratio_target("open 20 MB %s in a running editor" % label, ours, theirs, 1.0)

        ours, theirs = [], []
        for _ in range(RUNS):
            ours.append(bench.first_window(x, display, "editor"))
            theirs.append(bench.first_window(x, display, "geany"))
        shown = [t for t in ours if t is not None]
        ref = [t for t in theirs if t is not None]
        if shown and ref:
            print("  start to the first window, no document, default settings: editor %s ms (%s ms without the "
                  "splash), Geany %s ms" % (span(shown), span([t - SPLASH_MS for t in shown]), span(ref)))
        ratio_target("start to first window, no document, default settings, minus the splash's %d ms" % SPLASH_MS,
                     ours, theirs, 1.2, SPLASH_MS)

        ours, theirs = [], []
        for _ in range(RUNS):
            m = bench.memory(displays, pages["short lines"])
            ours.append(m.get("editor"))
            theirs.append(m.get("geany"))
        ours = [m for m in ours if m is not None]
        theirs = [m for m in theirs if m is not None]
        what = "memory of the editor's process tree, 20 MB page, preview on, after %.0f s of typing" % TYPING_S
        if not ours:
            unmeasured(what, "the page never showed")
        else:
            if theirs:
                print("  memory after opening the short-lines page and %.0f s of typing (sum of resident memory of "
                      "the process tree): editor %s MB, Geany %s MB" % (TYPING_S, span(ours), span(theirs)))
            target(what, statistics.median(ours), min(ours), max(ours), MEMORY_LIMIT_MB, "MB")
    finally:
        for s in servers:
            s.terminate()
            s.wait()
        shutil.rmtree(work, ignore_errors=True)
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
