// The page's script: DOM events become calls on the quiz (web/main.cpp), and
// drelvan.paint... draws what it answers. Which entry a key, a letter, the
// pointer or a tap picks, and what a check or "Чисти" does, is decided there.
var drelvan = (function () {
    var byId = document.getElementById.bind(document);
    var lists = [byId('names'), byId('periods')];
    var captions = [byId('title'), byId('namesCaption'), byId('periodsCaption')];
    var area = byId('window'), verdict = byId('verdict'), live = byId('live');
    var failure = byId('failure'), failureText = failure.lastChild, dismiss = failure.firstChild;
    var focusBefore = null; // where the focus was before the failure's button had it
    var shownTop = [0, 0];
    var painted = [false, false]; // the quiz has painted the list's entries
    var entries = [[], []]; // each list's entries, as the quiz last told them
    // A list of more entries than this holds only the rows in sight and a
    // few either side (and the focus mark's and the selection's) in the DOM;
    // one of this many or fewer holds them all, for a screen reader's browse
    // mode to read whole.
    var allInDom = 1000, nearSight = 20;
    var core = null;
    var waiting = []; // what is to be done once the quiz has started

    function rowHeight(list) {
        return parseFloat(getComputedStyle(list).lineHeight);
    }
    // Writes `text` where the quiz reads its input texts; returns its length.
    function put(text) {
        var at = core.dv_input() >> 1, heap = core.HEAPU16;
        var units = Math.min(text.length, core.dv_input_size());
        for (var i = 0; i < units; ++i)
            heap[at + i] = text.charCodeAt(i);
        return units;
    }
    // The row of the list's box under a pointer event (0 the first shown).
    function line(list, event) {
        var box = list.getBoundingClientRect();
        return Math.floor((event.clientY - box.top - list.clientTop) / rowHeight(list));
    }
    function shownRow(list) {
        return Math.round(list.scrollTop / rowHeight(list));
    }
    function onScrollBar(list, event) {
        var box = list.getBoundingClientRect();
        return event.clientX - box.left - list.clientLeft >= list.clientWidth
            || event.clientY - box.top - list.clientTop >= list.clientHeight;
    }
    function focus(list) {
        if (document.activeElement !== list)
            list.focus();
    }
    // A row is the font's height, as in the desktop windows: its ascent and
    // descent, each rounded to the pixel, in the face the window is drawn
    // with. The font's own metrics, not a line box's, whose height each
    // engine reckons its own way (Firefox adds the face's line gap).
    // Measured as the quiz starts, once the first frame is drawn. Where the
    // box of a caption's text is as high as the row pagegen measured in the
    // face the page asks for (data-row), that is the answer; only where it is
    // not does a canvas, which costs several milliseconds, measure the face
    // in use.
    function measureRows() {
        var caption = byId('namesCaption');
        var text = document.createRange();
        text.selectNodeContents(caption);
        var height = Math.round(text.getClientRects()[0].height);
        if (height !== Number(area.dataset.row)) {
            var context = document.createElement('canvas').getContext('2d');
            context.font = getComputedStyle(caption).font;
            var metrics = context.measureText(caption.textContent);
            var face = Math.round(metrics.fontBoundingBoxAscent) + Math.round(metrics.fontBoundingBoxDescent);
            if (face > 0)
                height = face;
        }
        area.style.setProperty('--row', height + 'px');
    }
    function rowsFit() {
        lists.forEach(function (list, member) {
            core.dv_rows(member, Math.max(1, Math.floor(list.clientHeight / rowHeight(list))));
        });
    }

    // The rows moved (the scroll bar, or the browser bringing an option into
    // sight): the quiz decides the first row shown, and the rows snap to it.
    // Called before the pointer is placed on a row too, since the scroll
    // event comes a frame late.
    // `top` is the first row shown when a pointer event came, where it was
    // kept until the quiz had started.
    function follow(list, member, top) {
        if (!core)
            return;
        var height = rowHeight(list);
        if (top === undefined)
            top = shownRow(list);
        if (top !== shownTop[member])
            core.dv_scroll(member, top);
        if (list.scrollTop !== shownTop[member] * height)
            list.scrollTop = shownTop[member] * height;
    }

    var scrollKeys = ['ArrowUp', 'ArrowDown', 'PageUp', 'PageDown', 'End', ' '];

    function wire(list, member) {
        var pointer = null; // the mouse button held on this list
        var clicked = false; // a pointer made the click that follows
        list.addEventListener('focus', function () { core && core.dv_focus(member, 1); });
        list.addEventListener('blur', function () { core && core.dv_focus(member, 0); });
        list.addEventListener('keydown', function (event) {
            if (!core)
                return;
            // A key the quiz leaves to the window (with Alt) does nothing to
            // the list either: the browser would scroll it on its own, and a
            // smooth scroll still running could move the list after the
            // quiz has placed it. Alt with Left, Right or Home stays the
            // browser's (back, forward, home page).
            if (core.dv_key(member, put(event.key), event.shiftKey, event.ctrlKey, event.altKey)
                    || scrollKeys.indexOf(event.key) >= 0)
                event.preventDefault();
        });
        // keypress comes for the keys that type a character, with it.
        list.addEventListener('keypress', function (event) {
            if (core && event.charCode && !event.metaKey
                    && core.dv_type(member, put(String.fromCodePoint(event.charCode)), event.timeStamp))
                event.preventDefault();
        });
        // A press, a drag or a tap made in the moment before the quiz has
        // started is kept, in order, and played once it has: a desktop
        // window's queue of messages keeps them so.
        var handlers = {
            pointerdown: function (event) {
                clicked = true;
                if (event.button !== 0 || onScrollBar(list, event))
                    return;
                if (event.pointerType === 'mouse') {
                    // The focus would otherwise go where the browser puts it
                    // after this event, when the entry under the pointer may
                    // have left the list; and no text is to be selected.
                    event.preventDefault();
                    follow(list, member);
                    focus(list);
                    pointer = event.pointerId;
                    // A press from before these handlers (web/first.js) may
                    // have been lifted since; its lift comes next.
                    try {
                        list.setPointerCapture(pointer);
                    } catch (lifted) {
                    }
                    var top = shownRow(list), row = line(list, event);
                    whenStarted(function () {
                        follow(list, member, top);
                        core.dv_press(member, row);
                    });
                }
            },
            pointermove: function (event) {
                if (pointer !== event.pointerId)
                    return;
                var row = line(list, event);
                whenStarted(function () { core.dv_drag(member, row); });
            },
            pointerup: function (event) {
                // A finger or a pen picks where it is lifted, unless the
                // browser took the gesture for scrolling (pointercancel
                // instead); the lift is the list's where the finger came down.
                if (event.pointerType !== 'mouse' && event.isPrimary && list.contains(event.target)
                        && !onScrollBar(list, event)) {
                    follow(list, member);
                    focus(list);
                    var top = shownRow(list), row = line(list, event);
                    whenStarted(function () {
                        follow(list, member, top);
                        core.dv_tap(member, row);
                    });
                }
                release(event);
            },
            lostpointercapture: release,
            pointercancel: release,
            // A click no pointer made: a screen reader's, on an option.
            click: function (event) {
                var option = event.target.closest('[role=option]');
                if (core && !clicked && option)
                    core.dv_pick(member, Number(option.id.slice(list.id.length + 1)));
                clicked = false;
            }
        };
        function release(event) {
            if (pointer !== event.pointerId)
                return;
            pointer = null;
            whenStarted(function () { core.dv_release(member); });
        }
        Object.keys(handlers).forEach(function (type) { list.addEventListener(type, handlers[type]); });
        list.addEventListener('wheel', function (event) {
            // A sideways turn is the browser's: it scrolls a long entry.
            if (!core || !event.deltaY)
                return;
            event.preventDefault();
            // 120 units a notch, which Chromium gives as 100 pixels.
            var unit = [1.2, 40, 120 * 3][event.deltaMode] || 1.2;
            core.dv_wheel(member, Math.round(-event.deltaY * unit));
        }, { passive: false });
        list.addEventListener('scroll', function () { follow(list, member); });
        return handlers;
    }

    function start(module) {
        core = ready.core = module;
        measureRows();
        core.dv_start();
        rowsFit();
        lists.forEach(function (list, member) {
            if (document.activeElement === list)
                core.dv_focus(member, 1);
        });
        ready.ready = true;
        waiting.splice(0).forEach(function (then) { then(); });
    }
    function whenStarted(then) {
        if (core)
            then();
        else
            waiting.push(then);
    }

    // The page's own messages (on the failure's panel, from pagegen), with
    // the file's name or address in place of %1 and a reason in place of %2.
    function refuse(kind, name, reason) {
        reportFailure(failure.dataset[kind].replace('%1', name).replace('%2', reason || ''));
    }

    // The reader of teachers' files is a WebAssembly module of its own, in a
    // script of its own (@READER@, which sets drelvanReaderWasm, named by
    // web/assemble.mjs after its contents), loaded and compiled the first
    // time a file is opened. Each file is read by a new instance of it,
    // which goes with the memory the file took once it is read.
    var reader = null;
    function readerModule() {
        if (!reader) {
            reader = new Promise(function (loaded, failed) {
                var script = document.createElement('script');
                script.src = '@READER@';
                script.onload = loaded;
                // A copy of the page without it says so, whatever the file.
                script.onerror = function () { failed('incomplete'); };
                document.body.appendChild(script);
            }).then(function () {
                return WebAssembly.compile(wasmBytes(self.drelvanReaderWasm.text, self.drelvanReaderWasm.shift));
            });
            // A file opened later tries again (a page whose server came back).
            reader.catch(function () { reader = null; });
        }
        return reader.then(function (module) {
            return WebAssembly.instantiate(module, {
                env: { emscripten_notify_memory_growth: function () {} },
                wasi_snapshot_preview1: { proc_exit: function (status) { throw new Error('exit ' + status); } }
            });
        }).then(function (instance) {
            instance.exports._initialize();
            return instance.exports;
        });
    }
    // A teacher's file (a File, or a Blob and its name): the core's reader
    // opens it in place of the game in play, or says why not, the game going
    // on. No more is read than the reader takes, and nothing of a file
    // larger than that, which the reader refuses by its size.
    function openFile(file, name) {
        name = name || file.name;
        whenStarted(function () {
            readerModule().then(function (read) {
                var limit = read.dr_limit();
                return file.slice(0, file.size < limit ? limit : 0).arrayBuffer().then(function (buffer) {
                    openBytes(read, name, new Uint8Array(buffer), file.size);
                }, function () { refuse('unreadable', name); });
            }).catch(function (why) {
                if (why === 'incomplete')
                    refuse(why, '@READER@');
                else
                    refuse('unreadable', name);
            });
        });
    }
    function openBytes(read, name, bytes, size) {
        var at = read.dr_name(name.length) >> 1;
        var heap = new Uint16Array(read.memory.buffer);
        for (var i = 0; i < name.length; ++i)
            heap[at + i] = name.charCodeAt(i);
        // The name is written first: making room for the bytes may grow the
        // memory, and a view of it would then see none.
        at = read.dr_bytes(bytes.length);
        new Uint8Array(read.memory.buffer).set(bytes, at);
        var units = read.dr_read(size);
        var result = new Uint16Array(read.memory.buffer, read.dr_result(), units);
        if (result[0] !== 1) {
            var message = '';
            for (i = 1; i < units; i += 4096)
                message += String.fromCharCode.apply(null, result.subarray(i, Math.min(units, i + 4096)));
            return reportFailure(message);
        }
        at = core.dv_exercise(units - 1) >> 1; // which may grow the quiz's memory
        core.HEAPU16.set(result.subarray(1), at);
        if (core.dv_open()) {
            if (!failure.hidden)
                putFailureAway();
            rowsFit();
        }
    }
    function chooseFile() {
        var chooser = document.createElement('input');
        chooser.type = 'file';
        chooser.accept = '.csv,.tsv,.txt,.kvtml';
        chooser.addEventListener('change', function () {
            if (chooser.files.length)
                openFile(chooser.files[0]);
        });
        chooser.click();
    }
    // index.html?pairs=<address>: a file of the page's own server, where it
    // is served; never another's, and nothing from file://, where a browser
    // fetches nothing.
    function fetchFile(address) {
        var url = null;
        try {
            url = new URL(address, location.href);
        } catch (error) {}
        if (location.protocol === 'file:')
            return refuse('disk', address);
        if (!url || url.origin !== location.origin || !/^https?:$/.test(url.protocol))
            return refuse('origin', address);
        var name = url.pathname.slice(url.pathname.lastIndexOf('/') + 1);
        try {
            name = decodeURIComponent(name);
        } catch (error) {}
        fetch(url.href, { credentials: 'same-origin' }).then(function (response) {
            if (!response.ok)
                throw String(response.status);
            return response.blob();
        }).then(function (blob) { openFile(blob, name); }, function (status) {
            refuse('unfetched', name, typeof status === 'string' ? 'HTTP ' + status : failure.dataset.offline);
        });
    }

    function noWebAssembly() {
        byId('nowasm').hidden = false;
    }

    // Shown in the page, where the learner is, and spoken (role=alert); the
    // focus stays where it is.
    function reportFailure(text) {
        failureText.textContent = text;
        failure.hidden = false;
    }
    function putFailureAway() {
        var focused = failure.contains(document.activeElement);
        failure.hidden = true;
        failureText.textContent = '';
        // The focus goes back where it was, not to the page.
        if (focused)
            (focusBefore || verdict).focus();
    }
    // The page's handlers, which pass what the learner does to the quiz once
    // it has started (until then, the browser's own behaviour stands).
    function listen() {
        var handlers = lists.map(wire);
        // What a pointer did on the window before these handlers were in
        // place (web/first.js), played in order: a press or a click to the
        // list it was on, a move or a lift to each list, which takes it only
        // for the pointer pressed on it.
        self.drelvanKept().forEach(function (event) {
            lists.forEach(function (list, member) {
                var handler = handlers[member][event.type];
                if (handler && (list.contains(event.target) || !/^(pointerdown|click)$/.test(event.type)))
                    handler(event);
            });
        });
        // A press on the window's background or a label leaves the focus where it
        // is, as in a desktop window; a browser would take it to the page.
        byId('window').addEventListener('mousedown', function (event) {
            if (event.target === this || event.target.classList.contains('label'))
                event.preventDefault();
        });
        byId('reset').addEventListener('click', function () { core && core.dv_reset(); });
        // On "Чисти" the arrows move the focus as a desktop window's dialog keys
        // do: Up and Left to the periods before it, Down and Right round to the
        // verdict box. Tab from here leaves the page, as a page's last control
        // must; Alt with an arrow stays the browser's.
        byId('reset').addEventListener('keydown', function (event) {
            var back = event.key === 'ArrowUp' || event.key === 'ArrowLeft';
            if (event.altKey || event.metaKey || !(back || event.key === 'ArrowDown' || event.key === 'ArrowRight'))
                return;
            event.preventDefault();
            (back ? lists[1] : verdict).focus();
        });
        addEventListener('resize', function () { core && rowsFit(); });
        dismiss.addEventListener('focus', function (event) { focusBefore = event.relatedTarget; });
        dismiss.addEventListener('click', putFailureAway);
        // A file dropped anywhere on the page, or chosen with Ctrl+O, opens in
        // place of the game; so does one the system opens with the installed
        // app (its manifest's file_handlers).
        addEventListener('dragover', function (event) {
            if (event.dataTransfer.types.indexOf('Files') >= 0) {
                event.preventDefault();
                event.dataTransfer.dropEffect = 'copy';
            }
        });
        addEventListener('drop', function (event) {
            if (event.dataTransfer.types.indexOf('Files') < 0)
                return;
            event.preventDefault();
            if (event.dataTransfer.files.length)
                openFile(event.dataTransfer.files[0]);
        });
        // Ctrl+O by its letter, or by its place on a keyboard that types no
        // Latin letter there (Cyrillic).
        addEventListener('keydown', function (event) {
            if ((event.ctrlKey || event.metaKey) && !event.altKey && !event.shiftKey
                    && (/^o$/i.test(event.key) || (!/^[a-z]$/i.test(event.key) && event.code === 'KeyO'))) {
                event.preventDefault();
                chooseFile();
            }
        });
        if (window.launchQueue) {
            launchQueue.setConsumer(function (launch) {
                if (launch.files && launch.files.length)
                    launch.files[0].getFile().then(openFile);
            });
        }
        var pairsAddress = new URLSearchParams(location.search).get('pairs');
        if (pairsAddress !== null)
            fetchFile(pairsAddress);
        if (/^https?:$/.test(location.protocol)) {
            var manifest = document.createElement('link');
            manifest.rel = 'manifest';
            manifest.href = 'manifest.webmanifest';
            document.head.appendChild(manifest);
            if ('serviceWorker' in navigator) {
                // A new release's worker takes over once it keeps all its files
                // (web/sw.js): this page is the old release, and goes to the new
                // one at once, unless the learner has had a verdict already
                // (then the next visit has it). Not on the first visit, where
                // the first worker takes over a page that is the release's own.
                var workers = navigator.serviceWorker, controlled = !!workers.controller;
                workers.addEventListener('controllerchange', function () {
                    if (controlled && !live.textContent)
                        location.reload();
                    controlled = true;
                });
                workers.register('sw.js').catch(function () {});
            }
        }

    }

    var ready = {
        ready: false, // the quiz has started
        core: null, // its exports, for the tests
        start: start,
        listen: listen,
        noWebAssembly: noWebAssembly,
        text: function (at, units) {
            var heap = core.HEAPU16, first = at >> 1, out = '';
            for (var i = 0; i < units; i += 4096)
                out += String.fromCharCode.apply(null, heap.subarray(first + i, first + Math.min(units, i + 4096)));
            return out;
        },
        paintList: function (member, selected, caret, top, focused, text, removed) {
            var list = lists[member], line = rowHeight(list);
            // The quiz's first painting finds the entries the markup was
            // written with already there, and keeps them.
            var fresh = !painted[member], rebuilt = text !== null || removed >= 0;
            painted[member] = true;
            if (text !== null) {
                entries[member] = text.split('\0');
                entries[member].pop();
                rebuilt = !(fresh && text === Array.prototype.map.call(list.children, function (option) {
                    return option.textContent + '\0';
                }).join(''));
            } else if (removed >= 0) {
                entries[member].splice(removed, 1);
            }
            var all = entries[member], windowed = all.length > allInDom;
            var option = function (row) {
                var made = document.createElement('div');
                made.setAttribute('role', 'option');
                made.id = list.id + '-' + row;
                made.textContent = all[row];
                if (windowed) {
                    made.setAttribute('aria-setsize', all.length);
                    made.setAttribute('aria-posinset', row + 1);
                }
                return made;
            };
            if (windowed) {
                // The rows near sight, the focus mark's and the selection's,
                // in their order, with blanks the height of the rows between.
                var kept = {};
                if (!rebuilt)
                    Array.prototype.forEach.call(list.querySelectorAll('[role=option]'), function (shown) {
                        kept[shown.id] = shown;
                    });
                var rows = Math.ceil(list.clientHeight / line);
                var first = Math.max(0, top - nearSight), last = Math.min(all.length, top + rows + nearSight);
                var wanted = [];
                for (var row = first; row < last; ++row)
                    wanted.push(row);
                [caret, selected].forEach(function (row) {
                    if (row >= 0 && row < all.length && (row < first || row >= last))
                        wanted.push(row);
                });
                wanted.sort(function (a, b) { return a - b; });
                var nodes = [], next = 0;
                var gap = function (count) {
                    var blank = document.createElement('div');
                    blank.style.height = 'calc(var(--line) * ' + count + ')';
                    nodes.push(blank);
                };
                wanted.forEach(function (row) {
                    if (row > next)
                        gap(row - next);
                    nodes.push(kept[list.id + '-' + row] || option(row));
                    next = row + 1;
                });
                if (next < all.length)
                    gap(all.length - next);
                list.replaceChildren.apply(list, nodes);
            } else if (rebuilt) {
                list.replaceChildren.apply(list, all.map(function (entry, row) { return option(row); }));
            }
            Array.prototype.forEach.call(list.querySelectorAll('[role=option]'), function (shown) {
                var row = Number(shown.id.slice(list.id.length + 1));
                shown.setAttribute('aria-selected', row === selected ? 'true' : 'false');
                shown.classList.toggle('caret', row === caret);
            });
            if (caret >= 0)
                list.setAttribute('aria-activedescendant', list.id + '-' + caret);
            else
                list.removeAttribute('aria-activedescendant');
            list.classList.toggle('focused', focused);
            shownTop[member] = top;
            list.scrollTop = top * line;
        },
        // The window's title and the three captions (the lists' names too,
        // by aria-labelledby); only what changed is painted. A caption too
        // long for its place is cut short, its whole text in its tooltip.
        paintCaptions: function (text) {
            var texts = text.split('\0');
            if (document.title !== texts[0])
                document.title = texts[0];
            captions.forEach(function (label, at) {
                if (label.textContent === texts[at + 1])
                    return;
                label.textContent = texts[at + 1];
                if (label.scrollWidth > label.clientWidth)
                    label.title = texts[at + 1];
                else
                    label.removeAttribute('title');
            });
        },
        paintVerdict: function (text) {
            verdict.value = text;
            verdict.setSelectionRange(0, 0);
            verdict.scrollTop = 0;
        },
        announce: function (text) {
            live.textContent = text;
        },
        reportFailure: reportFailure,
        openFile: openFile
    };
    return ready;
})();

// The page's state where tests and the benchmark can see it (web/assemble.mjs
// wraps this script in a function: its names are its own).
self.drelvan = drelvan;

// A WebAssembly module's bytes from the text web/assemble.mjs made of them,
// one character a byte, each byte turned by the same shift: written in
// UTF-8, where the browser's encoder is quick, and turned back by a module
// of 140 bytes (web/unturn.wat, drelvanUnturn), where a loop in JavaScript
// would run in the interpreter.
function wasmBytes(text, shift) {
    var unturn = new WebAssembly.Instance(new WebAssembly.Module(drelvanUnturn)).exports;
    var units = text.length, memory = unturn.memory;
    // Two bytes at most for each character, and then one for each byte.
    memory.grow(Math.max(0, Math.ceil(3 * units / 65536) - memory.buffer.byteLength / 65536));
    var written = new TextEncoder().encodeInto(text, new Uint8Array(memory.buffer, 0, 2 * units)).written;
    return new Uint8Array(memory.buffer, 2 * units, unturn.unturn(written, 2 * units, shift));
}

// The quiz's module, with the page's paint functions as its imports. Its
// exports, and HEAPU16: a view of its memory, made again once the memory
// has grown (which leaves the views before it empty).
function instantiate(module) {
    var heap = null, memory = null;
    var text = function (at, units) { return drelvan.text(at, units); };
    return WebAssembly.instantiate(module, {
        page: {
            paintList: function (member, selected, caret, top, focused, entries, length, removed) {
                drelvan.paintList(member, selected, caret, top, !!focused, length < 0 ? null : text(entries, length),
                                  removed);
            },
            paintCaptions: function (texts, length) { drelvan.paintCaptions(text(texts, length)); },
            paintVerdict: function (at, length) { drelvan.paintVerdict(text(at, length)); },
            announce: function (at, length) { drelvan.announce(text(at, length)); },
            reportFailure: function (at, length) { drelvan.reportFailure(text(at, length)); }
        },
        env: { emscripten_notify_memory_growth: function () { heap = null; } },
        wasi_snapshot_preview1: { proc_exit: function (status) { throw new Error('exit ' + status); } }
    }).then(function (instance) {
        var core = Object.create(instance.exports);
        memory = instance.exports.memory;
        Object.defineProperty(core, 'HEAPU16', {
            get: function () { return heap || (heap = new Uint16Array(memory.buffer)); }
        });
        instance.exports._initialize();
        return core;
    });
}

// The WebAssembly (drelvanWasm, put before this script by web/assemble.mjs)
// compiles on the browser's own threads as soon as this script runs. Once
// the window's first frame is drawn (drelvanDrawn, from the page's first
// script, web/first.js), the page's handlers are put in place, and what the
// learner does from then on is kept until the quiz has started; it starts
// once compiled, and its first painting finds the markup's entries in place.
if (typeof WebAssembly !== 'object') {
    drelvanDrawn.then(function () {
        drelvan.listen();
        drelvan.noWebAssembly();
    });
} else {
    Promise.all([WebAssembly.compile(wasmBytes(drelvanWasm.text, drelvanWasm.shift)), drelvanDrawn.then(drelvan.listen)])
        .then(function (done) { return instantiate(done[0]); })
        .then(drelvan.start, drelvan.noWebAssembly);
}
