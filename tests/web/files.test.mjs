// A teacher's file of pairs in the page: dropped, chosen with Ctrl+O or named
// by ?pairs= on the page's own server; refused from elsewhere, or with the
// reader's message when it is wrong, the game in play untouched; its texts
// shown as text; a list of 32,767 entries played by keys.
import { mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { test } from '@playwright/test';
import { check, drop, expect, expected, folder, lf, open, pageUrl, read, serve } from './support.mjs';

const files = expected.files;
const animals = files['животни.kvtml'], markup = files['<b>знаци</b>.csv'], most = files['най-много.tsv'];

// The test files in a folder beside the page's, served with it.
const kept = mkdtempSync(`${tmpdir()}/drelvan-pairs-`);
for (const file of [animals, most])
    writeFileSync(`${kept}/${file.name}`, file.text);
async function served() {
    const server = await serve();
    server.files.from = (name) => (Object.keys(files).includes(decodeURIComponent(name)) ? kept : folder);
    return server;
}
const stop = async ({ server }) => { server.closeAllConnections(); await new Promise((done) => server.close(done)); };

// `waiting` is the wait for the file chooser, begun at the test's start: the
// browser is told to hand file choosers to the test when the first wait
// begins, and a press made at that same moment may open one before it has
// been told, and then the wait never ends.
async function choose(page, file, waiting) {
    await page.focus('#names');
    await page.keyboard.press('Control+o');
    const chooser = await waiting;
    await chooser.setFiles({ name: file.name, mimeType: 'text/plain', buffer: Buffer.from(file.text) });
}

// The page shows the file's quiz: titles, captions (the lists' names), lists,
// opening text, and a screen reader is told the title and the opening.
async function shows(page, file) {
    await expect(page.locator('#title')).toHaveText(file.title);
    expect(await page.title()).toBe(file.windowTitle);
    for (const [selector, text] of [['#namesCaption', file.leftCaption], ['#periodsCaption', file.rightCaption]])
        expect(await page.locator(selector).textContent()).toBe(text);
    await expect(page.getByRole('listbox', { name: file.leftCaption, exact: true })).toHaveCount(1);
    const shown = await read(page);
    expect([shown.names.entries, shown.periods.entries, shown.verdict]).toEqual([file.names, file.periods, lf(file.opening)]);
    expect(lf(shown.spoken)).toBe(lf(`${file.title}\r\n${file.opening}`));
    expect(await page.locator('#failure').isHidden()).toBe(true);
}

for (const how of ['drop', 'Ctrl+O', '?pairs=']) {
    test(`a file by ${how} replaces the game in play`, async ({ page }) => {
        const server = how === '?pairs=' ? await served() : null;
        const chooser = how === 'Ctrl+O' ? page.waitForEvent('filechooser') : null;
        await open(page, server ? `${server.origin}/index.html?pairs=${encodeURIComponent(animals.name)}` : pageUrl);
        if (how !== '?pairs=') {
            await check(page, ['names', expected.names[0]], ['periods', expected.periods[3]]);
            await (how === 'drop' ? drop : choose)(page, animals, chooser);
        }
        await shows(page, animals);
        if (server)
            await stop(server);
    });
}

// The built-in quiz's start compiles the quiz's module alone; the reader's
// is compiled with the first file, and once.
test('the reader is compiled when the first file is opened, not at start', async ({ page }) => {
    await page.addInitScript(() => {
        const compile = WebAssembly.compile;
        self.compiled = [];
        WebAssembly.compile = (bytes) => { self.compiled.push(bytes.length); return compile(bytes); };
    });
    await open(page);
    expect(await page.evaluate(() => self.compiled.length)).toBe(1);
    for (let time = 0; time < 2; ++time) {
        await drop(page, animals);
        await shows(page, animals);
    }
    expect(await page.evaluate(() => self.compiled.length)).toBe(2);
});

test('a bad file: the reader\'s message, spoken, and the game in play untouched', async ({ page }) => {
    await open(page);
    await check(page, ['names', expected.names[2]], ['periods', expected.periods[5]]);
    await page.locator('#names').press('End');
    const before = await read(page);
    await drop(page, files['лошо.csv']);
    await expect(page.getByRole('alert').locator('span')).toHaveText(files['лошо.csv'].error);
    expect(await read(page)).toEqual(before);
    expect(await page.title()).toBe(expected.title);
    // A file over the limit is refused by its own size, of which no byte
    // reaches the reader.
    await page.evaluate(() => {
        const transfer = new DataTransfer();
        transfer.items.add(new File([new Uint8Array(20_000_000)], 'огромен.csv'));
        document.body.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
    });
    await expect(page.getByRole('alert').locator('span')).toHaveText('огромен.csv: файлът е 20 000 000 байта, '
        + 'а програмата чете файлове до 16 MiB (16 777 216 байта).');
    expect(await read(page)).toEqual(before);
    // The next good file puts the message away.
    await drop(page, animals);
    await shows(page, animals);
});

// [how the page is opened, the address given, the message] for addresses a
// page must not fetch.
const fromElsewhere = [
    ['file://', animals.name, expected.fromDisk],
    ['served', 'http://localhost:1/set.csv', expected.otherOrigin],
    ['served', '//example.org/set.csv', expected.otherOrigin],
    ['served', 'data:text/csv,a,b%0Ac,d', expected.otherOrigin],
];
for (const [from, address, message] of fromElsewhere) {
    test(`?pairs=${address} from ${from} is refused, asking nothing`, async ({ browser }) => {
        const server = from === 'served' ? await served() : null;
        const context = await browser.newContext();
        const asked = [];
        context.on('request', (request) => asked.push(request.url()));
        const page = await context.newPage();
        const url = `${server ? `${server.origin}/index.html` : pageUrl}?pairs=${encodeURIComponent(address)}`;
        await open(page, url);
        await expect(page.getByRole('alert').locator('span')).toHaveText(message.replace('%1', address));
        expect(asked.filter((seen) => !seen.startsWith(server ? server.origin : 'file:'))).toEqual([]);
        expect((await read(page)).names.entries).toEqual(expected.names);
        await context.close();
        if (server)
            await stop(server);
    });
}

test('markup in a file is shown as text and runs nothing; long texts scroll or have a tooltip', async ({ page }) => {
    await open(page);
    await drop(page, markup);
    await shows(page, markup);
    const row = markup.names.findIndex((name) => name.startsWith('<img'));
    await page.locator('#names [role=option]').nth(row).click({ position: { x: 10, y: 5 } });
    await page.locator('#periods [role=option]').nth(markup.periods.findIndex((p) => p.startsWith('</textarea>'))).click({ position: { x: 10, y: 5 } });
    expect((await read(page)).verdict).toBe(lf(markup.verdicts[markup.names[row]]['</textarea><script>window.hit=2</script>']));
    expect((await read(page)).verdict).toContain('<b>бележка</b>');
    const page_ = await page.evaluate(() => ({
        hit: window.hit, elements: document.querySelectorAll('main img, main script, main svg, main b, main i').length,
        sideways: ['names', 'periods'].map((id) => { const list = document.getElementById(id); return list.scrollWidth > list.clientWidth; }),
        tooltips: ['namesCaption', 'periodsCaption'].map((id) => document.getElementById(id).title),
    }));
    expect(page_).toEqual({ hit: undefined, elements: 0, sideways: [true, true], tooltips: [markup.leftCaption, markup.rightCaption] });
});

test('32,767 pairs by ?pairs=: keys, type-ahead and a check, few options in the DOM', async ({ page }) => {
    const server = await served();
    await open(page, `${server.origin}/index.html?pairs=${encodeURIComponent(most.name)}`);
    await expect(page.locator('#title')).toHaveText(most.title, { timeout: 20000 });
    // Each list: the options in the DOM, the size they all say, and the
    // focus mark's option (which must exist) with its place and text.
    const state = (id) => page.evaluate((id) => {
        const list = document.getElementById(id), options = list.querySelectorAll('[role=option]');
        const mark = document.getElementById(list.getAttribute('aria-activedescendant'));
        return { options: options.length, sizes: [...new Set([...options].map((o) => o.getAttribute('aria-setsize')))],
                 mark: mark && [Number(mark.getAttribute('aria-posinset')), mark.textContent, mark.getAttribute('aria-selected')] };
    }, id);
    const at = (list, place) => [place, list[place - 1], 'true'];
    await page.locator('#names').press('End');
    let names = await state('names');
    expect(names.options).toBeLessThan(100);
    expect([names.sizes, names.mark]).toEqual([['32767'], at(most.names, 32767)]);
    await page.keyboard.press('Home');
    await page.keyboard.press('PageDown');
    const rows = (await read(page)).names.rows;
    expect((await state('names')).mark).toEqual(at(most.names, rows));
    const cdp = await page.context().newCDPSession(page);
    for (const letter of 'л2000')
        await cdp.send('Input.dispatchKeyEvent', { type: 'keyDown', key: letter, text: letter });
    expect((await state('names')).mark).toEqual(at(most.names, most.names.indexOf('л2000') + 1));
    await page.locator('#periods').press('End');
    const verdict = (await read(page)).verdict;
    expect(verdict).toContain(`л2000 ${most.rightCaption.toLowerCase()} ${most.periods[32766]}`);
    [names] = [await state('names')];
    expect([names.sizes, (await state('periods')).sizes]).toEqual([['32766'], ['32766']]);
    expect(names.options).toBeLessThan(100);
    await stop(server);
});

test('the manifest lets the installed app open .csv, .tsv and .kvtml', async ({ page }) => {
    const server = await served();
    await open(page, `${server.origin}/`);
    const manifest = JSON.parse(await (await page.request.get(`${server.origin}/manifest.webmanifest`)).text());
    expect(manifest.file_handlers.flatMap((handler) => Object.values(handler.accept).flat()).sort()).toEqual(['.csv', '.kvtml', '.tsv']);
    const cdp = await page.context().newCDPSession(page);
    expect((await cdp.send('Page.getAppManifest')).errors).toEqual([]);
    await stop(server);
});
