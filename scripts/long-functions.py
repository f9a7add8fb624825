#!/usr/bin/env python3
"""Lists the functions in the .cpp files under a folder whose body is longer
than a limit (80 lines unless given) and fails when there is one.

    long-functions.py FOLDER [LIMIT]

A function is a brace at namespace level whose statement holds "(" and is no
class, struct, enum or union. Comments, strings and preprocessor lines are
skipped, so braces inside them do not count."""
import os
import re
import sys


def long_functions(path, limit):
    with open(path, encoding="utf-8", errors="replace") as f:
        lines = f.read().split("\n")
    statement, depth, namespaces = "", 0, 0
    body_depth, start, signature = None, 0, ""
    for number, line in enumerate(lines):
        code = re.sub(r'"(\\.|[^"\\])*"', '""', line)
        code = re.sub(r"'(\\.|[^'\\])*'", "''", code)
        code = re.sub(r"//.*", "", code)
        if code.strip().startswith("#"):
            continue
        for ch in code:
            if ch == "{":
                if body_depth is None and depth == namespaces:
                    opened = statement.strip()
                    if re.match(r"^(namespace|extern)\b", opened):
                        namespaces += 1
                    elif "(" in opened and not re.match(r"^(class|struct|enum|union)\b", opened):
                        body_depth, start, signature = depth, number, opened
                depth += 1
                statement = ""
            elif ch == "}":
                depth -= 1
                statement = ""
                if body_depth is not None and depth == body_depth:
                    length = number - start + 1
                    if length > limit:
                        yield start + 1, length, " ".join(signature.split())[:90]
                    body_depth = None
                namespaces = min(namespaces, depth)
            elif ch == ";":
                if body_depth is None:
                    statement = ""
            else:
                statement += ch
        statement += " "


def main():
    folder = sys.argv[1]
    limit = int(sys.argv[2]) if len(sys.argv) > 2 else 80
    found = 0
    for root, _, files in sorted(os.walk(folder)):
        for name in sorted(files):
            if not name.endswith(".cpp"):
                continue
            path = os.path.join(root, name)
            for line, length, signature in long_functions(path, limit):
                print(f"{path}:{line}: {length} lines: {signature}")
                found += 1
    if found:
        print(f"{found} function(s) longer than {limit} lines")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
