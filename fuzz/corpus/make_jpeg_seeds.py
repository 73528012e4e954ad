#!/usr/bin/env python3
"""Writes the JPEG seeds of fuzz_jpeg: the smallest baseline greyscale
pictures, built marker by marker (one 8 x 8 block of middle grey, coded with
one-code Huffman tables); the second declares a restart interval, whose
markers its data lacks (a warning only). Run from this folder; the output is
committed."""

import struct


def segment(marker, payload):
    return struct.pack(">BBH", 0xFF, marker, len(payload) + 2) + payload


def jpeg(width, height, restart=0):
    out = b"\xff\xd8"
    out += segment(0xE0, b"JFIF\0\x01\x01\0\0\x01\0\x01\0\0")
    out += segment(0xDB, b"\x00" + bytes([1] * 64))
    out += segment(0xC0, struct.pack(">BHHB", 8, height, width, 1) + b"\x01\x11\x00")
    one_code = bytes([1] + [0] * 15)
    out += segment(0xC4, b"\x00" + one_code + b"\x00")  # DC: difference 0
    out += segment(0xC4, b"\x10" + one_code + b"\x00")  # AC: end of block
    if restart:
        out += segment(0xDD, struct.pack(">H", restart))
    out += segment(0xDA, b"\x01\x01\x00\x00\x3f\x00")
    blocks = ((width + 7) // 8) * ((height + 7) // 8)
    # Two bits per block ("0" for DC, "0" for EOB), padded with ones.
    bits = "00" * blocks
    bits += "1" * (-len(bits) % 8)
    data = bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))
    out += data.replace(b"\xff", b"\xff\x00")
    return out + b"\xff\xd9"


with open("fuzz_jpeg/grey-8x8.jpg", "wb") as f:
    f.write(jpeg(8, 8))
with open("fuzz_jpeg/grey-24x40-restart.jpg", "wb") as f:
    f.write(jpeg(24, 40, restart=2))
