"""Makes the page, its manifest and its service worker from their templates,
the program (its script and its WebAssembly), what the program says of its
window when it runs at build time with no page (window.txt: the title, the
icon, the window's style and markup, a line each), and the style sheet.

The page holds it all, so a browser starts it with no second request: the
style sheet, the program's script, and its WebAssembly as base64 in a data
block that the script decodes. Sealing the page then names each of its
inline scripts and style sheets by its SHA-256 in its content security
policy, which lets no other run, and makes the worker with the name of the
cache that keeps the page and its manifest, named by their content so that
each release keeps its files apart. The theme colours are the title bar's,
from the style sheet.

Usage: make_page.py PAGE.in PROGRAM.js PROGRAM.wasm WINDOW.txt STYLE.css
                    MANIFEST.in WORKER.in OUT_DIR
       make_page.py --seal PAGE MANIFEST WORKER.in WORKER   (a page changed)"""

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


def caption_colours(style):
    """--rz-caption in the light and in the dark scheme."""
    found = re.findall(r"--rz-caption:\s*(#[0-9a-fA-F]+)", style)
    if len(found) != 2:
        sys.exit("the style sheet must set --rz-caption once for each scheme")
    return found


def seal(page_path, manifest_path, worker_in, worker_path):
    def digests(tag):
        return "".join(f" 'sha256-{base64.b64encode(hashlib.sha256(text.encode()).digest()).decode()}'"
                       for text in re.findall(f"<{tag}>(.*?)</{tag}>", page, re.DOTALL))
    page = read(page_path)
    page = re.sub(r"script-src [^;]*;", f"script-src 'self'{digests('script')} 'wasm-unsafe-eval';",
                  page, count=1)
    page = re.sub(r"style-src[^;]*;", f"style-src{digests('style')};", page, count=1)
    write(page_path, page)
    content = hashlib.sha256(page.encode() + read(manifest_path, "rb")).hexdigest()
    write(worker_path, read(worker_in).replace("%CACHE_NAME%", f"rolling-zemb-{content[:16]}"))


def make(page_in, program_path, wasm_path, window_path, style_path, manifest_in, worker_in, out):
    program = read(program_path)
    # Inside a script element, these would end it or change how it is read.
    if re.search(r"</script|<!--", program, re.IGNORECASE):
        sys.exit(f"{program_path} cannot stand inside a script element")
    title = read(window_path).split("\n")[0]
    style = read(style_path)
    light, dark = caption_colours(style)
    page = read(page_in)
    for placeholder, value in {"%TITLE%": html.escape(title), "%THEME_COLOUR%": light,
                               "%DARK_THEME_COLOUR%": dark, "%STYLE%": style,
                               "%WASM%": base64.b64encode(read(wasm_path, "rb")).decode()}.items():
        page = page.replace(placeholder, value)
    write(os.path.join(out, "index.html"), page.replace("%PROGRAM%", program))
    write(os.path.join(out, "manifest.webmanifest"),
          read(manifest_in).replace("%TITLE%", json.dumps(title)[1:-1])
                           .replace("%THEME_COLOUR%", light))
    seal(os.path.join(out, "index.html"), os.path.join(out, "manifest.webmanifest"), worker_in,
         os.path.join(out, "worker.js"))


if __name__ == "__main__":
    if sys.argv[1] == "--seal":
        seal(*sys.argv[2:])
    else:
        make(*sys.argv[1:])
