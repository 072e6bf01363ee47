#!/usr/bin/python3
"""Lists what a screen reader hears from the running desk: every focusable control
with its role and accessible name, read through AT-SPI.

    dbus-run-session -- sh -c 'QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 build/bin/vexorin & sleep 5; scripts/accessibility-check.py'
"""
import sys

import pyatspi


def walk(node, depth=0):
    try:
        role = node.getRoleName()
        name = node.name
        states = node.getState()
    except Exception:
        return
    if states.contains(pyatspi.STATE_FOCUSABLE) or role in ("label", "frame", "dialog"):
        label_of = ""
        for rel in node.getRelationSet():
            if rel.getRelationType() == pyatspi.RELATION_LABELLED_BY and rel.getNTargets():
                label_of = " (labelled by %r)" % rel.getTarget(0).name
        print("%s%s %r%s" % ("  " * depth, role, name, label_of))
    for i in range(node.childCount):
        walk(node.getChildAtIndex(i), depth + 1)


desktop = pyatspi.Registry.getDesktop(0)
found = False
for app in desktop:
    if app is not None and app.name and "vexorin" in app.name.lower():
        found = True
        walk(app)
if not found:
    print("vexorin is not on the accessibility bus", file=sys.stderr)
    sys.exit(1)
