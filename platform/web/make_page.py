"""Makes the page, its manifest and its service worker from their templates,
the program (its script and its WebAssembly), what the program says of its
window when it runs at build time with no page (window.txt: the title, the
icon and its sizes, the window's style and markup, a line each), the style
sheet and the page's first script.

The page holds it all, so a browser paints the window with the document and
starts the program with no second request: the style sheet with the
window's style, the window, the first script, and the program's script and
its WebAssembly (as base64) in data blocks that the first script reads once
the window is painted. Sealing the page then names each of its
inline scripts and style sheets by its SHA-256 in its content security
policy, which lets no other run, and makes the worker with the name of the
cache that keeps the page and its manifest, named by their content so that
each release keeps its files apart. The theme colours are the title bar's,
from the style sheet.

Usage: make_page.py PAGE.in PROGRAM.js PROGRAM.wasm WINDOW.txt STYLE.css EARLY.js
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


def without_comments(text, comment=r"\n\s*//[^\n]*"):
    """Our own script (or, with comment=CSS_COMMENT, style sheet) as a
    player's browser gets it: without the comments and the indentation,
    which it has no use for."""
    lines = re.sub(comment, "\n", "\n" + text, flags=re.DOTALL).split("\n")
    return "\n".join(line.strip() for line in lines if line.strip())


CSS_COMMENT = r"/\*.*?\*/"


def caption_colours(style):
    """--rz-caption in the light and in the dark scheme."""
    found = re.findall(r"--rz-caption:\s*(#[0-9a-fA-F]+)", style)
    if len(found) != 2:
        sys.exit("the style sheet must set --rz-caption once for each scheme")
    return found


def seal(page_path, manifest_path, worker_in, worker_path):
    def digests(pattern):
        return "".join(f" 'sha256-{base64.b64encode(hashlib.sha256(text.encode()).digest()).decode()}'"
                       for text in re.findall(pattern, page, re.DOTALL))
    page = read(page_path)
    # The scripts that run: the inline ones, and the program's, which the
    # page's first script puts in the page from its data block.
    scripts = digests(r'<script(?: type="text/plain" id="rz-program-script")?>(.*?)</script>')
    page = re.sub(r"script-src [^;]*;", f"script-src 'self'{scripts} 'wasm-unsafe-eval';", page,
                  count=1)
    page = re.sub(r"style-src[^;]*;", f"style-src{digests(r'<style>(.*?)</style>')};", page,
                  count=1)
    write(page_path, page)
    content = hashlib.sha256(page.encode() + read(manifest_path, "rb")).hexdigest()
    write(worker_path, without_comments(read(worker_in))
          .replace("%CACHE_NAME%", f"rolling-zemb-{content[:16]}"))


def make(page_in, program_path, wasm_path, window_path, style_path, early_path, manifest_in,
         worker_in, out):
    scripts = without_comments(read(early_path)), read(program_path)
    # Inside a script element, these would end it or change how it is read.
    if any(re.search(r"</script|<!--", script, re.IGNORECASE) for script in scripts):
        sys.exit("a script cannot stand inside a script element")
    title, icon, icon_sizes, window_style, window = read(window_path).split("\n")[:5]
    style = read(style_path)
    light, dark = caption_colours(style)
    page = read(page_in)
    for placeholder, value in {"%TITLE%": html.escape(title), "%ICON%": icon,
                               "%ICON_SIZES%": icon_sizes, "%THEME_COLOUR%": light,
                               "%DARK_THEME_COLOUR%": dark,
                               "%STYLE%": without_comments(style, CSS_COMMENT) + window_style,
                               "%WINDOW%": window,
                               "%WASM%": base64.b64encode(read(wasm_path, "rb")).decode()}.items():
        page = page.replace(placeholder, value)
    page = page.replace("%EARLY%", scripts[0]).replace("%PROGRAM%", scripts[1])
    write(os.path.join(out, "index.html"), page)
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
