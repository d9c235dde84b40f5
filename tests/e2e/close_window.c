/* Asks a top-level window, found by its title, to close, the way a window
   manager does when the user clicks its close box: a WM_DELETE_WINDOW client
   message, which a manager sends only to windows that list that protocol.
   Usage: close_window TITLE. Exit status 0 sent, 1 no such window or it does
   not take the message, 2 no display. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <string.h>

static int has_title(Display *display, Window window, const char *title) {
    char *name = NULL;
    int match = 0;
    if (XFetchName(display, window, &name) && name) {
        match = strcmp(name, title) == 0;
        XFree(name);
    }
    return match;
}

static Window find_window(Display *display, Window window, const char *title) {
    Window root, parent, *children = NULL, found = 0;
    unsigned count = 0, i;
    if (has_title(display, window, title)) return window;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
    for (i = 0; i < count && !found; ++i) found = find_window(display, children[i], title);
    if (children) XFree(children);
    return found;
}

static int takes_delete_window(Display *display, Window window, Atom delete_window) {
    Atom *protocols = NULL;
    int count = 0, i, found = 0;
    if (!XGetWMProtocols(display, window, &protocols, &count)) return 0;
    for (i = 0; i < count; ++i) found |= protocols[i] == delete_window;
    XFree(protocols);
    return found;
}

int main(int argc, char **argv) {
    Display *display;
    Window window;
    Atom wm_protocols, wm_delete_window;
    XEvent event;

    if (argc != 2) {
        fprintf(stderr, "usage: close_window TITLE\n");
        return 2;
    }
    display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "close_window: cannot open the display\n");
        return 2;
    }
    window = find_window(display, DefaultRootWindow(display), argv[1]);
    if (!window) {
        fprintf(stderr, "close_window: no window titled \"%s\"\n", argv[1]);
        XCloseDisplay(display);
        return 1;
    }
    wm_protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    wm_delete_window = XInternAtom(display, "WM_DELETE_WINDOW", False);
    if (!takes_delete_window(display, window, wm_delete_window)) {
        fprintf(stderr, "close_window: window 0x%lx does not take WM_DELETE_WINDOW\n",
                (unsigned long)window);
        XCloseDisplay(display);
        return 1;
    }

    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = wm_protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)wm_delete_window;
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
