#!/usr/bin/env python3
"""wavcheck.py sound A.wav | same A.wav B.wav | differ A.wav B.wav | ends A.wav SECONDS
(standard library only)

sound:  exit 1 unless A has a peak above 0.01.
ends:   exit 1 unless A has a peak above 0.01 before SECONDS and none above 0.001 after.
same:   exit 1 unless A and B have the same length and differ by at most 1e-6 anywhere.
differ: exit 1 unless A and B differ by more than 1e-3 somewhere."""
import math
import struct
import sys


def read_wav(path):
    d = open(path, 'rb').read()
    if d[:4] != b'RIFF' or d[8:12] != b'WAVE':
        sys.exit('%s: not a RIFF/WAVE file' % path)
    pos, fmt, data = 12, None, None
    while pos + 8 <= len(d):
        cid, size = d[pos:pos + 4], struct.unpack('<I', d[pos + 4:pos + 8])[0]
        body = d[pos + 8:pos + 8 + size]
        if cid == b'fmt ':
            fmt = body
        elif cid == b'data':
            data = body
        pos += 8 + size + (size & 1)
    if fmt is None or data is None:
        sys.exit('%s: no fmt or data chunk' % path)
    tag, channels, rate, _, _, bits = struct.unpack('<HHIIHH', fmt[:16])
    if tag == 0xFFFE:  # WAVE_FORMAT_EXTENSIBLE: the real tag opens the sub-format GUID
        tag = struct.unpack('<H', fmt[24:26])[0]
    if tag != 3 or bits != 32:
        sys.exit('%s: expected 32-bit float samples, got tag %d with %d bits' % (path, tag, bits))
    n = len(data) // 4
    return rate, channels, struct.unpack('<%df' % n, data[:n * 4])


def describe(path, samples, rate, channels):
    frames = len(samples) // max(1, channels)
    peak = max((abs(x) for x in samples), default=0.0)
    window = max(1, rate // 4) * channels
    rms = ['%.3f' % math.sqrt(sum(x * x for x in samples[w:w + window]) / max(1, len(samples[w:w + window])))
           for w in range(0, len(samples), window)]
    print('%s: %d Hz, %d ch, %.3f s, peak %.4f, rms/250ms %s' % (path, rate, channels, frames / max(1, rate),
                                                                 peak, ' '.join(rms)))
    return peak


def max_difference(a, b):
    if len(a) != len(b):
        return float('inf')
    return max((abs(x - y) for x, y in zip(a, b)), default=0.0)


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in ('sound', 'same', 'differ', 'ends'):
        sys.exit(__doc__)
    rate, channels, a = read_wav(sys.argv[2])
    peak = describe(sys.argv[2], a, rate, channels)
    if sys.argv[1] == 'sound':
        if peak <= 0.01:
            sys.exit('SILENT: %s' % sys.argv[2])
        return
    if sys.argv[1] == 'ends' and len(sys.argv) == 4:
        at = int(float(sys.argv[3]) * rate) * channels
        before = max((abs(x) for x in a[:at]), default=0.0)
        after = max((abs(x) for x in a[at:]), default=0.0)
        print('peak before %s s %.4f, after %.6f' % (sys.argv[3], before, after))
        if before <= 0.01 or after > 0.001:
            sys.exit('the sound does not end by %s s' % sys.argv[3])
        return
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    _, _, b = read_wav(sys.argv[3])
    difference = max_difference(a, b)
    print('max |A-B| = %g' % difference)
    if sys.argv[1] == 'same' and difference > 1e-6:
        sys.exit('the renders differ')
    if sys.argv[1] == 'differ' and difference <= 1e-3:
        sys.exit('the renders are the same')


main()
