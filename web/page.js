// The page's script: DOM events become calls on the quiz (web/main.cpp), and
// drelvan.paint... draws what it answers. Which entry a key, a letter, the
// pointer or a tap picks, and what a check or "Чисти" does, is decided there.
var drelvan = (function () {
    var byId = document.getElementById.bind(document);
    var lists = [byId('names'), byId('periods')];
    var area = byId('window'), verdict = byId('verdict'), live = byId('live');
    var failure = byId('failure'), failureText = failure.lastChild, dismiss = failure.firstChild;
    var focusBefore = null; // where the focus was before the failure's button had it
    var shownTop = [0, 0];
    var painted = [false, false]; // the quiz has painted the list's entries
    var core = null;

    function rowHeight(list) {
        return parseFloat(getComputedStyle(list).lineHeight);
    }
    // Writes `text` where the quiz reads its input texts; returns its length.
    function put(text) {
        var at = core._dv_input() >> 1, heap = core.HEAPU16;
        var units = Math.min(text.length, core._dv_input_size());
        for (var i = 0; i < units; ++i)
            heap[at + i] = text.charCodeAt(i);
        return units;
    }
    // The row of the list's box under a pointer event (0 the first shown).
    function line(list, event) {
        var box = list.getBoundingClientRect();
        return Math.floor((event.clientY - box.top - list.clientTop) / rowHeight(list));
    }
    function onScrollBar(list, event) {
        return event.clientX - list.getBoundingClientRect().left - list.clientLeft >= list.clientWidth;
    }
    function focus(list) {
        if (document.activeElement !== list)
            list.focus();
    }
    // A row is the font's height, as in the desktop windows: the height of a
    // line's text (ascent and descent) in the face the window is drawn with.
    function measureRows() {
        var text = document.createRange();
        text.selectNodeContents(byId('namesCaption'));
        area.style.setProperty('--row', Math.round(text.getClientRects()[0].height) + 'px');
    }
    function rowsFit() {
        lists.forEach(function (list, member) {
            core._dv_rows(member, Math.max(1, Math.floor(list.clientHeight / rowHeight(list))));
        });
    }

    // The rows moved (the scroll bar, or the browser bringing an option into
    // sight): the quiz decides the first row shown, and the rows snap to it.
    // Called before the pointer is placed on a row too, since the scroll
    // event comes a frame late.
    function follow(list, member) {
        if (!core)
            return;
        var height = rowHeight(list), top = Math.round(list.scrollTop / height);
        if (top !== shownTop[member])
            core._dv_scroll(member, top);
        if (list.scrollTop !== shownTop[member] * height)
            list.scrollTop = shownTop[member] * height;
    }

    var scrollKeys = ['ArrowUp', 'ArrowDown', 'PageUp', 'PageDown', 'End', ' '];

    function wire(list, member) {
        var pointer = null; // the mouse button held on this list
        var clicked = false; // a pointer made the click that follows
        list.addEventListener('focus', function () { core && core._dv_focus(member, 1); });
        list.addEventListener('blur', function () { core && core._dv_focus(member, 0); });
        list.addEventListener('keydown', function (event) {
            if (!core)
                return;
            // A key the quiz leaves to the window (with Alt) does nothing to
            // the list either: the browser would scroll it on its own, and a
            // smooth scroll still running could move the list after the
            // quiz has placed it. Alt with Left, Right or Home stays the
            // browser's (back, forward, home page).
            if (core._dv_key(member, put(event.key), event.shiftKey, event.ctrlKey, event.altKey)
                    || scrollKeys.indexOf(event.key) >= 0)
                event.preventDefault();
        });
        // keypress comes for the keys that type a character, with it.
        list.addEventListener('keypress', function (event) {
            if (core && event.charCode && !event.metaKey
                    && core._dv_type(member, put(String.fromCodePoint(event.charCode)), event.timeStamp))
                event.preventDefault();
        });
        list.addEventListener('pointerdown', function (event) {
            clicked = true;
            if (!core || event.button !== 0 || onScrollBar(list, event))
                return;
            if (event.pointerType === 'mouse') {
                // The focus would otherwise go where the browser puts it
                // after this event, when the entry under the pointer may
                // have left the list; and no text is to be selected.
                event.preventDefault();
                follow(list, member);
                focus(list);
                pointer = event.pointerId;
                list.setPointerCapture(pointer);
                core._dv_press(member, line(list, event));
            }
        });
        list.addEventListener('pointermove', function (event) {
            if (pointer === event.pointerId)
                core._dv_drag(member, line(list, event));
        });
        function release(event) {
            if (pointer !== event.pointerId)
                return;
            pointer = null;
            core._dv_release(member);
        }
        list.addEventListener('pointerup', function (event) {
            // A finger or a pen picks where it is lifted, unless the browser
            // took the gesture for scrolling (pointercancel instead).
            if (core && event.pointerType !== 'mouse' && event.isPrimary && !onScrollBar(list, event)) {
                follow(list, member);
                focus(list);
                core._dv_tap(member, line(list, event));
            }
            release(event);
        });
        list.addEventListener('lostpointercapture', release);
        list.addEventListener('pointercancel', release);
        // A click no pointer made: a screen reader's, on an option.
        list.addEventListener('click', function (event) {
            var option = event.target.closest('[role=option]');
            if (core && !clicked && option)
                core._dv_pick(member, Array.prototype.indexOf.call(list.children, option));
            clicked = false;
        });
        list.addEventListener('wheel', function (event) {
            if (!core)
                return;
            event.preventDefault();
            // 120 units a notch, which Chromium gives as 100 pixels.
            var unit = [1.2, 40, 120 * 3][event.deltaMode] || 1.2;
            core._dv_wheel(member, Math.round(-event.deltaY * unit));
        }, { passive: false });
        list.addEventListener('scroll', function () { follow(list, member); });
    }

    function start(module) {
        core = ready.core = module;
        ready.ready = true;
        core._dv_start();
        rowsFit();
        lists.forEach(function (list, member) {
            if (document.activeElement === list)
                core._dv_focus(member, 1);
        });
    }

    function noWebAssembly() {
        byId('nowasm').hidden = false;
    }

    // The window was drawn for its first two faces, which have the same
    // metrics. Where neither is installed, the face that stands in may be
    // wider: the window's font shrinks, half a point at a time and no smaller
    // than the window says (data-smallest), until every caption and entry
    // fits where it stands, as the desktop window does. Whether the texts
    // fit is asked first: the answer comes from the layout the first frame
    // needs anyway, where the canvas that tells which faces are installed
    // costs the first frame several milliseconds.
    function fitFont() {
        var style = getComputedStyle(area);
        var texts = Array.prototype.slice.call(document.querySelectorAll('.label, button, [role=option]'));
        var fits = function () {
            return texts.every(function (element) { return element.scrollWidth <= element.clientWidth; });
        };
        // A finger's layout wraps the captions and gives the lists room; its
        // entries stay at the window's size.
        if (fits() || matchMedia('(pointer:coarse)').matches)
            return;
        var measure = document.createElement('canvas').getContext('2d');
        var sample = byId('title').textContent;
        var installed = style.fontFamily.split(',').slice(0, 2).some(function (face) {
            measure.font = '16px monospace';
            var fallback = measure.measureText(sample).width;
            measure.font = '16px ' + face + ', monospace';
            return measure.measureText(sample).width !== fallback;
        });
        var points = parseFloat(style.fontSize) * 0.75, smallest = parseFloat(area.dataset.smallest);
        while (!installed && !fits() && points > smallest) {
            points -= 0.5;
            area.style.fontSize = points + 'pt';
        }
    }

    fitFont();
    measureRows();
    lists.forEach(wire);
    // A press on the window's background or a label leaves the focus where it
    // is, as in a desktop window; a browser would take it to the page.
    byId('window').addEventListener('mousedown', function (event) {
        if (event.target === this || event.target.classList.contains('label'))
            event.preventDefault();
    });
    byId('reset').addEventListener('click', function () { core && core._dv_reset(); });
    addEventListener('resize', function () { core && rowsFit(); });
    dismiss.addEventListener('focus', function (event) { focusBefore = event.relatedTarget; });
    dismiss.addEventListener('click', function () {
        failure.hidden = true;
        failureText.textContent = '';
        // The focus goes back where it was, not to the page.
        (focusBefore || verdict).focus();
    });
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

    var ready = {
        ready: false, // the quiz has started
        core: null, // its exports, for the tests
        start: start,
        noWebAssembly: noWebAssembly,
        text: function (at, units) {
            var heap = core.HEAPU16, first = at >> 1, out = '';
            for (var i = 0; i < units; i += 4096)
                out += String.fromCharCode.apply(null, heap.subarray(first + i, first + Math.min(units, i + 4096)));
            return out;
        },
        paintList: function (member, selected, caret, top, focused, entries) {
            var list = lists[member];
            // The quiz's first painting finds the entries the markup was
            // written with already there, and keeps them.
            var fresh = !painted[member];
            painted[member] = true;
            if (entries !== null && !(fresh && entries === Array.prototype.map.call(list.children, function (option) {
                return option.textContent + '\0';
            }).join(''))) {
                var names = entries.split('\0');
                names.pop();
                list.replaceChildren.apply(list, names.map(function (entry, row) {
                    var option = document.createElement('div');
                    option.setAttribute('role', 'option');
                    option.id = list.id + '-' + row;
                    option.textContent = entry;
                    return option;
                }));
            }
            Array.prototype.forEach.call(list.children, function (option, row) {
                option.setAttribute('aria-selected', row === selected ? 'true' : 'false');
                option.classList.toggle('caret', row === caret);
            });
            if (caret >= 0)
                list.setAttribute('aria-activedescendant', list.id + '-' + caret);
            else
                list.removeAttribute('aria-activedescendant');
            list.classList.toggle('focused', focused);
            shownTop[member] = top;
            list.scrollTop = top * rowHeight(list);
        },
        paintVerdict: function (text) {
            verdict.value = text;
            verdict.setSelectionRange(0, 0);
            verdict.scrollTop = 0;
        },
        announce: function (text) {
            live.textContent = text;
        },
        // Shown in the page, where the learner is, and spoken (role=alert);
        // the focus stays where it is.
        reportFailure: function (text) {
            failureText.textContent = text;
            failure.hidden = false;
        }
    };
    return ready;
})();

// The page's state where tests and the benchmark can see it (this script is a
// module: its names are its own).
self.drelvan = drelvan;

// The WebAssembly (drelvanWasm, a byte a character, put before this script
// by web/assemble.mjs) compiles on the browser's own threads from the start,
// while the window is drawn; the quiz starts once both are done, so that its
// first painting comes after the first frame.
if (typeof WebAssembly !== 'object') {
    drelvan.noWebAssembly();
} else {
    var bytes = new Uint8Array(drelvanWasm.length);
    for (var at = 0; at < bytes.length; ++at)
        bytes[at] = drelvanWasm.charCodeAt(at);
    Promise.all([
        WebAssembly.compile(bytes),
        new Promise(function (drawn) { requestAnimationFrame(function () { setTimeout(drawn); }); })
    ]).then(function (done) {
        return createDrelvan({
            onAbort: drelvan.noWebAssembly,
            instantiateWasm: function (imports, receive) {
                WebAssembly.instantiate(done[0], imports).then(function (instance) {
                    receive(instance, done[0]);
                }, drelvan.noWebAssembly);
                return {};
            }
        });
    }).then(drelvan.start, drelvan.noWebAssembly);
}
