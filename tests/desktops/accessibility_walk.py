#!/usr/bin/python3
# Reads the running editor through the accessibility bus (AT-SPI), as a
# screen reader does, and fails on what one could not speak or use:
#  - a showing interactive element without a name (main window, the five
#    pages of the Properties sheet, the Coefficients dialog and one
#    coefficient table), or a name or description that carries a menu
#    mnemonic ("Set As &Wallpaper") or blanks at either end (" Colors");
#  - a spin box whose value or range disagrees with the number its text
#    shows (a screen reader would speak 0 of 0..0 for "125");
#  - a coefficient table (window and table) whose name does not say whose
#    table it is; a document view, a zoom pane without a name that speaks
#    what they show;
#  - a combo box whose name is one of its own items (it would announce
#    "Reflected", not what it sets), or whose items have no words;
#  - a combo box whose current item cannot be read;
#  - a range slider whose markers cannot be read and set as values, or that
#    cannot be wrapped around the ends.
# Dialogs are opened and pages turned through the bridge's own actions.
# Exit 0 when all holds, 1 with one line a fault otherwise.

import re
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402
import pyatspi  # noqa: E402

INTERACTIVE = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON,
    pyatspi.ROLE_SLIDER, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_PAGE_TAB,
    pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TABLE, pyatspi.ROLE_TABLE_CELL,
    pyatspi.ROLE_TREE, pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_CHECK_MENU_ITEM, pyatspi.ROLE_LINK,
}

faults = []


def fault(text):
    faults.append(text)
    print("FAULT: " + text, flush=True)


def wait_for(what, probe, seconds=20.0):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            found = probe()
        except GLib.Error:
            found = None
        if found:
            return found
        time.sleep(0.2)
    print("FAILED: " + what + " within %.0f s" % seconds, flush=True)
    sys.exit(1)


def children(acc):
    result = []
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            result.append(child)
    return result


def find(acc, predicate):
    if predicate(acc):
        return acc
    for child in children(acc):
        found = find(child, predicate)
        if found is not None:
            return found
    return None


def collect(acc, predicate, found):
    if predicate(acc):
        found.append(acc)
    for child in children(acc):
        collect(child, predicate, found)


def showing(acc):
    return acc.getState().contains(pyatspi.STATE_SHOWING)


def path_of(acc):
    parts = []
    while acc is not None and acc.getRole() != pyatspi.ROLE_APPLICATION:
        parts.append("%s '%s'" % (acc.getRoleName(), acc.name))
        acc = acc.parent
    return " > ".join(reversed(parts))


def press(acc, blocking=True):
    """The element's first action. An action that opens a modal dialog only
    answers when the dialog closes, so those are not waited for."""
    action = acc.queryAction()
    if blocking:
        action.doAction(0)
        return
    Atspi.set_timeout(400, 15000)
    try:
        action.doAction(0)
    except GLib.Error:
        pass
    finally:
        Atspi.set_timeout(800, 15000)  # libatspi's own defaults


def check_combo(combo):
    lists = [c for c in children(combo) if c.getRole() == pyatspi.ROLE_LIST]
    items = [i for lst in lists for i in children(lst) if i.getRole() == pyatspi.ROLE_LIST_ITEM]
    if not items:
        fault("%s: no items to read" % path_of(combo))
    for item in items:
        if not item.name.strip():
            fault("%s: an item without words" % path_of(combo))
            break
    if combo.name in {i.name for i in items}:
        fault("%s: named after one of its items, not what it sets" % path_of(combo))
    # Its current item, read where screen readers look for it: the text of
    # a combo box whose list offers no selection.
    try:
        text = combo.queryText()
        current = text.getText(0, text.characterCount)
    except NotImplementedError:
        current = ""
    if not current.strip() or current not in {i.name for i in items}:
        fault("%s: its current item cannot be read (text '%s')" % (path_of(combo), current))


MNEMONIC = re.compile(r"&(?!&)\w")


def check_words(acc):
    """A name or description as it is spoken: no menu mnemonic, no blanks
    at either end."""
    for what, words in (("name", acc.name), ("description", acc.description)):
        if MNEMONIC.search(words or ""):
            fault("%s: its %s '%s' carries a mnemonic" % (path_of(acc), what, words))
        if words and words != words.strip():
            fault("%s: its %s '%s' has blanks at an end" % (path_of(acc), what, words))


def check_spin(spin):
    """The value and range a screen reader speaks agree with the text shown."""
    try:
        text = spin.queryText()
        shown = text.getText(0, text.characterCount)
    except NotImplementedError:
        shown = ""
    match = re.match(r"\s*(-?\d+)", shown)
    if match is None:
        return
    number = int(match.group(1))
    try:
        value = spin.queryValue()
    except NotImplementedError:
        fault("%s: a spin box without a value" % path_of(spin))
        return
    if abs(value.currentValue - number) > 1e-6:
        fault("%s: value %s while its text reads '%s'" % (path_of(spin), value.currentValue, shown))
    if not (value.minimumValue <= number <= value.maximumValue) or value.minimumValue == value.maximumValue:
        fault("%s: range %s..%s for text '%s'" % (path_of(spin), value.minimumValue, value.maximumValue, shown))


def walk(acc, counts):
    """Every showing element under acc; names, spin boxes and combo boxes
    checked."""
    if not showing(acc):
        return
    role = acc.getRole()
    check_words(acc)
    if role in INTERACTIVE:
        counts[0] += 1
        if not acc.name.strip():
            fault("%s: no name" % path_of(acc))
    if role == pyatspi.ROLE_SPIN_BUTTON:
        check_spin(acc)
    if role == pyatspi.ROLE_COMBO_BOX:
        check_combo(acc)
        return  # its closed list is not on screen
    for child in children(acc):
        walk(child, counts)


def interactive_count(acc):
    """The showing interactive elements under acc, unchecked."""
    try:
        if not showing(acc):
            return 0
        role = acc.getRole()
        own = 1 if role in INTERACTIVE else 0
        if role == pyatspi.ROLE_COMBO_BOX:
            return own
        return own + sum(interactive_count(child) for child in children(acc))
    except GLib.Error:
        return 0


def check_window(window, at_least, what):
    # A window's elements reach the bus a moment after it shows: wait (at
    # most 10 s) until there are enough, then check them once.
    end = time.monotonic() + 10.0
    while time.monotonic() < end and interactive_count(window) < at_least:
        time.sleep(0.1)
    counts = [0]
    walk(window, counts)
    print("%s: %d interactive elements" % (what, counts[0]), flush=True)
    if counts[0] < at_least:
        fault("%s: only %d interactive elements, at least %d expected" % (what, counts[0], at_least))


def check_markers(window):
    """The Red colour range: two markers read and set through their values."""
    group = find(window, lambda a: a.getRole() == pyatspi.ROLE_PANEL and a.name == "Red color range")
    if group is None:
        fault("the Red color range is not a named group")
        return
    markers = [m for m in children(group) if m.getRole() == pyatspi.ROLE_SLIDER]
    if len(markers) != 2:
        fault("Red color range: %d markers, 2 expected" % len(markers))
        return
    lower, upper = markers[0].queryValue(), markers[1].queryValue()
    if not (lower.minimumValue <= lower.currentValue <= upper.currentValue <= upper.maximumValue):
        fault("Red color range: markers out of order (%s .. %s)" % (lower.currentValue, upper.currentValue))
        return
    if abs(lower.maximumValue - upper.currentValue) > 1e-3:
        fault("Red color range: the lower marker may pass the upper one")
    step = max(lower.minimumIncrement, 0.1)
    target = lower.minimumValue + (upper.currentValue - lower.minimumValue) / 4
    target = round(target) if step >= 1 else round(target, 1)
    lower.currentValue = target
    wait_for("the lower marker to take %s" % target,
             lambda: abs(markers[0].queryValue().currentValue - target) < 0.05)
    if abs(markers[1].queryValue().minimumValue - target) > 0.05:
        fault("Red color range: the upper marker's minimum does not follow the lower marker")
    # Beyond its neighbour a marker stops at it.
    lower.currentValue = upper.currentValue + 50
    wait_for("the lower marker to stop at the upper one",
             lambda: abs(markers[0].queryValue().currentValue - markers[1].queryValue().currentValue) < 0.05)
    # Wrapped around the ends, the range says so and starts at the upper
    # marker; toggled again, it is back.
    names = [m.name for m in markers]
    action = group.queryAction()
    toggle = next((i for i in range(action.nActions) if action.getName(i) == "Toggle"), None)
    if toggle is None:
        fault("Red color range: no action to wrap it around the ends")
        return
    action.doAction(toggle)
    wait_for("the range to wrap around", lambda: group.description == "wraps around the ends")
    if [m.name for m in markers] != list(reversed(names)):
        fault("Red color range: wrapped, its markers are still named %s" % names)
    action.doAction(toggle)
    wait_for("the range to stop wrapping", lambda: group.description == "")


def main():
    app = wait_for("the editor on the accessibility bus", lambda: next(
        (a for a in children(pyatspi.Registry.getDesktop(0)) if a.name.lower() == "quorrel"), None), 40)

    def top(name, role=None):
        return next((w for w in children(app) if w.name == name and (role is None or w.getRole() == role)
                     and showing(w)), None)

    frame = wait_for("the main window", lambda: next(
        (w for w in children(app) if w.getRole() == pyatspi.ROLE_FRAME and w.name.startswith("Quorrel")), None))

    # The Properties sheet opens by itself for a new document; else by its
    # toolbar button.
    sheet = None
    for _ in range(15):
        sheet = top("Properties", pyatspi.ROLE_DIALOG)
        if sheet:
            break
        time.sleep(0.2)
    if sheet is None:
        check_window(frame, 20, "main window")
        press(find(frame, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON and a.name.startswith("Properties")),
              blocking=False)
        sheet = wait_for("the Properties sheet", lambda: top("Properties", pyatspi.ROLE_DIALOG))

    tabs = find(sheet, lambda a: a.getRole() == pyatspi.ROLE_PAGE_TAB_LIST)
    pages = [t for t in children(tabs) if t.getRole() == pyatspi.ROLE_PAGE_TAB]
    if len(pages) != 5:
        fault("the Properties sheet has %d pages, 5 expected" % len(pages))
    for page in pages:
        press(page)
        # The tab list speaks the current page's name.
        wait_for("page %s" % page.name.strip(), lambda: tabs.name == page.name)
        check_window(sheet, 8, "Properties, page " + page.name.strip())
        if page.name.strip() == "Colors":
            check_markers(sheet)
    spins = []
    for page in pages:
        if page.name in ("General", "Shapes"):
            press(page)
            wait_for("page %s" % page.name, lambda: tabs.name == page.name)
            time.sleep(0.3)
            collect(sheet, lambda a: a.getRole() == pyatspi.ROLE_SPIN_BUTTON and showing(a), spins)
    if len(spins) < 14:
        fault("the General and Shapes pages show %d spin boxes, 14 expected" % len(spins))
    press(find(sheet, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON and a.name == "Cancel"))
    wait_for("the Properties sheet to close", lambda: top("Properties") is None)

    check_window(frame, 20, "main window")
    if find(frame, lambda a: a.name == "Tile view" and a.description.strip()) is None:
        fault("main window: no document view named 'Tile view' with a description")
    if find(frame, lambda a: a.name.startswith("Zoom ") and a.name.endswith("%")) is None:
        fault("main window: the zoom pane does not speak its value ('Zoom 100 %')")

    press(find(frame, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON and a.name.startswith("Coefficients")),
          blocking=False)
    coefficients = wait_for("the Coefficients dialog", lambda: top("Coefficients", pyatspi.ROLE_DIALOG))
    check_window(coefficients, 30, "Coefficients")

    # The first table a button opens (which are enabled depends on the
    # document's components and symmetries).
    button = find(coefficients, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON
                  and a.name.endswith(" Coefficients") and a.getState().contains(pyatspi.STATE_ENABLED))
    if button is None:
        fault("Coefficients: no enabled button named '<component> <table> Coefficients'")
    else:
        press(button, blocking=False)
        table_dialog = wait_for("the coefficient table", lambda: next(
            (w for w in children(app) if showing(w) and w != coefficients
             and find(w, lambda a: a.getRole() == pyatspi.ROLE_TABLE) is not None), None))
        check_window(table_dialog, 10, "coefficient table")
        # Whose table it is, as the button that opened it says.
        table_acc = find(table_dialog, lambda a: a.getRole() == pyatspi.ROLE_TABLE)
        for what, acc in (("window", table_dialog), ("table", table_acc)):
            if acc.name != button.name:
                fault("coefficient table: its %s is named '%s', not '%s'" % (what, acc.name, button.name))
        table = table_acc.queryTable()
        if table.nRows < 1 or table.nColumns < 1:
            fault("coefficient table: %d x %d cells" % (table.nRows, table.nColumns))
        else:
            cell = table.getAccessibleAt(0, 0)
            if cell is None or not cell.name.strip():
                fault("coefficient table: its first cell has no name")
            header = table.getColumnHeader(0)
            if header is None or not header.name.strip():
                fault("coefficient table: its first column has no header to speak")
        press(find(table_dialog, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON and a.name == "Cancel"))

    print("%d faults" % len(faults), flush=True)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
