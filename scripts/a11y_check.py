#!/usr/bin/python3
"""Walks Kestrel over AT-SPI as a screen reader does (scripts/a11y-check.sh starts it).

For the main window and every window its menus open, in English and then in Chinese, it
counts the controls that can take the focus and lists those without a usable name: no
name at all, or a combo box named only by the entry it shows. It also checks that the
channel grid, the navigation tree and the tool bar are named, that a message box comes
as an alert, and that a status note reaches the bus as a name change. Exit status 1 when
anything is missing.

Usage: a11y_check.py OTHER.dat   (a data file for the compare window)
"""
import os
import re
import subprocess
import sys
import time

import gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402
import pyatspi  # noqa: E402

# A menu command that opens a modal dialog answers only when the dialog closes: call it
# with a short time-out and go on.
Atspi.set_timeout(1500, 15000)
OTHER = sys.argv[1] if len(sys.argv) > 1 else ""
SAVED = os.path.join(os.path.dirname(OTHER) or "/tmp", "saved.dat")

# The windows and the menu path of the command that opens each: English, Chinese.
WINDOWS = [
    ("Optional Features", ["Edit", "Optional Features"], ["编辑", "可选功能"]),
    ("Key Assignment", ["Edit", "Key Assignment"], ["编辑", "侧键设定"]),
    ("DTMF", ["Edit", "DTMF"], ["编辑", "DTMF"]),
    ("Model Information", ["Edit", "Model Information"], ["编辑", "机型信息"]),
    ("Radio Information", ["Edit", "Embedded Message"], ["编辑", "嵌入信息"]),
    ("Batch Edit", ["Edit", "Batch Edit"], ["编辑", "信道批量编辑"]),
    ("Communication Port", ["Communication Port"], ["通讯端口"]),
    ("Cable Check", ["Help", "Check Cable"], ["帮助", "检查数据线"]),
    ("Fleet Write", ["Program", "Fleet Write"], ["编程", "批量写频"]),
    ("Compare", ["File", "Compare With File"], ["文件", "与文件比较"]),
    ("About", ["Help", "About..."], ["帮助", "关于..."]),
    ("Message box (New)", ["File", "New"], ["文件", "新建"]),
]
CHINESE = ["View", "Chinese"]
SAVE = (["File", "Save"], ["文件", "保存"])
CLOSERS = ["Cancel", "取消", "Close", "关闭", "退出", "No", "否", "OK", "Ok", "确定"]
# Controls a screen reader stops at; containers whose insides are items, not controls.
CONTROLS = {pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_COMBO_BOX,
            pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_SLIDER,
            pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_LIST,
            pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_PASSWORD_TEXT}
OPAQUE = {pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_LIST, pyatspi.ROLE_MENU_BAR,
          pyatspi.ROLE_MENU, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SCROLL_BAR}

problems = []
name_changes = []
cells = []


def pump(seconds):
    end = time.time() + seconds
    ctx = GLib.MainContext.default()
    while time.time() < end:
        while ctx.pending():
            ctx.iteration(False)
        time.sleep(0.05)


def clean(name):
    name = (name or "").split("\t")[0]
    name = re.sub(r"\(&?.\)$", "", name.strip())
    return name.replace("…", "").strip()


def kids(acc):
    out = []
    try:
        n = acc.childCount
    except Exception:
        return out
    for i in range(n):
        try:
            c = acc.getChildAtIndex(i)
        except Exception:
            c = None
        if c is not None:
            out.append(c)
    return out


def states(acc):
    try:
        return acc.getState()
    except Exception:
        return None


def walk(acc):
    yield acc
    try:
        role = acc.getRole()
    except Exception:
        return
    if role in OPAQUE:
        return
    for c in kids(acc):
        s = states(c)
        if s is not None and not s.contains(pyatspi.STATE_VISIBLE):
            continue
        yield from walk(c)


def find(acc, role=None, name=None, depth=12):
    for a in walk(acc):
        try:
            if (role is None or a.getRole() == role) and (name is None or clean(a.name) == name):
                return a
        except Exception:
            pass
    return None


def combo_value(acc):
    for c in kids(acc):
        try:
            if c.getRole() == pyatspi.ROLE_LIST:
                sel = c.querySelection()
                if sel.nSelectedChildren:
                    return sel.getSelectedChild(0).name
        except Exception:
            pass
    try:
        t = acc.queryText()
        return t.getText(0, -1)
    except Exception:
        return None


def check(window, label, language):
    seen, unnamed = 0, []
    for a in walk(window):
        try:
            role = a.getRole()
            s = a.getState()
        except Exception:
            continue
        if role not in CONTROLS or not s.contains(pyatspi.STATE_FOCUSABLE):
            continue
        seen += 1
        name = (a.name or "").strip()
        why = None
        if not name:
            why = "no name"
        elif role == pyatspi.ROLE_COMBO_BOX and name == (combo_value(a) or "").strip():
            why = "named by its value"
        if why:
            unnamed.append("%s (%s)%s" % (a.getRoleName(), why, ": " + name if name else ""))
    print("%-8s %-22s %3d controls, %d without a usable name" % (language, label, seen, len(unnamed)))
    for u in unnamed:
        print("           - " + u)
        problems.append("%s %s: %s" % (language, label, u))
    return seen


def application():
    end = time.time() + 90
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for a in kids(desktop):
            if a.name == "Kestrel":
                return a
        time.sleep(0.5)
    sys.exit("a11y-check: Kestrel never appeared on the accessibility bus")


def windows(app):
    """The windows on screen (a hidden dialog kept for later does not count)."""
    out = []
    for w in kids(app):
        st = states(w)
        if st is not None and st.contains(pyatspi.STATE_VISIBLE):
            out.append(w)
    return out


def main_window(app):
    for w in windows(app):
        if w.getRole() == pyatspi.ROLE_FRAME and w.name.startswith("Kestrel"):
            return w
    return None


def invoke(app, path):
    bar = find(main_window(app), pyatspi.ROLE_MENU_BAR)
    item = bar
    for step in path:
        nxt = None
        for attempt in range(2):
            # A menu bar entry holds its drop-down menu, which holds the entries once shown.
            choices = []
            for c in kids(item):
                choices.append(c)
                choices.extend(kids(c))
            for c in choices:
                if clean(c.name) == step:
                    nxt = c
                    break
            if nxt is not None or item is bar:
                break
            try:
                item.queryAction().doAction(0)  # opens the drop-down menu
            except Exception:
                pass
            pump(0.5)
        if nxt is None:
            raise LookupError("no menu entry %r (have %s)" % (step, [clean(c.name) for c in choices]))
        item = nxt
    try:
        item.queryAction().doAction(0)
    except Exception:
        pass  # the modal dialog it opened keeps the call from answering


def new_window(app, before, wait=15):
    end = time.time() + wait
    while time.time() < end:
        pump(0.2)
        for w in windows(app):
            if w not in before:
                s = states(w)
                if s is not None and s.contains(pyatspi.STATE_VISIBLE):
                    return w
    return None


def gone(app, window, wait=10):
    end = time.time() + wait
    while time.time() < end:
        if window not in windows(app):
            return True
        s = states(window)
        if s is None or not s.contains(pyatspi.STATE_VISIBLE):
            return True  # hidden, kept for the next time (the batch editor)
        pump(0.2)
    return False


def press(window, names):
    for n in names:
        b = find(window, pyatspi.ROLE_PUSH_BUTTON, n)
        if b is not None:
            try:
                b.queryAction().doAction(0)
            except Exception:
                pass
            return True
    return False


def answer_file_dialog(app, dialog, path):
    """Types the path into a file dialog and accepts it; the window that follows, if any."""
    field = None
    for a in walk(dialog):
        try:
            if a.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY) and a.getState().contains(pyatspi.STATE_EDITABLE):
                field = a
        except Exception:
            pass
    if field is None:
        return None
    field.queryEditableText().setTextContents(path)
    before = windows(app)
    press(dialog, ["Open", "打开", "Save", "保存"])
    gone(app, dialog)
    return new_window(app, [w for w in before if w != dialog], wait=8)


def is_file_dialog(window):
    return find(window, pyatspi.ROLE_PUSH_BUTTON, "Open") or find(window, pyatspi.ROLE_PUSH_BUTTON, "打开") \
        or find(window, pyatspi.ROLE_PUSH_BUTTON, "Save") or find(window, pyatspi.ROLE_PUSH_BUTTON, "保存")


def on_event(event):
    try:
        if event.source.getRole() == pyatspi.ROLE_LABEL:
            name_changes.append(event.source.name)
    except Exception:
        pass


def on_cell(event):
    """A cell of the grid, or the editor the grid opens in the current cell, took the focus."""
    try:
        cell = event.any_data if event.type.startswith("object:active-descendant") else event.source
        if cell is not None and cell.getRole() in (pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_TEXT,
                                                   pyatspi.ROLE_ENTRY):
            cells.append(cell)
    except Exception:
        pass


def xdotool(*args):
    return subprocess.run(["xdotool"] + [str(a) for a in args], capture_output=True, text=True).stdout.split()


def check_grid_cell(main, language):
    """Moves the grid's current cell with a real click and keys (the window focused first:
    there is no window manager); the cell a screen reader is told about last must carry its
    column header and its channel number."""
    grid = find(main, pyatspi.ROLE_TABLE)
    said = "no cell announced"
    ok = False
    try:
        for window in xdotool("search", "--onlyvisible", "--name", "^Kestrel"):
            xdotool("windowfocus", "--sync", window)
        x, y, w, h = grid.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        del cells[:]
        # A click makes a cell current (and opens its editor); the keys move on from there.
        xdotool("mousemove", x + w // 4, y + h // 3, "click", "1")
        pump(1)
        for key in ("Return", "Tab"):
            xdotool("key", key)
            pump(1)
        if cells and cells[-1].getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY):
            # The grid edits in place: the cell's editor is named "<column>, channel <N>".
            said = repr(cells[-1].name)
            ok = re.match(r"^.+(, channel |，信道 )\d+$", cells[-1].name or "") is not None
        elif cells:
            cell = cells[-1]
            table = grid.queryTable()
            index = cell.getIndexInParent()
            row, column = table.getRowAtIndex(index), table.getColumnAtIndex(index)
            header = table.getColumnHeader(column)
            rowh = table.getRowHeader(row)
            said = "%r, column %r, row %r" % (cell.name, header.name if header else None, rowh.name if rowh else None)
            ok = bool(header is not None and header.name and rowh is not None and rowh.name)
    except Exception as e:
        ok, said = False, "error %s" % e
    print("%-8s %-22s %s" % (language, "grid cell", ("announced " if ok else "NOT ANNOUNCED: ") + said))
    if not ok:
        problems.append("%s grid cell: %s" % (language, said))


def check_named(main, language, role, expected, what):
    a = find(main, role)
    name = a.name if a is not None else None
    ok = name is not None and name.startswith(expected)
    print("%-8s %-22s %s" % (language, what, "named \"%s\"" % name if ok else "NOT NAMED (%r)" % name))
    if not ok:
        problems.append("%s %s: %r" % (language, what, name))


def run():
    app = application()
    end = time.time() + 60
    while main_window(app) is None and time.time() < end:
        pump(0.5)
    pump(2)
    pyatspi.Registry.registerEventListener(on_event, "object:property-change:accessible-name")
    pyatspi.Registry.registerEventListener(on_cell, "object:active-descendant-changed", "object:state-changed:focused")
    total = 0
    for index, language in enumerate(["English", "Chinese"]):
        if language == "Chinese":
            invoke(app, CHINESE)
            pump(3)
        main = main_window(app)
        total += check(main, "Main window", language)
        check_named(main, language, pyatspi.ROLE_TABLE, ["Channels, group", "信道，第"][index], "channel grid")
        check_named(main, language, pyatspi.ROLE_TREE if find(main, pyatspi.ROLE_TREE) else pyatspi.ROLE_TREE_TABLE,
                    ["Navigation", "导航"][index], "navigation tree")
        check_named(main, language, pyatspi.ROLE_TOOL_BAR, ["Tool bar", "工具栏"][index], "tool bar")
        check_grid_cell(main, language)
        for label, english, chinese in WINDOWS:
            before = windows(app)
            try:
                invoke(app, [english, chinese][index])
            except LookupError as e:
                print("%-8s %-22s %s" % (language, label, e))
                problems.append("%s %s: %s" % (language, label, e))
                continue
            window = new_window(app, before)
            if window is not None and label == "Compare" and is_file_dialog(window):
                window = answer_file_dialog(app, window, OTHER)
            if window is None:
                print("%-8s %-22s did not open" % (language, label))
                problems.append("%s %s: did not open" % (language, label))
                continue
            if label.startswith("Message box") and window.getRole() != pyatspi.ROLE_ALERT:
                problems.append("%s %s: role %s, not an alert" % (language, label, window.getRoleName()))
            total += check(window, label, language)
            if not press(window, CLOSERS):
                problems.append("%s %s: no button closes it" % (language, label))
            if not gone(app, window):
                problems.append("%s %s: did not close" % (language, label))
                return total
            before = [w for w in windows(app) if w != window]
        # A status note ("Saved ...") reaches the bus as a name change.
        before = windows(app)
        del name_changes[:]
        invoke(app, SAVE[index])
        dialog = new_window(app, before)
        saved = SAVED.replace(".dat", "-%s.dat" % language)
        if dialog is not None and is_file_dialog(dialog):
            answer_file_dialog(app, dialog, saved)
        pump(2)
        said = [n for n in name_changes if os.path.basename(saved) in (n or "")]
        print("%-8s %-22s %s" % (language, "status note", "announced \"%s\"" % said[0] if said else "NOT ANNOUNCED"))
        if not said:
            problems.append("%s status note: no name change for the saved file" % language)
    return total


if __name__ == "__main__":
    seen = run()
    for p in problems:
        print("problem: " + p)
    print("%d controls seen in all, %d problems" % (seen, len(problems)))
    sys.exit(1 if problems else 0)
