#!/usr/bin/env bash
# Mutation testing for a change: plants one small fault at a time in the lines the change adds (a
# comparison flipped or its boundary moved, && swapped with ||, a condition fixed to true or
# false, a statement deleted), rebuilds and runs the tests. Green tests on a fault mean nothing
# checks what that line does. No C++ mutation tool is packaged for Debian, hence this one.
# Usage: scripts/mutate.sh [BASE] [COUNT]
#   BASE   the revision the change is measured from (default HEAD~1)
#   COUNT  how many of the possible mutants to try (default 30)
# MUTATE_SEED picks the sample (default 1: the same seed tries the same mutants), MUTATE_TESTS
# is a ctest -R regex to run only some tests (default all), BUILD_DIR the build directory
# (default build-mutate, so the usual build stays as it is), MUTATE_LIST=1 only lists the sample
# and builds nothing. It is a report, not a gate: the exit status is 0 whenever it ran, 1 when
# the untouched tree does not build or pass (every mutant would look killed), 2 on bad usage.
# Every mutant is undone byte for byte, even when the run is stopped; to be sure of that, it
# refuses to touch a file with uncommitted changes.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
    echo "Usage: scripts/mutate.sh [BASE] [COUNT]" \
        "(env: MUTATE_SEED, MUTATE_TESTS, BUILD_DIR, MUTATE_LIST=1)"
}
case "${1:-}" in
-h | --help)
    usage
    exit 0
    ;;
esac
if [ $# -gt 2 ]; then
    usage >&2
    exit 2
fi
base="${1:-HEAD~1}"
count="${2:-30}"
seed="${MUTATE_SEED:-1}"
build="${BUILD_DIR:-build-mutate}"
if ! [[ "$count" =~ ^[1-9][0-9]*$ && "$seed" =~ ^[0-9]+$ ]]; then
    echo "mutate: COUNT must be a positive number and MUTATE_SEED a number" >&2
    usage >&2
    exit 2
fi
if ! git rev-parse --verify --quiet "$base^{commit}" >/dev/null; then
    echo "mutate: '$base' is not a revision" >&2
    exit 2
fi
if ! command -v python3 >/dev/null; then
    echo "mutate: python3 not found" >&2
    exit 2
fi

work=$(mktemp -d)
current="" # the file that holds a mutant right now, and the copy that puts it back
current_orig=""
# shellcheck disable=SC2317 # called by the traps
restore() {
    if [ -n "$current" ]; then
        # A plain copy rather than cp -p: the restored file must look newer than the mutant's
        # objects, or the next build would keep them.
        cp -- "$current_orig" "$current"
        current=""
    fi
    rm -rf -- "$work"
}
trap restore EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Lists every mutant on the added lines, draws the sample, and writes for each one the whole
# mutated file, so that applying it is a copy and nothing is parsed between builds.
# Writes $work/list: id, file, line, the copy of the untouched file, the change (tab-separated).
python3 - "$base" "$count" "$seed" "$work" <<'PY'
import os
import random
import re
import subprocess
import sys

base, count, seed, work = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
DIRS = ("link/", "params/", "platform/", "app/", "skin/", "pages/", "sim/")
COMMENT, STRING = "\x01", "\x02"


def added_lines():
    diff = subprocess.run(
        ["git", "diff", "-U0", "--no-color", "--no-ext-diff", "--no-textconv", "--no-renames",
         "--src-prefix=a/", "--dst-prefix=b/", base, "--", "*.cpp", "*.h"],
        check=True, capture_output=True).stdout.decode("utf-8", "surrogateescape")
    added, path, line, old_left, new_left = {}, None, 0, 0, 0
    for text in diff.split("\n"):
        # Hunk bodies are walked by their counts: an added line may itself begin "++ ".
        if old_left or new_left:
            if text.startswith("+"):
                if path:
                    added.setdefault(path, set()).add(line)
                line += 1
                new_left -= 1
            elif text.startswith("-"):
                old_left -= 1
            continue
        if text.startswith("+++ "):
            path = text[6:] if text.startswith("+++ b/") else None
            if path and not path.startswith(DIRS):
                path = None
        elif text.startswith("@@ "):
            m = re.match(r"@@ -\d+(?:,(\d+))? \+(\d+)(?:,(\d+))? @@", text)
            old_left = int(m.group(1) or 1)
            line, new_left = int(m.group(2)), int(m.group(3) or 1)
    return added


def lex(lines):
    """For each line: its text with comments and literals masked, and whether it is preprocessor."""
    out, state, raw_end, pp_more = [], None, "", False
    for body in lines:
        pp = pp_more or (state is None and body.lstrip().startswith("#"))
        pp_more = pp and body.endswith("\\")
        view, i, n = [], 0, len(body)
        while i < n:
            c = body[i]
            if state == "block" or state == "raw":
                end = body.find("*/" if state == "block" else raw_end, i)
                stop = n if end < 0 else end + (2 if state == "block" else len(raw_end))
                view.append((COMMENT if state == "block" else STRING) * (stop - i))
                i, state = stop, (state if end < 0 else None)
            elif body.startswith("//", i):
                view.append(COMMENT * (n - i))
                i = n
            elif body.startswith("/*", i):
                view.append(COMMENT * 2)
                i, state = i + 2, "block"
            elif c == '"' and re.search(r"(?:^|[^\w])(?:u8|u|U|L)?R$", body[:i]):
                m = re.match(r'"([^()\\\s]{0,16})\(', body[i:])
                raw_end = ")" + (m.group(1) if m else "") + '"'
                view.append(STRING * 2)
                i, state = i + 2, "raw"
            elif c in "\"'":
                token = re.search(r"[\w.]*$", body[:i]).group(0)
                if c == "'" and token[:1].isdigit():  # a digit separator: 1'000
                    view.append(c)
                    i += 1
                    continue
                j = i + 1
                while j < n and body[j] != c:
                    j += 2 if body[j] == "\\" else 1
                stop = min(j + 1, n)
                view.append(STRING * (stop - i))
                i = stop
            else:
                view.append(c)
                i += 1
        out.append(("".join(view), pp))
    return out


def code_of(view):
    return view.replace(COMMENT, "").strip()


SWAPS = {" == ": (" != ",), " != ": (" == ",),
         " < ": (" >= ", " <= "), " <= ": (" > ", " < "),
         " > ": (" <= ", " >= "), " >= ": (" < ", " > "),
         " && ": (" || ",), " || ": (" && ",)}
DECL_START = re.compile(
    r"(const|constexpr|consteval|constinit|static|auto|bool|char|short|int|long|unsigned|signed|"
    r"float|double|void|size_t|uint\w*|int\d+_t|std::|using|typedef|namespace|class|struct|enum|"
    r"union|template|typename|friend|virtual|explicit|inline|extern|mutable|static_assert|case|"
    r"default|else|public|private|protected)\b")
STATEMENT_WORD = re.compile(r"(return|co_return|throw|delete|emit|Q_EMIT|co_await|goto)\b")
# "Type name =", "Type<A, B>& name(", "Type* name;": a declaration, whose loss is a compile error.
DECLARATION = re.compile(r"(?:[A-Za-z_][\w:]*(?:<[^;=]*>)?[\s*&]+)+[A-Za-z_]\w*\s*[=({\[;]")
DECLARED = re.compile(r"(?:[A-Za-z_][\w:]*(?:<[^;=]*>)?[\s*&]+)+[A-Za-z_]\w*\s*(?:=(?!=)|\{)")
LABEL = re.compile(r"(case\b.*|default|(public|private|protected)(\s+\w+)?)\s*:")


def balanced(view):
    depth = 0
    for c in view:
        depth += (c in "([{") - (c in ")]}")
        if depth < 0:
            return False
    return depth == 0


def deletable(code, view, previous):
    if not code.endswith(";") or code == ";" or code[0] in ")]}" or not balanced(view):
        return False
    if re.search(r"=\s*(delete|default|0)\s*;$|\b(override|final|noexcept|const)\s*;$", code):
        return False
    word = STATEMENT_WORD.match(code)
    if word and word.group(1).endswith("return") and not re.fullmatch(r"(co_)?return\s*;", code):
        return False
    if not word and (DECL_START.match(code) or DECLARATION.match(code)):
        return False
    # The line must begin its statement, not finish one started above it.
    return previous is None or previous.endswith((";", "{", "}")) or LABEL.fullmatch(previous)


def mutants_of(path, wanted):
    text = open(path, "rb").read().decode("utf-8", "surrogateescape")
    lines = text.split("\n")
    bodies = [l[:-1] if l.endswith("\r") else l for l in lines]
    info = lex(bodies)
    found = []
    for n in sorted(wanted):
        if n > len(lines):
            continue
        body, (view, pp) = bodies[n - 1], info[n - 1]
        code = code_of(view)
        if pp or not code:
            continue
        eol = lines[n - 1][len(body):]
        seen = set()

        def add(new_body, change):
            if new_body != body and new_body not in seen:
                seen.add(new_body)
                found.append((path, n, change, lines, n - 1, new_body + eol))

        for op, replacements in SWAPS.items():
            at = [m.start() for m in re.finditer("(?=%s)" % re.escape(op), view)]
            for k, col in enumerate(at):
                nth = " (%d of %d)" % (k + 1, len(at)) if len(at) > 1 else ""
                for rep in replacements:
                    add(body[:col] + rep + body[col + len(op):],
                        "'%s' -> '%s'%s" % (op.strip(), rep.strip(), nth))
        for m in re.finditer(r"\b(if|while)\s*\(", view):
            opening, depth, closing = m.end() - 1, 0, None
            for j in range(opening, len(view)):
                depth += (view[j] == "(") - (view[j] == ")")
                if depth == 0:
                    closing = j
                    break
            if closing is None:
                continue
            # An init-statement stays, and a condition that declares its variable is left whole:
            # without the name the body would not compile.
            start, depth = opening + 1, 0
            for j in range(opening + 1, closing):
                depth += (view[j] in "([{") - (view[j] in ")]}")
                if depth == 0 and view[j] == ";":
                    start = j + 1
            cond = body[start:closing].strip()
            if DECL_START.match(cond) or DECLARED.match(cond):
                continue
            lead = " " if start > opening + 1 else ""
            shown = cond if len(cond) <= 60 else cond[:57] + "..."
            for literal in ("true", "false"):
                if cond != literal:
                    add(body[:start] + lead + literal + body[closing:],
                        "%s (%s) -> %s (%s)" % (m.group(1), shown, m.group(1), literal))
        previous = None
        for k in range(n - 2, -1, -1):
            if not info[k][1] and code_of(info[k][0]):
                previous = code_of(info[k][0])
                break
        if deletable(code, view, previous):
            add("", "deleted: " + body.strip())
    return found


added = added_lines()
mutants = []
for path in sorted(added):
    if os.path.isfile(path):
        mutants.extend(mutants_of(path, added[path]))
order = list(range(len(mutants)))
random.Random(seed).shuffle(order)
picked = sorted(order[:count])

originals = {}
with open(os.path.join(work, "list"), "w", encoding="utf-8", errors="surrogateescape") as out:
    for ident, k in enumerate(picked, 1):
        path, n, change, lines, index, new_line = mutants[k]
        if path not in originals:
            originals[path] = os.path.join(work, "orig%d" % (len(originals) + 1))
            with open(originals[path], "wb") as f:
                f.write("\n".join(lines).encode("utf-8", "surrogateescape"))
        with open(os.path.join(work, "m%d" % ident), "wb") as f:
            f.write("\n".join(lines[:index] + [new_line] + lines[index + 1:]).encode(
                "utf-8", "surrogateescape"))
        out.write("%d\t%s\t%d\t%s\t%s\n" % (ident, path, n, originals[path],
                                            change.replace("\t", " ")))
print("mutate: %d mutants on the %d lines added since %s; trying %d (seed %d)" % (
    len(mutants), sum(len(v) for v in added.values()), base, len(picked), seed))
PY

if [ "${MUTATE_LIST:-0}" = 1 ]; then
    while IFS=$'\t' read -r _ path line _ change; do
        printf '%s:%s  %s\n' "$path" "$line" "$change"
    done <"$work/list"
    exit 0
fi
if [ ! -s "$work/list" ]; then
    exit 0
fi

mapfile -t files < <(cut -f2 "$work/list" | sort -u)
dirty=$(git status --porcelain --untracked-files=no -- "${files[@]}")
if [ -n "$dirty" ]; then
    echo "mutate: uncommitted changes in files it would mutate; commit or stash them first:" >&2
    echo "$dirty" >&2
    exit 2
fi

tests=()
if [ -n "${MUTATE_TESTS:-}" ]; then tests=(-R "$MUTATE_TESTS"); fi
if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_BENCH=OFF \
        >"$work/configure.log" 2>&1 || {
        cat "$work/configure.log" >&2
        exit 1
    }
fi
build_quietly() { cmake --build "$build" -j"$(nproc)" >"$work/build.log" 2>&1; }
# --no-tests=error: a MUTATE_TESTS that matches nothing must not pass every mutant.
test_quietly() {
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" -j"$(nproc)" --timeout 300 \
        --no-tests=error "${tests[@]}" >"$work/test.log" 2>&1
}
# A suite that fails untouched would count every mutant as killed.
if ! build_quietly; then
    tail -n 30 "$work/build.log" >&2
    echo "mutate: the untouched tree does not build" >&2
    exit 1
fi
if ! test_quietly; then
    tail -n 30 "$work/test.log" >&2
    echo "mutate: the tests fail before any mutant" >&2
    exit 1
fi

killed=0
survived=0
stillborn=0
survivors=()
while IFS=$'\t' read -r -u 3 id path line orig change; do
    if ! cmp -s -- "$orig" "$path"; then
        echo "mutate: $path changed during the run; stopping here" >&2
        break
    fi
    current_orig=$orig
    current=$path
    cp -- "$work/m$id" "$path"
    if ! build_quietly; then
        verdict=stillborn
        stillborn=$((stillborn + 1))
    elif test_quietly; then
        verdict=SURVIVED
        survived=$((survived + 1))
        survivors+=("$path:$line: $change")
    else
        verdict=killed
        killed=$((killed + 1))
    fi
    cp -- "$orig" "$path"
    current=""
    printf '%-8s %s:%s  %s\n' "$verdict" "$path" "$line" "$change"
done 3<"$work/list"

# Leaves the build directory holding the code as it is, not the last mutant.
build_quietly || echo "mutate: the rebuild of the restored tree failed; see $build" >&2

tried=$((killed + survived))
percent="-"
if [ "$tried" -gt 0 ]; then percent=$(((200 * killed + tried) / (2 * tried))); fi
echo "kill rate: $killed of $tried ($percent %), $stillborn stillborn"
for survivor in ${survivors[@]+"${survivors[@]}"}; do
    echo "$survivor"
done
exit 0
