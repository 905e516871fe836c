#!/usr/bin/env python3
"""mark-editor-open.py <session.ardour>
Marks the first VST3 instrument's window as open, with the plug-in's own editor, in the session's
<Extra><UI> node, the way Ardour 7 saves a plug-in window left open; Ardour reopens such windows
when it loads the session. Prints the window's name."""
import sys
import xml.etree.ElementTree as ET

path = sys.argv[1]
tree = ET.parse(path)
root = tree.getroot()
found = None
for route in root.iter('Route'):
    for processor in route.findall('Processor'):
        if processor.get('type') == 'vst3':
            found = (route.get('id'), processor.get('id'))
            break
    if found:
        break
if not found:
    sys.exit('no VST3 processor in %s' % path)
name = 'P-%s-%s' % found
extra = root.find('Extra')
if extra is None:
    extra = ET.SubElement(root, 'Extra')
ui = extra.find('UI')
if ui is None:
    ui = ET.SubElement(extra, 'UI')
for window in ui.findall('Window'):
    if window.get('name') == name:
        ui.remove(window)
ET.SubElement(ui, 'Window', {'name': name, 'visible': '1', 'custom-ui': '1', 'x-off': '0', 'y-off': '0',
                             'x-size': '-1', 'y-size': '-1'})
tree.write(path, encoding='UTF-8', xml_declaration=True)
print(name)
