// The page in the engines a learner has besides Chromium: Firefox (many
// Linux desktops, some school PCs) and WebKit (every iPad and iPhone), one
// table of checks played through engines.mjs in the engine DRELVAN_ENGINE
// names. Chromium plays the whole suites (Playwright); these are the part
// that every engine must hold: the texts, the lists' order, checks by the
// pointer, keys and touch, type-ahead, "Чисти", the live region, no script
// error, a teacher's file, offline after the first visit. A check an engine's automation
// cannot play is skipped, saying why.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname } from 'node:path';
import { after, before, test } from 'node:test';
import { engines } from './engines.mjs';
import { expected, folder, lf, pageUrl, read, verdictFor } from './support.mjs';

const { names, periods } = expected;
const without = (list, ...gone) => list.filter((entry) => !gone.includes(entry));
const name = (row) => `#names-${row}`, period = (row) => `#periods-${row}`;

let ui;
before(async () => { ui = await engines[process.env.DRELVAN_ENGINE](); });
after(() => ui?.close());

// What a check leaves on the screen, and no script error on the way.
async function shows(what) {
    const shown = await read(ui);
    assert.deepEqual(await ui.errors(), []);
    return what(shown);
}

// A check of the name at row `n` with the period at row `p`, made by
// `make` (the pointer, keys, touch), holds what the desktop holds.
async function judged(n, p, make, focus, url = pageUrl) {
    await ui.open(url);
    await make(n, p);
    await shows((shown) => {
        assert.equal(shown.verdict, verdictFor(names[n], periods[p]));
        assert.equal(lf(shown.spoken), shown.verdict, 'the live region speaks the verdict');
        assert.deepEqual([shown.names.entries, shown.periods.entries], [without(names, names[n]), without(periods, periods[p])]);
        assert.deepEqual([shown.names.selected, shown.periods.selected], [[], []]);
        if (focus)
            assert.equal(shown.focus, focus, 'a verdict does not move the focus');
    });
}

const types = { '.html': 'text/html', '.js': 'text/javascript', '.webmanifest': 'application/manifest+json', '.png': 'image/png' };
async function serve() {
    const server = createServer((request, response) => {
        const path = new URL(request.url, 'http://x').pathname.replace(/\/$/, '/index.html');
        try {
            const body = readFileSync(folder + decodeURIComponent(path));
            response.writeHead(200, { 'content-type': types[extname(path)] || 'application/octet-stream' }).end(body);
        } catch {
            response.writeHead(404).end();
        }
    });
    await new Promise((done) => server.listen(0, '127.0.0.1', done));
    return { server, origin: `http://127.0.0.1:${server.address().port}` };
}

// [what, check]; a check gets the node:test context, to skip with a reason.
const checks = [
    ['every text is the core\'s, to the code unit, and the lists in their order', async () => {
        await ui.open(pageUrl);
        const texts = await ui.evaluate((ids) => [document.title, ...ids.map((id) => document.getElementById(id).textContent),
                                                  document.getElementById('live').getAttribute('aria-live')],
                                        ['title', 'namesCaption', 'periodsCaption', 'reset']);
        assert.deepEqual(texts, [expected.title, expected.quizTitle, expected.namesCaption, expected.periodsCaption,
                                 expected.resetCaption, 'polite']);
        await shows((shown) => {
            assert.equal(shown.verdict, lf(expected.openingText));
            assert.deepEqual([shown.names.entries, shown.periods.entries], [names, periods]);
            assert.equal(shown.focus, 'verdict');
        });
    }],
    ['each control\'s box is its twips / 15, seven whole rows of the font\'s height in each list, as in the desktop windows, no text clipped', async () => {
        await ui.open(pageUrl);
        const laid = await ui.evaluate((ids) => {
            const origin = document.getElementById('window').getBoundingClientRect();
            const box = (id) => {
                const box = document.getElementById(id).getBoundingClientRect();
                return [box.left - origin.left, box.top - origin.top, box.width, box.height];
            };
            return {
                boxes: Object.fromEntries(ids.map((id) => [id, box(id)])),
                rows: ['names', 'periods'].map((id) => {
                    const list = document.getElementById(id);
                    // The row is the font's height in the face this engine
                    // draws with (Firefox here may take another serif face
                    // than Chromium); the lists show the desktops' seven.
                    const line = parseFloat(getComputedStyle(list).lineHeight);
                    return [line === parseFloat(getComputedStyle(document.getElementById('window')).getPropertyValue('--row')), Math.floor(list.clientHeight / line)];
                }),
                clipped: [...document.querySelectorAll('.label, button, [role=option]')]
                    .filter((element) => element.scrollWidth > element.clientWidth).map((element) => element.textContent),
            };
        }, Object.keys(expected.boxes));
        assert.deepEqual(laid, {
            boxes: Object.fromEntries(Object.entries(expected.boxes).map(([id, twips]) => [id, twips.map((t) => t / 15)])),
            rows: [[true, 7], [true, 7]], clipped: [],
        });
    }],
    ...[[0, 0], [14, 1], [9, 15], [3, 3]].flatMap(([n, p]) => [
        [`pointer: ${names[n]} with "${periods[p]}", name first`, () => judged(n, p, async () => {
            await ui.click(name(n));
            await ui.click(period(p));
        }, 'periods')],
        [`pointer: "${periods[p]}" with ${names[n]}, period first`, () => judged(n, p, async () => {
            await ui.click(period(p));
            await ui.click(name(n));
        }, 'names')],
    ]),
    // Down picks the first row of a list, the next Down the next; the second choice checks.
    ['keys: a name, then a period, by Tab and Down', () => judged(2, 0, async () => {
        for (const key of ['Tab', 'ArrowDown', 'ArrowDown', 'ArrowDown', 'Tab', 'ArrowDown'])
            await ui.press(key);
    }, 'periods')],
    ['touch: a tap on a period, then on a name', async (t) => {
        await ui.open(pageUrl);
        await ui.evaluate(() => {
            self.pointers = [];
            addEventListener('pointerup', (event) => pointers.push(event.pointerType), true);
        });
        await ui.tap(period(2));
        const pointers = await ui.evaluate(() => pointers);
        if (!pointers.includes('touch'))
            return t.skip(`${ui.name} has no touch screen under automation: a touch pointer's tap arrives as `
                          + `pointer events of type ${JSON.stringify(pointers)}`);
        await judged(14, 2, async () => {
            await ui.tap(period(2));
            await ui.tap(name(14));
        });
    }],
    ['Tab and Shift+Tab go verdict, names, periods, "Чисти"', async () => {
        await ui.open(pageUrl);
        const order = ['verdict', 'names', 'periods', 'reset'];
        const seen = [];
        for (const key of ['Tab', 'Tab', 'Tab', 'Shift+Tab', 'Shift+Tab', 'Shift+Tab']) {
            await ui.press(key);
            seen.push((await read(ui)).focus);
        }
        assert.deepEqual(seen, [...order.slice(1), ...order.slice(0, -1).reverse()]);
    }],
    // Each key from where the last left the names list: [key, entry selected].
    ['the moving keys, Left and Right included', async () => {
        await ui.open(pageUrl);
        await ui.press('Tab');
        for (const [key, row] of [['ArrowDown', 0], ['ArrowDown', 1], ['ArrowRight', 2], ['ArrowLeft', 1], ['ArrowUp', 0],
                                  ['End', 15], ['Home', 0], ['PageDown', 6], ['PageDown', 12], ['PageUp', 6],
                                  ['Shift+ArrowDown', 7], ['Control+ArrowDown', 8]]) {
            await ui.press(key);
            const shown = await read(ui);
            assert.deepEqual([key, shown.names.selected, shown.names.caret], [key, [row], row]);
            assert.ok(shown.names.top <= row && row < shown.names.top + 7, `${key}: row in sight`);
        }
        assert.deepEqual(await ui.errors(), []);
    }],
    // Letters typed quickly make one search: [letters, entry selected].
    ...[['кр', 'Крум'], ['тт', 'Телец'], ['пр', 'Пресиян I'], ['ш', null]].map(([letters, entry]) => [
        `typing "${letters}" in the names`, async () => {
            await ui.open(pageUrl);
            await ui.press('Tab');
            await ui.type(letters);
            await shows((shown) => assert.deepEqual(shown.names.selected, entry ? [names.indexOf(entry)] : []));
        }]),
    ...['pointer', 'Space', 'Enter'].map((how) => [`"Чисти" by ${how}: full lists, back at the top`, async () => {
        await ui.open(pageUrl);
        await ui.click(name(15));
        await ui.click(period(15));
        await ui.press('End');
        await ui.click(name(3));
        await ui.press('End');
        if (how === 'pointer') {
            await ui.click('#reset');
        } else {
            await ui.evaluate(() => document.getElementById('reset').focus());
            await ui.press(how);
        }
        await shows((shown) => {
            assert.deepEqual([shown.names.entries, shown.periods.entries, shown.verdict], [names, periods, '']);
            assert.deepEqual([shown.names.top, shown.periods.top], [0, 0]);
        });
    }]),
    ['a teacher\'s file dropped: a bad one\'s message, the game untouched, then a good one\'s quiz', async () => {
        await ui.open(pageUrl);
        // Drops the file in the page and waits until the page says what
        // became of it: the failure's panel, or the file's title.
        const dropped = (file) => ui.evaluate(async ({ name, text, title }) => {
            const transfer = new DataTransfer();
            transfer.items.add(new File([text], name));
            document.body.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
            const failure = document.getElementById('failure'), before = failure.lastChild.textContent;
            const told = () => (failure.hidden ? '' : failure.lastChild.textContent);
            for (let waited = 0; waited < 200 && document.title !== title && (!told() || told() === before); ++waited)
                await new Promise((done) => setTimeout(done, 50));
            return told() || null;
        }, file);
        const bad = expected.files['лошо.csv'], good = expected.files['животни.kvtml'];
        assert.equal(await dropped({ ...bad, title: null }), bad.error);
        await shows((shown) => assert.deepEqual([shown.names.entries, shown.periods.entries], [names, periods]));
        assert.equal(await dropped({ ...good, title: good.windowTitle }), null);
        await shows((shown) => {
            assert.deepEqual([shown.names.entries, shown.periods.entries, shown.verdict],
                             [good.names, good.periods, lf(good.opening)]);
        });
    }],
    ['served, it plays offline after the first visit', async (t) => {
        const { server, origin } = await serve();
        try {
            await ui.open(`${origin}/`);
            assert.equal(await ui.evaluate(() => navigator.serviceWorker.ready.then((registration) => !!registration.active)), true);
        } finally {
            server.closeAllConnections();
            await new Promise((done) => server.close(done));
        }
        // The server is gone; where the engine's automation has a switch
        // for it, the browser is offline too.
        await ui.offline?.(true);
        try {
            await judged(2, 11, async () => {
                await ui.click(name(2));
                await ui.click(period(11));
            }, 'periods', `${origin}/`);
            assert.equal(await ui.evaluate(() => !!navigator.serviceWorker.controller), true, 'the service worker answered');
        } finally {
            await ui.offline?.(false);
        }
        if (!ui.offline)
            t.diagnostic(`${ui.name}'s automation has no offline switch: played with the server gone`);
    }],
];

for (const [what, check] of checks)
    test(what, (t) => check(t));
