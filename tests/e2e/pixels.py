#!/usr/bin/env python3
# Counts the pixels of a colour in a part of the screen, read from the X server (no screenshot
# tool needed). Usage: pixels.py X Y WIDTH HEIGHT RRGGBB
# Prints how many pixels of the area, every fourth in each direction, are that colour (each
# channel within 24).
import ctypes
import sys


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


def main():
    x, y, width, height = (int(v) for v in sys.argv[1:5])
    wanted = int(sys.argv[5], 16)
    want = ((wanted >> 16) & 255, (wanted >> 8) & 255, wanted & 255)
    x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XGetImage.restype = ctypes.POINTER(XImage)
    x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                              ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("no X display")
    image = x11.XGetImage(display, x11.XDefaultRootWindow(display), x, y, width, height,
                          0xFFFFFFFF, 2)  # ZPixmap
    if not image or image.contents.bits_per_pixel != 32:
        sys.exit("cannot read the screen")
    im = image.contents
    data = ctypes.string_at(im.data, im.bytes_per_line * im.height)
    count = 0
    for row in range(0, im.height, 4):
        for col in range(0, im.width, 4):
            at = row * im.bytes_per_line + col * 4
            b, g, r = data[at], data[at + 1], data[at + 2]
            if all(abs(a - w) <= 24 for a, w in zip((r, g, b), want)):
                count += 1
    print(count)


main()
