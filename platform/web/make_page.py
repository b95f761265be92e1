"""Makes the page, its manifest and its service worker from their templates,
the program's script and WebAssembly, the style sheet, the page's first
script, and window.json: what the program, run by the build, says of its
start-up window. The page holds all of it, so it needs no second request.

Usage: make_page.py PAGE.in PROGRAM.js PROGRAM.wasm WINDOW.json STYLE.css EARLY.js
                    MANIFEST.in WORKER.in OUT_DIR
       make_page.py --seal PAGE MANIFEST WORKER    (again, after the page changed)"""

import base64
import hashlib
import html
import json
import os
import re
import sys


def read(path, mode="r"):
    with open(path, mode, **({} if "b" in mode else {"encoding": "utf-8"})) as source:
        return source.read()


def write(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as target:
        target.write(text)


def without_comments(text):
    """Our own script without its comments and indentation, which a player's
    browser has no use for."""
    lines = re.sub(r"\n\s*//[^\n]*", "\n", "\n" + text).split("\n")
    return "\n".join(line.strip() for line in lines if line.strip())


def compact_style(text):
    """Our own style sheet without its comments and its blanks, but for those
    that separate words."""
    text = re.sub(r"\s+", " ", re.sub(r"/\*.*?\*/", "", text, flags=re.DOTALL))
    return re.sub(r" ?([{};,>]) ?", r"\1", text).strip()


def caption_colours(style):
    """--rz-caption in the light and in the dark scheme."""
    found = re.findall(r"--rz-caption:\s*(#[0-9a-fA-F]+)", style)
    if len(found) != 2:
        sys.exit("the style sheet must set --rz-caption once for each scheme")
    return found


def seal(page_path, manifest_path, worker_path):
    """Names the page's inline scripts and style sheets by their SHA-256 in
    its content security policy, which lets no other run, and the worker's
    cache by the page's and the manifest's content."""
    page = read(page_path)

    def digests(tag):
        return "".join(f" 'sha256-{base64.b64encode(hashlib.sha256(text.encode()).digest()).decode()}'"
                       for text in re.findall(f"<{tag}>(.*?)</{tag}>", page, re.DOTALL))
    page = re.sub(r"script-src [^;]*;", f"script-src 'self'{digests('script')} 'wasm-unsafe-eval';",
                  page, count=1)
    page = re.sub(r"style-src[^;]*;", f"style-src{digests('style')};", page, count=1)
    write(page_path, page)
    content = hashlib.sha256(page.encode() + read(manifest_path, "rb")).hexdigest()[:16]
    write(worker_path, re.sub(r'(cacheName = "[^"]*-)[^"]*"', rf'\g<1>{content}"',
                              read(worker_path), count=1))


def make(page_in, program_path, wasm_path, window_path, style_path, early_path, manifest_in,
         worker_in, out):
    script = read(program_path) + ";\n" + without_comments(read(early_path))
    # Inside a script element, these would end it or change how it is read.
    if re.search(r"</script|<!--", script, re.IGNORECASE):
        sys.exit("a script cannot stand inside a script element")
    window = json.loads(read(window_path))
    style = read(style_path)
    light, dark = caption_colours(style)
    page = read(page_in)
    for placeholder, value in {"%TITLE%": html.escape(window["title"]), "%ICON%": window["icon"],
                               "%ICON_SIZES%": window["iconSizes"], "%THEME_COLOUR%": light,
                               "%DARK_THEME_COLOUR%": dark,
                               "%STYLE%": compact_style(style) + window["style"],
                               "%WINDOW%": window["window"],
                               "%WASM%": read(wasm_path, "rb").hex()}.items():
        page = page.replace(placeholder, value)
    page = page.replace("%SCRIPT%", script)
    paths = [os.path.join(out, name) for name in ("index.html", "manifest.webmanifest", "worker.js")]
    write(paths[0], page)
    write(paths[1], read(manifest_in).replace("%TITLE%", json.dumps(window["title"])[1:-1])
                                     .replace("%THEME_COLOUR%", light))
    write(paths[2], without_comments(read(worker_in)))
    seal(*paths)


if __name__ == "__main__":
    if sys.argv[1] == "--seal":
        seal(*sys.argv[2:])
    else:
        make(*sys.argv[1:])
