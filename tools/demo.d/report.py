#!/usr/bin/env python3
"""Turns the demo's transcript into a Markdown report beside it.

    report.py TRANSCRIPT REPORT.md

A line "== TITLE" starts a section; a line "[screenshot FILE: CAPTION]" shows the picture
FILE (beside the report); every other line is output, kept as it was printed. The marks are
those of words.sh, which the demo's chapters print them with.
"""
import os
import re
import shlex
import sys


def read_words():
    """{NAME: TEXT} of the demo's shared words, the NAME='TEXT' lines of words.sh."""
    words = {}
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "words.sh"), encoding="utf-8") as f:
        for line in f:
            name, equals, text = line.strip().partition("=")
            if equals and not name.startswith("#"):
                words[name] = shlex.split(text)[0]
    return words


words = read_words()
step_mark = words["step_mark"] + " "
screenshot_line = re.compile(r"^\[" + re.escape(words["screenshot_mark"]) + r" (\S+): (.*)\]$")

transcript, report = sys.argv[1:3]
out = ["# The Tamrix mouse driver package at work under Wine", "",
       "Written by `make demo`: the installation from the medium with `setup` as Windows 95, "
       "one setting's road through `Rodlink` to the driver and back, the tray utility `Pupex` "
       "as Windows NT 4.0, and the removal with `Tessarok`, all in one fresh Wine prefix. "
       "The first step says which build's medium it is. "
       "Below each step: what it printed, and the dialogs as they were on the screen.", ""]
block = []


def flush():
    while block and not block[-1].strip():
        block.pop()
    while block and not block[0].strip():
        block.pop(0)
    if block:
        out.extend(["```text", *block, "```", ""])
    block.clear()


for line in open(transcript, encoding="utf-8", errors="replace").read().splitlines():
    shot = screenshot_line.match(line)
    if line.startswith(step_mark):
        flush()
        out.extend([f"## {line[len(step_mark):]}", ""])
    elif shot:
        flush()
        out.extend([f"![{shot.group(2)}]({shot.group(1)})", "", f"*{shot.group(2)}*", ""])
    else:
        block.append(line)
flush()
open(report, "w", encoding="utf-8").write("\n".join(out) + "\n")
