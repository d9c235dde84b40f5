// The page side of the browser display: one <canvas> per window, the DOM's
// keyboard, mouse and page events queued for the program, handing the
// page's one thread back to the browser while the program waits, and the
// font files the program's fonts ask for, fetched when first needed.
//
// Canvas pixels are the window's client pixels; CSS alone scales a canvas
// for the eye. A maximised window is the viewport. Leaving the page is the
// close box.
//
// The page may read `Module.bgi` (tests): `presents` (frames that changed
// what a window shows), `firstPresentMs` (performance.now() of the first),
// `lastPresentMs`, `asleep` (the program waits), `frames` (for each
// stretch the program kept the thread and gave a window a frame in, its
// length in milliseconds) and `fonts` (each font file the program asked
// for: true when the page had it, false when not).

mergeInto(LibraryManager.library, {
    $BgiPage: {
        // The event kinds, in the order of display::Event::Type.
        KEY_DOWN: 0, KEY_UP: 1, TEXT_INPUT: 2, MOUSE_MOVE: 3, BUTTON_DOWN: 4, BUTTON_UP: 5,
        RESIZED: 6, MINIMIZED: 7, RESTORED: 8, FOCUS_GAINED: 9, FOCUS_LOST: 10, EXPOSED: 11,
        CLOSE: 12,

        opened: false,
        windows: {},    // id -> {canvas, context, maximized, image (the view of its pixels), imageAt}
        active: 0,      // the window that keys go to: the last one shown
        captured: 0,    // the window a held mouse button went down on
        pointer: '',    // the canvases' cursor: their own, or 'none' while hidden
        events: [],
        wake: null,     // ends the program's current wait early
        awakeSince: 0,
        presentedSinceAwake: false,
        status: {presents: 0, firstPresentMs: -1, lastPresentMs: -1, asleep: false, frames: [],
                 fonts: {}},
        fontBytes: {},  // file name -> the bytes of a font file the program has yet to take

        screen: function() {
            return document.getElementById('bgi-screen') || document.body;
        },
        viewport: function() {
            const root = document.documentElement;
            return {width: root.clientWidth || window.innerWidth,
                    height: root.clientHeight || window.innerHeight};
        },
        push: function(event) {
            BgiPage.events.push(event);
            if (BgiPage.wake) BgiPage.wake();
        },
        pushAll: function(type) {
            for (const id in BgiPage.windows) BgiPage.push({type: type, window: +id});
        },

        // Win32 virtual keys: letters by the character they type (as on the
        // desktop, whatever the layout), everything else by the key itself.
        named: {
            Enter: 0x0D, NumpadEnter: 0x0D, Escape: 0x1B, Backspace: 0x08, Tab: 0x09,
            Space: 0x20, ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27, ArrowDown: 0x28,
            Home: 0x24, End: 0x23, PageUp: 0x21, PageDown: 0x22, Insert: 0x2D, Delete: 0x2E,
            ShiftLeft: 0x10, ShiftRight: 0x10, ControlLeft: 0x11, ControlRight: 0x11,
            AltLeft: 0x12, AltRight: 0x12, Semicolon: 0xBA, Equal: 0xBB, Comma: 0xBC,
            Minus: 0xBD, Period: 0xBE, Slash: 0xBF, Backquote: 0xC0, BracketLeft: 0xDB,
            Backslash: 0xDC, BracketRight: 0xDD, Quote: 0xDE,
        },
        virtualKey: function(e) {
            if (/^[a-zA-Z]$/.test(e.key)) return e.key.toUpperCase().charCodeAt(0);
            let m = /^(?:Digit|Key)([0-9A-Z])$/.exec(e.code);
            if (m) return m[1].charCodeAt(0);
            m = /^F([0-9]+)$/.exec(e.code);
            if (m && +m[1] >= 1 && +m[1] <= 12) return 0x70 + (+m[1] - 1);
            return BgiPage.named[e.code] || 0;
        },
        // The text a key types: one character, and no shortcut.
        typed: function(e) {
            if (e.ctrlKey || e.metaKey || (e.altKey && !e.getModifierState('AltGraph')))
                return '';
            return [...e.key].length === 1 ? e.key : '';
        },
        onKey: function(e, down) {
            const id = BgiPage.active;
            if (!id || !BgiPage.windows[id] || e.isComposing) return;
            const vk = BgiPage.virtualKey(e);
            const modifiers = (e.shiftKey ? 0x4 : 0) | (e.ctrlKey ? 0x8 : 0); // MK_SHIFT, MK_CONTROL
            if (vk) {
                BgiPage.push({type: down ? BgiPage.KEY_DOWN : BgiPage.KEY_UP, window: id, vk: vk,
                              repeat: e.repeat, modifiers: modifiers});
            }
            const text = down ? BgiPage.typed(e) : '';
            if (text) BgiPage.push({type: BgiPage.TEXT_INPUT, window: id, text: text});
            // The program has the keys, except the browser's own shortcuts.
            if ((vk || text) && !e.ctrlKey && !e.metaKey) e.preventDefault();
        },

        // A mouse position in the window's pixels, whatever CSS made of it.
        pointAt: function(w, e) {
            const r = w.canvas.getBoundingClientRect();
            const sx = r.width > 0 ? w.canvas.width / r.width : 1;
            const sy = r.height > 0 ? w.canvas.height / r.height : 1;
            return {x: Math.floor((e.clientX - r.left) * sx), y: Math.floor((e.clientY - r.top) * sy)};
        },
        windowUnder: function(e) {
            const id = e.target && e.target.dataset ? +e.target.dataset.bgiWindow : 0;
            return id && BgiPage.windows[id] ? id : 0;
        },
        onMouse: function(e, type) {
            // While a button is held the window it went down on follows the
            // mouse everywhere, as the desktop's windows do.
            const id = BgiPage.captured || BgiPage.windowUnder(e);
            if (!id) return;
            const p = BgiPage.pointAt(BgiPage.windows[id], e);
            const event = {type: type, window: id, x: p.x, y: p.y};
            if (type !== BgiPage.MOUSE_MOVE) {
                event.vk = [1, 2, 3][e.button] || 0;
                if (!event.vk) return;
                if (type === BgiPage.BUTTON_DOWN) {
                    BgiPage.captured = id;
                    BgiPage.active = id;
                    e.preventDefault();
                } else if (e.buttons === 0) {
                    BgiPage.captured = 0;
                }
            }
            BgiPage.push(event);
        },

        // Places the canvases: a maximised window fills the viewport; another
        // is centred and scaled up by the largest whole factor that fits.
        layout: function() {
            const view = BgiPage.viewport();
            for (const id in BgiPage.windows) {
                const w = BgiPage.windows[id], c = w.canvas;
                if (w.maximized && (c.width !== view.width || c.height !== view.height)) {
                    // The canvas is cleared by its new size: the program
                    // learns the size, and shows every pixel anew.
                    c.width = view.width;
                    c.height = view.height;
                    w.image = null;
                    BgiPage.push({type: BgiPage.RESIZED, window: +id, x: c.width, y: c.height});
                    BgiPage.push({type: BgiPage.EXPOSED, window: +id});
                }
                const scale = w.maximized ? 1 : Math.max(1, Math.floor(Math.min(
                    view.width / Math.max(c.width, 1), view.height / Math.max(c.height, 1))));
                const width = c.width * scale, height = c.height * scale;
                c.style.width = width + 'px';
                c.style.height = height + 'px';
                c.style.left = Math.max(0, Math.floor((view.width - width) / 2)) + 'px';
                c.style.top = Math.max(0, Math.floor((view.height - height) / 2)) + 'px';
            }
        },

        // Gives the thread to the page until `start` calls back. A program's
        // main that returns after it has waited returns to this callback,
        // not to the runtime that called it: its end is passed on from here.
        sleep: function(start) {
            return Asyncify.handleSleep(wakeUp => {
                const ended = error => {
                    if (error && error.name === 'ExitStatus') return; // exit() ended it
                    if (Module['onAbort']) Module['onAbort'](String(error));
                    setTimeout(() => { throw error; });
                };
                Asyncify.asyncPromiseHandlers = {
                    resolve: status => {
                        try {
                            exit(status, true);
                        } catch (error) {
                            ended(error);
                        }
                    },
                    reject: ended,
                };
                start(wakeUp);
            });
        },

        // The bytes of a font file: from inside the page, where a one-file
        // page carries them compressed (`Module.bgiFontFiles`: file name ->
        // base64 of the gzip of the file), or else fetched from the folder
        // bgi-fonts beside the page. A promise of null when neither has it,
        // or it took longer than `FONT_TIMEOUT_MS` to come.
        FONT_FOLDER: 'bgi-fonts/',
        FONT_TIMEOUT_MS: 30000,
        loadFont: function(file) {
            const inside = Module['bgiFontFiles'] && Module['bgiFontFiles'][file];
            const abort = new AbortController();
            const timer = setTimeout(() => abort.abort(), BgiPage.FONT_TIMEOUT_MS);
            const bytes = inside
                ? fetch('data:application/gzip;base64,' + inside)
                      .then(r => new Response(r.body.pipeThrough(new DecompressionStream('gzip'))))
                : fetch(BgiPage.FONT_FOLDER + encodeURIComponent(file), {signal: abort.signal})
                      .then(r => r.ok ? r : null);
            return bytes.then(r => r ? r.arrayBuffer() : null)
                .then(data => data && data.byteLength ? new Uint8Array(data) : null, () => null)
                .finally(() => clearTimeout(timer));
        },

        // The program has the thread back (`awake`) or gives it up (`asleep`):
        // a stretch in which it showed a frame is one frame's work.
        awake: function() {
            BgiPage.status.asleep = false;
            BgiPage.awakeSince = performance.now();
            BgiPage.presentedSinceAwake = false;
        },
        asleep: function() {
            if (BgiPage.presentedSinceAwake) {
                const frames = BgiPage.status.frames;
                if (frames.length >= 100000) frames.splice(0, 50000);
                frames.push(performance.now() - BgiPage.awakeSince);
            }
            BgiPage.status.asleep = true;
        },
    },
    $BgiPage__postset: 'Module["bgi"] = BgiPage.status;',

    bgi_page_open__deps: ['$BgiPage'],
    bgi_page_open: function() {
        if (BgiPage.opened) return;
        BgiPage.opened = true;
        BgiPage.awake();
        window.addEventListener('keydown', e => BgiPage.onKey(e, true));
        window.addEventListener('keyup', e => BgiPage.onKey(e, false));
        document.addEventListener('mousemove', e => BgiPage.onMouse(e, BgiPage.MOUSE_MOVE));
        document.addEventListener('mousedown', e => BgiPage.onMouse(e, BgiPage.BUTTON_DOWN));
        document.addEventListener('mouseup', e => BgiPage.onMouse(e, BgiPage.BUTTON_UP));
        window.addEventListener('resize', () => BgiPage.layout());
        window.addEventListener('focus', () => BgiPage.pushAll(BgiPage.FOCUS_GAINED));
        window.addEventListener('blur', () => BgiPage.pushAll(BgiPage.FOCUS_LOST));
        // Leaving the page closes its windows. Should the page come back from
        // the browser's cache, the program learns so at its next wait.
        window.addEventListener('pagehide', () => BgiPage.pushAll(BgiPage.CLOSE));
    },

    // The display's size and the part windows may fill, in CSS pixels:
    // the screen (at least the viewport), and the viewport.
    bgi_page_sizes__deps: ['$BgiPage'],
    bgi_page_sizes: function(out) {
        const view = BgiPage.viewport();
        HEAP32[out >> 2] = Math.max(window.screen.width || 0, view.width);
        HEAP32[(out >> 2) + 1] = Math.max(window.screen.height || 0, view.height);
        HEAP32[(out >> 2) + 2] = view.width;
        HEAP32[(out >> 2) + 3] = view.height;
    },

    bgi_page_create__deps: ['$BgiPage'],
    bgi_page_create: function(id, title, width, height) {
        const c = document.createElement('canvas');
        c.width = Math.max(width, 1);
        c.height = Math.max(height, 1);
        c.dataset.bgiWindow = id;
        c.className = 'bgi-window';
        c.style.position = 'absolute';
        c.style.cursor = BgiPage.pointer;
        c.style.imageRendering = 'pixelated';
        c.style.display = 'none';
        c.addEventListener('contextmenu', e => e.preventDefault());
        BgiPage.screen().appendChild(c);
        BgiPage.windows[id] = {canvas: c, context: c.getContext('2d', {alpha: false, willReadFrequently: true}),
                               maximized: false, image: null};
        const name = UTF8ToString(title);
        if (name) document.title = name;
    },

    bgi_page_destroy__deps: ['$BgiPage'],
    bgi_page_destroy: function(id) {
        const w = BgiPage.windows[id];
        if (!w) return;
        w.canvas.remove();
        delete BgiPage.windows[id];
        if (BgiPage.active === id) BgiPage.active = 0;
        if (BgiPage.captured === id) BgiPage.captured = 0;
    },

    bgi_page_show__deps: ['$BgiPage'],
    bgi_page_show: function(id, maximized, width, height) {
        const w = BgiPage.windows[id];
        if (!w) return;
        w.maximized = !!maximized;
        const c = w.canvas;
        if (c.width !== width || c.height !== height) {
            c.width = Math.max(width, 1);
            c.height = Math.max(height, 1);
            w.image = null;
        }
        c.style.display = 'block';
        BgiPage.active = id;
        BgiPage.layout();
    },

    // Copies the rectangle (x, y, width, height) of the window's picture
    // (pixels: RGBA bytes, rows of `stride` pixels) onto its canvas.
    bgi_page_put__deps: ['$BgiPage'],
    bgi_page_put: function(id, pixels, stride, rows, x, y, width, height) {
        const w = BgiPage.windows[id];
        if (!w || width <= 0 || height <= 0) return;
        // A view of the program's memory, made anew when the memory grew.
        if (!w.image || w.image.data.buffer !== HEAPU8.buffer || w.imageAt !== pixels ||
            w.image.width !== stride || w.image.height !== rows) {
            w.image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, pixels, stride * rows * 4),
                                    stride, rows);
            w.imageAt = pixels;
        }
        w.context.putImageData(w.image, 0, 0, x, y, width, height);
    },

    // Counts a frame given to a window, and whether it changed what shows.
    bgi_page_presented__deps: ['$BgiPage'],
    bgi_page_presented: function(changed) {
        BgiPage.presentedSinceAwake = true;
        if (!changed) return;
        const s = BgiPage.status, now = performance.now();
        if (s.presents++ === 0) s.firstPresentMs = now;
        s.lastPresentMs = now;
    },

    bgi_page_fill__deps: ['$BgiPage'],
    bgi_page_fill: function(id, x, y, width, height) {
        const w = BgiPage.windows[id];
        if (!w || width <= 0 || height <= 0) return;
        w.context.fillStyle = '#000';
        w.context.fillRect(x, y, width, height);
    },

    // The next event: its numbers into out[0..7] (type, window, x, y,
    // virtual key, repeat, modifiers, text length) and its text, UTF-8,
    // into text[0..size-1]. 0 when none is waiting.
    bgi_page_next_event__deps: ['$BgiPage'],
    bgi_page_next_event: function(out, text, size) {
        const e = BgiPage.events.shift();
        if (!e) return 0;
        const fields = [e.type, e.window || 0, e.x || 0, e.y || 0, e.vk || 0, e.repeat ? 1 : 0,
                        e.modifiers || 0, 0];
        if (e.text) fields[7] = stringToUTF8(e.text, text, size);
        for (let i = 0; i < fields.length; ++i) HEAP32[(out >> 2) + i] = fields[i];
        return 1;
    },

    // The program waits: the thread goes back to the page until an event
    // arrives or `ms` milliseconds have passed.
    bgi_page_wait__deps: ['$BgiPage'],
    bgi_page_wait: function(ms) {
        return BgiPage.sleep(wakeUp => {
            if (BgiPage.events.length) {
                wakeUp(); // at once: the program carries on without giving up the thread
                return;
            }
            BgiPage.asleep();
            let timer = 0;
            const done = () => {
                if (!BgiPage.wake) return;
                BgiPage.wake = null;
                clearTimeout(timer);
                BgiPage.awake();
                wakeUp();
            };
            BgiPage.wake = done;
            timer = setTimeout(done, Math.max(ms, 0));
        });
    },

    // The program pauses: for `ms` milliseconds, or with 0 for one turn of
    // the page's event loop (a message to ourselves, which the browser does
    // not stretch the way it stretches short timeouts).
    bgi_page_pause__deps: ['$BgiPage'],
    bgi_page_pause: function(ms) {
        return BgiPage.sleep(wakeUp => {
            BgiPage.asleep();
            const done = () => {
                BgiPage.awake();
                wakeUp();
            };
            if (ms > 0) {
                setTimeout(done, ms);
                return;
            }
            const channel = new MessageChannel();
            channel.port1.onmessage = done;
            channel.port2.postMessage(0);
        });
    },

    // The program needs a font file: the thread goes back to the page until
    // the file has come. Its size in bytes, or -1 when the page cannot have
    // it; bgi_page_font_take then copies the bytes to `out`.
    bgi_page_font_load__deps: ['$BgiPage'],
    bgi_page_font_load: function(name) {
        const file = UTF8ToString(name);
        return BgiPage.sleep(wakeUp => {
            BgiPage.asleep();
            BgiPage.loadFont(file).then(bytes => {
                BgiPage.status.fonts[file] = !!bytes;
                if (bytes) BgiPage.fontBytes[file] = bytes;
                BgiPage.awake();
                wakeUp(bytes ? bytes.length : -1);
            });
        });
    },
    bgi_page_font_take__deps: ['$BgiPage'],
    bgi_page_font_take: function(name, out) {
        const file = UTF8ToString(name), bytes = BgiPage.fontBytes[file];
        if (!bytes) return;
        HEAPU8.set(bytes, out);
        delete BgiPage.fontBytes[file];
    },

    // How long the program has kept the thread since it last gave it back.
    bgi_page_busy_ms__deps: ['$BgiPage'],
    bgi_page_busy_ms: function() {
        return performance.now() - BgiPage.awakeSince;
    },

    // What the window's canvas shows, as 0x00RRGGBB values (tests).
    bgi_page_read__deps: ['$BgiPage'],
    bgi_page_read: function(id, out) {
        const w = BgiPage.windows[id];
        if (!w) return;
        const c = w.canvas, data = w.context.getImageData(0, 0, c.width, c.height).data;
        for (let i = 0, n = c.width * c.height; i < n; ++i)
            HEAP32[(out >> 2) + i] = (data[4 * i] << 16) | (data[4 * i + 1] << 8) | data[4 * i + 2];
    },
    bgi_page_canvas_size__deps: ['$BgiPage'],
    bgi_page_canvas_size: function(id, out) {
        const w = BgiPage.windows[id];
        HEAP32[out >> 2] = w ? w.canvas.width : 0;
        HEAP32[(out >> 2) + 1] = w ? w.canvas.height : 0;
    },

    // Shows or hides the pointer over the windows.
    bgi_page_pointer__deps: ['$BgiPage'],
    bgi_page_pointer: function(shown) {
        BgiPage.pointer = shown ? '' : 'none';
        for (const id in BgiPage.windows) BgiPage.windows[id].canvas.style.cursor = BgiPage.pointer;
    },

    bgi_page_inject__deps: ['$BgiPage'],
    bgi_page_inject: function(type, id, x, y, vk, text) {
        BgiPage.push({type: type, window: id, x: x, y: y, vk: vk, text: text ? UTF8ToString(text) : ''});
    },
});
