#!/usr/bin/env python3
"""Renders an SVG into PNG files of the given pixel sizes, for desktops and toolkits
that cannot draw SVG (Qt without its SVG module, for instance).

    scripts/render-icons.py SOURCE.svg OUTDIR NAME [SIZE...]

writes OUTDIR/<SIZE>x<SIZE>/apps/NAME.png, the hicolor theme layout. It uses the
librsvg and cairo shared libraries through ctypes, so no development package and
no Python module beyond the standard library is needed.
"""
import ctypes
import ctypes.util
import os
import sys


class _Rect(ctypes.Structure):
    _fields_ = [("x", ctypes.c_double), ("y", ctypes.c_double),
                ("width", ctypes.c_double), ("height", ctypes.c_double)]


def _load(name, soname):
    path = ctypes.util.find_library(name) or soname
    try:
        return ctypes.CDLL(path)
    except OSError:
        sys.exit(f"render-icons: cannot load {soname} (install librsvg2-2 and libcairo2)")


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    source, outdir, name = sys.argv[1:4]
    sizes = [int(s) for s in sys.argv[4:]] or [16, 24, 32, 48, 64, 128, 256]

    rsvg = _load("rsvg-2", "librsvg-2.so.2")
    cairo = _load("cairo", "libcairo.so.2")
    rsvg.rsvg_handle_new_from_file.restype = ctypes.c_void_p
    rsvg.rsvg_handle_new_from_file.argtypes = [ctypes.c_char_p, ctypes.c_void_p]
    rsvg.rsvg_handle_render_document.restype = ctypes.c_int
    rsvg.rsvg_handle_render_document.argtypes = [ctypes.c_void_p, ctypes.c_void_p,
                                                 ctypes.POINTER(_Rect), ctypes.c_void_p]
    cairo.cairo_image_surface_create.restype = ctypes.c_void_p
    cairo.cairo_image_surface_create.argtypes = [ctypes.c_int, ctypes.c_int, ctypes.c_int]
    cairo.cairo_create.restype = ctypes.c_void_p
    cairo.cairo_create.argtypes = [ctypes.c_void_p]
    cairo.cairo_surface_write_to_png.restype = ctypes.c_int
    cairo.cairo_surface_write_to_png.argtypes = [ctypes.c_void_p, ctypes.c_char_p]
    cairo.cairo_destroy.argtypes = [ctypes.c_void_p]
    cairo.cairo_surface_destroy.argtypes = [ctypes.c_void_p]

    handle = rsvg.rsvg_handle_new_from_file(source.encode(), None)
    if not handle:
        sys.exit(f"render-icons: cannot read {source}")
    for size in sizes:
        folder = os.path.join(outdir, f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        target = os.path.join(folder, name + ".png")
        surface = cairo.cairo_image_surface_create(0, size, size)  # 0: CAIRO_FORMAT_ARGB32
        context = cairo.cairo_create(surface)
        ok = rsvg.rsvg_handle_render_document(handle, context, ctypes.byref(_Rect(0, 0, size, size)), None)
        status = cairo.cairo_surface_write_to_png(surface, target.encode()) if ok else -1
        cairo.cairo_destroy(context)
        cairo.cairo_surface_destroy(surface)
        if status != 0:
            sys.exit(f"render-icons: cannot render {target}")
        print(target)


if __name__ == "__main__":
    main()
