"""The program's dialog as AT-SPI shows it to a screen reader: found by the program's process id,
read by roles, as a person's reader would read it."""

import time

from harness import CAPTION


def application(pid, timeout=20.0):
    import pyatspi
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            try:
                if app is not None and app.get_process_id() == pid and app.childCount > 0:
                    return app
            except Exception:  # an application that just went away
                pass
        time.sleep(0.1)
    raise AssertionError("the dialog is not on the accessibility bus")


def accessible_dialog(pid, caption=CAPTION):
    app = application(pid)
    for window in app:
        if window is not None and window.name == caption:
            return window
    raise AssertionError(f"no window named {caption!r}")


def descendants(node):
    for child in node:
        if child is not None:
            yield child
            yield from descendants(child)


def showing(node):
    import pyatspi
    return node.getState().contains(pyatspi.STATE_SHOWING)


def dialog_contents(window):
    """Labels, scrolled text, buttons and icons of the dialog, as a person's reader sees them."""
    import pyatspi
    contents = {"labels": [], "texts": [], "buttons": [], "icons": 0}
    for node in descendants(window):
        if not showing(node):
            continue  # what is hidden, a screen reader does not read either
        role = node.getRole()
        if role == pyatspi.ROLE_LABEL:
            text = node.queryText().getText(0, -1)
            if text != window.name:  # the caption, in a title bar the dialog draws itself
                contents["labels"].append(text)
        elif role == pyatspi.ROLE_TEXT:
            contents["texts"].append(node.queryText().getText(0, -1))
        elif role == pyatspi.ROLE_PUSH_BUTTON:
            contents["buttons"].append(node.name)
        elif role == pyatspi.ROLE_ICON:
            contents["icons"] += 1
    return contents


def notice_view(window):
    """The scrolled view that holds a long notice."""
    import pyatspi
    for node in descendants(window):
        if node.getRole() == pyatspi.ROLE_TEXT and showing(node):
            return node
    raise AssertionError("the dialog has no scrolled text")


def notice_text(window):
    return notice_view(window).queryText()


def ok_button(window):
    import pyatspi
    for node in descendants(window):
        if node.getRole() == pyatspi.ROLE_PUSH_BUTTON and node.name == "OK" and showing(node):
            return node
    raise AssertionError("the dialog has no OK button")


def button_share(window):
    """How much of the dialog's width its OK button takes."""
    import pyatspi
    button = ok_button(window).queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    whole = window.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    return button.width / whole.width
