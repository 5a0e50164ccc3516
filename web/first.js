// The page's first script, run where the markup ends: it fits the window's
// font before the first frame is drawn, and loads the quiz (web/page.js with
// the WebAssembly: @QUIZ@, named by web/assemble.mjs after its contents).
// The quiz is a file of its own, which the browser reads and parses on a
// thread of its own: in the page it would be 70 KB more for the parser to go
// through before the window can be drawn.
(function () {
    var byId = document.getElementById.bind(document);
    var area = byId('window');

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
            // An entry is as wide as its text, and fits where its list holds it.
            return texts.every(function (element) {
                return element.getAttribute('role') === 'option' ? element.offsetWidth <= element.parentNode.clientWidth
                    : element.scrollWidth <= element.clientWidth;
            });
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
    // What a pointer does on the window before the page's handlers are in
    // place is kept for them, in order, as a native control would take it
    // at once: until the first frame the browser still shows the page before
    // (the same window, on a reload), and once it is drawn the quiz's script
    // may not have come yet.
    var kept = [], types = ['pointerdown', 'pointermove', 'pointerup', 'pointercancel', 'click'];
    var keep = function (event) { kept.push(event); };
    types.forEach(function (type) { area.addEventListener(type, keep, true); });
    self.drelvanKept = function () {
        types.forEach(function (type) { area.removeEventListener(type, keep, true); });
        return kept.splice(0);
    };
    // The quiz starts once the first frame is drawn.
    self.drelvanDrawn = new Promise(function (drawn) {
        requestAnimationFrame(function () { setTimeout(drawn); });
    });
    var quiz = document.createElement('script');
    quiz.src = '@QUIZ@';
    // A copy of the page without its quiz (half copied, or a server half-way
    // through an update) says so, rather than show a window that does
    // nothing; the report stays, as nothing else can happen.
    quiz.onerror = function () {
        var failure = byId('failure');
        failure.firstChild.hidden = true;
        failure.lastChild.textContent = failure.dataset.incomplete.replace('%1', '@QUIZ@');
        failure.hidden = false;
    };
    document.body.appendChild(quiz);
})();
