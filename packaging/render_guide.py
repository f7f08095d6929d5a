#!/usr/bin/python3
"""Renders the operator guide (Markdown) into one HTML file that opens by double-click on Windows.

The pictures are embedded as data URIs, so the page is complete on its own and can be copied or
mailed without its images folder. The output depends only on the input bytes (reproducible ZIP).

usage: render_guide.py GUIDE.md OUTPUT.html VERSION
"""
import base64
import html
import pathlib
import re
import sys

import markdown

STYLE = """
body { font-family: Arial, Helvetica, sans-serif; font-size: 11pt; line-height: 1.45;
       max-width: 48em; margin: 2em auto; padding: 0 1em; color: #111; }
h1 { color: #a00000; border-bottom: 3px solid #c00000; padding-bottom: .2em; }
h2 { color: #a00000; margin-top: 1.8em; border-bottom: 1px solid #ddd; }
h3 { margin-top: 1.4em; }
code, kbd { font-family: Consolas, "Courier New", monospace; background: #f3f3f3; padding: 0 .2em; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #bbb; padding: .3em .6em; text-align: left; vertical-align: top; }
th { background: #f0e0e0; }
img { max-width: 100%; border: 1px solid #999; }
blockquote { border-left: 4px solid #c00000; margin: 1em 0; padding: .2em 1em; background: #fff4f4; }
footer { margin-top: 3em; color: #666; font-size: 9pt; }
@media print { body { max-width: none; } h2 { page-break-after: avoid; } img { page-break-inside: avoid; } }
"""

IMAGE = re.compile(r'(<img[^>]*?\ssrc=")([^"]+)(")')


def embed_images(body: str, folder: pathlib.Path) -> str:
    def replace(match: re.Match) -> str:
        source = match.group(2)
        if source.startswith("data:") or "://" in source:
            return match.group(0)
        path = folder / source
        if not path.is_file():
            raise SystemExit(f"render_guide: picture not found: {path}")
        kind = {".png": "image/png", ".jpg": "image/jpeg", ".gif": "image/gif"}[path.suffix.lower()]
        data = base64.b64encode(path.read_bytes()).decode("ascii")
        return f"{match.group(1)}data:{kind};base64,{data}{match.group(3)}"

    return IMAGE.sub(replace, body)


def main() -> None:
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    source, output, version = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2]), sys.argv[3]
    text = source.read_text(encoding="utf-8")
    heading = re.search(r"^# (.+)$", text, re.MULTILINE)
    title = heading.group(1).strip() if heading else "Bedienung"
    body = markdown.markdown(text, extensions=["extra", "sane_lists"], output_format="html")
    body = embed_images(body, source.parent)
    page = (
        "<!DOCTYPE html>\n"
        '<html lang="de">\n<head>\n<meta charset="utf-8">\n'
        f"<title>{html.escape(title)}</title>\n<style>{STYLE}</style>\n</head>\n<body>\n"
        f"{body}\n<footer>Codeeingabe {html.escape(version)}</footer>\n</body>\n</html>\n"
    )
    # CR LF: the page is read on Windows, also in plain editors.
    output.write_bytes(page.replace("\n", "\r\n").encode("utf-8"))


if __name__ == "__main__":
    main()
