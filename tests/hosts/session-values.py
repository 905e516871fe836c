#!/usr/bin/env python3
"""session-values.py <session.ardour> <bounds-file> <preset index> <earlier session.ardour>
Reads what Ardour saved for the first VST3 instrument after a preset was chosen in our editor and
compares it with the instrument's own values, read from the state chunk saved beside them (the
engine record's normalised parameter values): the state plays Single <preset index>; every
parameter value Ardour saved (<Port>, plain) is the instrument's; and so is every control of
Ardour's (<Controllable>), whether its parameter changed since the earlier session or not (Ardour
7.3 starts a plug-in's controls at the declared defaults, which are a new instance's values, and
moves one only when a re-read finds its value changed). Exit 1 when any differs."""
import base64
import struct
import sys
import xml.etree.ElementTree as ET


def instrument(path):
    root = ET.parse(path).getroot()
    return next(p for r in root.iter('Route') for p in r.findall('Processor') if p.get('type') == 'vst3')


def state(proc):
    """The play mode, current Single and normalised parameter values of the saved state."""
    blob = base64.b64decode(proc.find('vst3').find('chunk').text)
    assert blob[:4] == b'VST3', 'the chunk is no .vstpreset image'
    list_at = struct.unpack_from('<q', blob, 40)[0]
    assert blob[list_at:list_at + 4] == b'List'
    comp = None
    for k in range(struct.unpack_from('<i', blob, list_at + 4)[0]):
        cid, offset, size = struct.unpack_from('<4sqq', blob, list_at + 8 + 20 * k)
        if cid == b'Comp':
            comp = blob[offset:offset + size]
    assert comp, 'no component state in the chunk'
    record = comp[28:]  # after the version, the Single and Multi counts and the length
    at = 8 + struct.unpack_from('<I', record, 4)[0]  # after the version and the settings
    play_mode, n = struct.unpack_from('<II', record, at)
    values = struct.unpack_from('<%df' % n, record, at + 8)
    at += 8 + 4 * n
    custom = struct.unpack_from('<I', record, at)[0]
    return play_mode, struct.unpack_from('<I', record, at + 4 + custom)[0], values


session, bounds_file, preset, earlier = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
proc = instrument(session)
ports = [(int(p.get('id')), float(p.get('value'))) for p in proc.find('vst3').findall('Port')]
bounds = [tuple(float(x) for x in line.split()[1:]) for line in open(bounds_file) if line.strip()]
if len(bounds) != len(ports):
    sys.exit('%d ports saved, %d input parameters' % (len(ports), len(bounds)))
play_mode, current, values = state(proc)
before = state(instrument(earlier))[2]

failures = []
if play_mode != 0 or current != preset:
    failures.append('the instrument plays mode %d preset %d, not Single %d' % (play_mode, current, preset))
plain = {}
for (pid, saved), (lower, upper) in zip(ports, bounds):
    if pid >= len(values):
        continue  # the MIDI controller parameters: the host's own values
    plain[pid] = lower + values[pid] * (upper - lower)
    if abs(saved - plain[pid]) > 1e-4 * max(1.0, upper - lower):
        failures.append('port %d: saved %g, the instrument holds %g' % (pid, saved, plain[pid]))
port_ids = [pid for pid, _ in ports]
changed = unchanged_apart = 0
for c in proc.findall('Controllable'):
    index = int(c.get('parameter', -1))
    pid = port_ids[index] if 0 <= index < len(port_ids) else None
    if pid not in plain or c.get('value') is None:
        continue
    apart = abs(float(c.get('value')) - plain[pid]) > 1e-4 * max(1.0, abs(plain[pid]))
    unchanged = values[pid] == before[pid]
    changed += 0 if unchanged else 1
    if apart:
        unchanged_apart += 1 if unchanged else 0
        failures.append('%s control %s (%d): %s, the instrument holds %g' %
                        ('unchanged' if unchanged else 'changed', c.get('name'), pid, c.get('value'), plain[pid]))
print('%s: Single %d; %d values, %d changed since the last save; %d differ (unchanged controls at older values: %d)' %
      (session, current, len(plain), changed, len(failures), unchanged_apart))
for f in failures[:20]:
    print('  ' + f)
sys.exit(1 if failures else 0)
