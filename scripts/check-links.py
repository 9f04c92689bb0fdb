#!/usr/bin/env python3
# usage: scripts/check-links.py [--self-test] [ROOT]
# Checks the relative links and pictures of README.md and docs/*.md: each
# must name a file or folder that exists, and a "#anchor" must name a heading
# of the page it points to (as GitHub spells a heading's anchor). Links to
# web addresses are left alone, and so is anything inside code.
# Prints one line per broken link and exits 1 if there is any.
# --self-test plants broken links in a copy of the pages and fails unless
# every one is reported and the untouched copy passes.
import functools
import os
import re
import shutil
import sys
import tempfile

LINK = re.compile(r"!?\[(?:[^\]`]|`[^`]*`)*\]\(([^)\s]+)(?:\s+\"[^\"]*\")?\)")
INLINE_CODE = re.compile(r"`[^`]*`")
HEADING = re.compile(r"^#{1,6}\s+(.*?)\s*#*\s*$")


def pages(root):
    found = [os.path.join(root, "README.md")]
    docs = os.path.join(root, "docs")
    if os.path.isdir(docs):
        found += sorted(os.path.join(docs, name) for name in os.listdir(docs) if name.endswith(".md"))
    return [page for page in found if os.path.isfile(page)]


def unfenced_lines(path):
    """The page's lines outside fenced code, numbered."""
    fenced = False
    with open(path, encoding="utf-8") as page:
        for number, line in enumerate(page, 1):
            if line.lstrip().startswith("```"):
                fenced = not fenced
                continue
            if not fenced:
                yield number, line.rstrip("\n")


def prose_lines(path):
    """The page's lines outside fenced code, with inline code blanked."""
    for number, line in unfenced_lines(path):
        yield number, INLINE_CODE.sub("``", line)


def slug(heading):
    text = re.sub(r"`([^`]*)`", r"\1", heading).strip().lower()
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


@functools.lru_cache(maxsize=None)
def anchors(path):
    """The anchors of a page's headings, the way GitHub spells them."""
    seen = {}
    result = set()
    for _, line in unfenced_lines(path):
        match = HEADING.match(line)
        if not match:
            continue
        base = slug(match.group(1))
        count = seen.get(base, 0)
        seen[base] = count + 1
        result.add(base if count == 0 else f"{base}-{count}")
    return frozenset(result)


def broken_links(root):
    problems = []
    for page in pages(root):
        shown = os.path.relpath(page, root)
        for number, line in prose_lines(page):
            for match in LINK.finditer(line):
                target = match.group(1)
                if re.match(r"^[a-z][a-z0-9+.-]*:", target, re.I):
                    continue  # a web address or mail link
                path, _, anchor = target.partition("#")
                where = os.path.normpath(os.path.join(os.path.dirname(page), path)) if path else page
                if not os.path.exists(where):
                    problems.append(f"{shown}:{number}: {target}: no such file")
                elif anchor and where.endswith(".md") and anchor not in anchors(where):
                    problems.append(f"{shown}:{number}: {target}: no heading with that anchor")
    return problems


def self_test(root):
    failures = 0
    with tempfile.TemporaryDirectory() as work:
        copy = os.path.join(work, "tree")
        os.makedirs(copy)
        shutil.copy(os.path.join(root, "README.md"), copy)
        shutil.copytree(os.path.join(root, "docs"), os.path.join(copy, "docs"))
        untouched = broken_links(copy)
        if untouched:
            print("FAILED: the untouched copy reports:\n  " + "\n  ".join(untouched))
            failures += 1
        plants = {
            "missing.md": "[a page that is not there](missing.md)",
            "../README.md#no-such-heading": "[a heading that is not there](../README.md#no-such-heading)",
            "images/missing.png": "![a picture that is not there](images/missing.png)",
        }
        with open(os.path.join(copy, "docs", "planted.md"), "w", encoding="utf-8") as page:
            page.write("# Planted\n\n" + "\n".join(plants.values()) + "\n\n```\n[in code](nowhere.md)\n```\n")
            page.write("`[inline code](nowhere.md)` and [a web page](https://example.org/nowhere.md)\n")
        reported = broken_links(copy)
        for name in plants:
            if not any(name in line for line in reported):
                print(f"FAILED: the planted link to {name} was not reported")
                failures += 1
        if len(reported) != len(plants):
            print("FAILED: expected exactly the planted links, got:\n  " + "\n  ".join(reported))
            failures += 1
    if failures == 0:
        print(f"check-links self-test: every planted link ({len(plants)}) reported")
    return 1 if failures else 0


def main(arguments):
    if arguments and arguments[0] == "--help":
        with open(__file__, encoding="utf-8") as script:
            for line in script.readlines()[1:]:
                if not line.startswith("#"):
                    break
                print(line[2:].rstrip("\n"))
        return 0
    testing = bool(arguments) and arguments[0] == "--self-test"
    if testing:
        arguments = arguments[1:]
    root = arguments[0] if arguments else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    if testing:
        return self_test(root)
    problems = broken_links(root)
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        return 1
    print(f"check-links: every relative link in {len(pages(root))} pages resolves")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
