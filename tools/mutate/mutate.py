#!/usr/bin/env python3
"""Mutation check of the test suite: apply one small deliberate fault at a time to a copy of
the code, rebuild incrementally, run the suite, and list the faults that no test noticed.

  tools/mutate/mutate.py [--list] [--only ID,...] [--keep DIR] [--ctest-args "..."]

The faults are in tools/mutate/mutants.txt, one a line:  id @@ file @@ before @@ after
`before` must occur exactly once in `file`. The copy lives in DIR (default
/tmp/krelmo-mutate) and keeps its build between runs, so a second run is quick.
"""
import argparse
import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def load_mutants(path):
    mutants = []
    for number, line in enumerate(open(path, encoding="utf-8"), 1):
        line = line.rstrip("\n")
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        parts = [p.strip().replace("\\n", "\n") for p in line.split(" @@ ")]
        if len(parts) != 4:
            sys.exit(f"{path}:{number}: expected 'id @@ file @@ before @@ after'")
        mutants.append(dict(zip(("id", "file", "before", "after"), parts)))
    return mutants


def copy_tree(dest):
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard"], cwd=ROOT,
                           check=True, capture_output=True, text=True).stdout.split("\n")
    for name in filter(None, files):
        source = os.path.join(ROOT, name)
        target = os.path.join(dest, name)
        if not os.path.isfile(source):
            continue
        os.makedirs(os.path.dirname(target), exist_ok=True)
        # Unchanged files keep their time stamps, so the build in the copy stays incremental;
        # a changed file gets the time of copying, never its own older one, which could make it
        # look older than what the copy built from its previous content.
        if os.path.exists(target) and open(source, "rb").read() == open(target, "rb").read():
            continue
        shutil.copyfile(source, target)
        shutil.copymode(source, target)


def run(command, cwd, log):
    with open(log, "w") as out:
        return subprocess.run(command, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                              shell=True).returncode


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--list", action="store_true", help="print the mutants and stop")
    parser.add_argument("--only", default="", help="comma-separated ids to run")
    parser.add_argument("--keep", default="/tmp/krelmo-mutate", help="folder of the copy")
    parser.add_argument("--ctest-args", default="-j2 --stop-on-failure --timeout 180")
    args = parser.parse_args()

    mutants = load_mutants(os.path.join(ROOT, "tools/mutate/mutants.txt"))
    if args.only:
        wanted = set(args.only.split(","))
        mutants = [m for m in mutants if m["id"] in wanted]
    if args.list:
        for m in mutants:
            print(f"{m['id']:<28} {m['file']}: {m['before']!r} -> {m['after']!r}")
        return 0

    dest = args.keep
    os.makedirs(dest, exist_ok=True)
    copy_tree(dest)
    build = os.path.join(dest, "build/mutate")
    # ccache, where installed, makes each mutant's rebuild a matter of seconds.
    launcher = "CMAKE_CXX_COMPILER_LAUNCHER=ccache " if shutil.which("ccache") else ""
    env_setup = f"export {launcher}QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy; "
    if run(env_setup + f"cmake -S . -B {build} -DCMAKE_BUILD_TYPE=RelWithDebInfo && "
           f"cmake --build {build} -j2", dest, os.path.join(dest, "build.log")) != 0:
        sys.exit(f"the unmutated copy does not build: see {dest}/build.log")
    test = env_setup + f"cd {build} && ctest {args.ctest_args}"
    if run(test, dest, os.path.join(dest, "test.log")) != 0:
        sys.exit(f"the unmutated suite fails: see {dest}/test.log")

    survivors, stillborn, killed = [], [], 0
    for m in mutants:
        path = os.path.join(dest, m["file"])
        original = open(path, encoding="utf-8").read()
        if original.count(m["before"]) != 1:
            print(f"{m['id']}: '{m['before']}' occurs {original.count(m['before'])} times "
                  f"in {m['file']}", file=sys.stderr)
            stillborn.append(m["id"])
            continue
        started = time.monotonic()
        open(path, "w", encoding="utf-8").write(original.replace(m["before"], m["after"]))
        try:
            log = os.path.join(dest, f"mutant-{m['id']}.log")
            if run(env_setup + f"cmake --build {build} -j2", dest, log) != 0:
                verdict = "does not build"
                stillborn.append(m["id"])
            elif run(test, dest, log) != 0:
                verdict = "killed"
                killed += 1
            else:
                verdict = "SURVIVED"
                survivors.append(m)
        finally:
            open(path, "w", encoding="utf-8").write(original)
        print(f"{m['id']:<28} {verdict:<15} {time.monotonic() - started:5.0f} s", flush=True)
    run(env_setup + f"cmake --build {build} -j2", dest, os.path.join(dest, "build.log"))

    scored = len(mutants) - len(stillborn)
    print(f"\n{killed} of {scored} mutants killed ({100 * killed / max(scored, 1):.0f} %)"
          + (f"; {len(stillborn)} did not apply or build: {', '.join(stillborn)}" if stillborn else ""))
    for m in survivors:
        print(f"  survived: {m['id']}  {m['file']}: {m['before']!r} -> {m['after']!r}")
    return 1 if survivors else 0


if __name__ == "__main__":
    sys.exit(main())
