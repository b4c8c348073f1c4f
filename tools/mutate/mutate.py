#!/usr/bin/env python3
"""Runs the test suites against each mutation of mutations.txt.

    tools/mutate/mutate.py [--mutations FILE] [--suites A,B] SOURCE_DIR BUILD_DIR
                           RESULT_FILE [ID...]

FILE defaults to mutations.txt beside this script; --suites picks among
unit, driver, gui and rest (the batch and converter tests),
by default the first three; with --first-kill a mutation's later suites are
skipped once one kills it. SOURCE_DIR is a copy of the sources that may be changed (each mutation is
applied, built and undone in turn); BUILD_DIR is configured there on first
use and reused. For each mutation and each suite (unit, driver, gui) the
result file gets one line: id, suite, killed / survived / unbuilt. A suite
stops at its first failing test: one failure kills the mutation.
"""
import argparse
import pathlib
import signal
import subprocess
import sys

def suites(build):
    ctest = ["ctest", "--test-dir", build, "--stop-on-failure", "--timeout", "90"]
    return {
        # One run of the unit test program, not one process per case.
        "unit": [build / "tests/unit/brickpov_unit_tests", "--gtest_brief=1"],
        "driver": [*ctest, "-j2", "-R", r"^driver\."],
        "gui": [*ctest, "-R", r"^gui", "-E", r"install"],
        "rest": [*ctest, "-j2", "-R", r"^(batch|Converter)", "-E",
                 r"AllParts|Golden"],
    }


def read_mutations(path):
    mutations, current, key = [], None, None
    for line in pathlib.Path(path).read_text().splitlines():
        if line.startswith("#"):
            continue
        if line.startswith("id: "):
            current = {"id": line[4:].split()[0], "find": "", "replace": ""}
            mutations.append(current)
        elif line.startswith(("file: ", "find: ", "replace: ")) or line in ("find:", "replace:"):
            key, _, value = line.partition(":")
            current[key] = value[1:] if value.startswith(" ") else value
        elif line.startswith("@"):
            current[key] += "\n" + line[1:]
    return mutations


def run(command, cwd=None):
    return subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--mutations", type=pathlib.Path,
                        default=pathlib.Path(__file__).with_name("mutations.txt"))
    parser.add_argument("--suites", default="unit,driver,gui")
    # Total kills only: the suites after the first that kills are not run.
    parser.add_argument("--first-kill", action="store_true")
    parser.add_argument("source", type=pathlib.Path)
    parser.add_argument("build", type=pathlib.Path)
    parser.add_argument("result", type=pathlib.Path)
    parser.add_argument("ids", nargs="*")
    args = parser.parse_args()
    source, build, result = args.source.resolve(), args.build.resolve(), args.result.resolve()
    wanted = set(args.ids)
    chosen = args.suites.split(",")
    if unknown := [s for s in chosen if s not in suites(build)]:
        sys.exit(f"unknown suites: {', '.join(unknown)}")
    commands = {name: command for name, command in suites(build).items() if name in chosen}
    if not (build / "build.ninja").exists():
        run(["cmake", "-S", source, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Debug",
             "-DCMAKE_CXX_FLAGS_DEBUG=-O0", "-DBRICKPOV_GUI=ON", "-DBRICKPOV_TESTS=ON",
             "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"])
    # Ended from outside, the mutated file is still put back.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("ended"))
    if run(["ninja", "-C", build]) != 0:
        sys.exit("the unmutated sources do not build")
    for suite, command in commands.items():
        if run(command) != 0 and run(command) != 0:
            sys.exit(f"the {suite} suite fails without a mutation")
    with open(result, "a") as out:
        for m in read_mutations(args.mutations):
            if wanted and m["id"] not in wanted:
                continue
            path = source / m["file"]
            original = path.read_text()
            if original.count(m["find"]) != 1:
                out.write(f"{m['id']} all unmatched\n")
                out.flush()
                continue
            path.write_text(original.replace(m["find"], m["replace"]))
            try:
                if run(["ninja", "-C", build]) != 0:
                    out.write(f"{m['id']} all unbuilt\n")
                    continue
                killed = False
                for suite, command in commands.items():
                    if killed and args.first_kill:
                        out.write(f"{m['id']} {suite} skipped\n")
                        continue
                    # A failure counts when it comes again: one GUI case
                    # races a dialog on a loaded machine.
                    failed = run(command) != 0 and run(command) != 0
                    killed = killed or failed
                    out.write(f"{m['id']} {suite} {'killed' if failed else 'survived'}\n")
                    out.flush()
            finally:
                path.write_text(original)
                out.flush()
    run(["ninja", "-C", build])


if __name__ == "__main__":
    main()
