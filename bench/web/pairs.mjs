// The page with a file of 32,767 pairs, where the page opens the file its
// address names (index.html?pairs=<file>): how long from the navigation to
// the first frame that shows the file's entries, from a key on a list to the
// first frame after the list changed, and the renderer's memory with the
// file open. A page from file:// can fetch nothing, so the page's folder is
// served from this machine's loopback for the round.
import { readFileSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname } from 'node:path';

export const pairCount = 32767;
const fileName = 'drelvan-bench-pairs.tsv';
// Every left entry reads so, whether the file's first row is taken for
// captions or for a pair.
const entry = /Дума \d{5}/;
// Keys that move a little and a long way through the entries; each changes
// the list.
const keys = ['ArrowDown', 'End', 'PageUp', 'Home', 'PageDown', 'ArrowDown', 'End', 'Home'];

const types = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.png': 'image/png',
    '.webmanifest': 'application/manifest+json', '.tsv': 'text/tab-separated-values; charset=utf-8' };

// Serves the files of `folder` by name (no paths) on 127.0.0.1.
async function serve(folder) {
    const server = createServer((request, response) => {
        const name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname.slice(1));
        let body = null;
        try {
            body = /^[\w.-]+$/.test(name) ? readFileSync(`${folder}/${name}`) : null;
        } catch { /* not there */ }
        if (body === null)
            return response.writeHead(404).end();
        response.writeHead(200, { 'content-type': types[extname(name)] || 'application/octet-stream' }).end(body);
    });
    await new Promise((listening) => server.listen(0, '127.0.0.1', listening));
    return server;
}

// In the page: drelvanOpened, when the first frame showing the file's
// entries in the names list was drawn (from the start of the navigation);
// drelvanKeyFrames, for each key, the time from its event to the first frame
// after the list changed.
const watchPage = (source) => {
    const entry = new RegExp(source);
    self.drelvanKeyFrames = [];
    const afterFrame = (record) => requestAnimationFrame(() => setTimeout(() => record(performance.now())));
    document.addEventListener('DOMContentLoaded', () => {
        const names = document.getElementById('names');
        if (!names)
            return;
        new MutationObserver((changes, observer) => {
            if (entry.test(names.textContent)) {
                observer.disconnect();
                afterFrame((now) => { self.drelvanOpened = now; });
            }
        }).observe(names, { subtree: true, childList: true, characterData: true });
        let pressed = null;
        addEventListener('keydown', (event) => { pressed = event.timeStamp; }, true);
        new MutationObserver(() => {
            if (pressed === null)
                return;
            const at = pressed;
            pressed = null;
            afterFrame((now) => self.drelvanKeyFrames.push(now - at));
        }).observe(names, { subtree: true, childList: true, attributes: true, characterData: true });
    });
};

async function openPage(browser, address, timeout) {
    const context = await browser.newContext();
    const page = await context.newPage();
    await page.addInitScript(watchPage, entry.source);
    await page.goto(address);
    const opened = await page.waitForFunction(() => self.drelvanOpened, null, { timeout }).then(() => true, () => false);
    return { context, page, opened };
}

// Writes the file into `folder` (the page's files), serves it, and measures
// `rounds` rounds where the page opens it; `measured` is false where the
// page did not show the file within five seconds. `memoryOf(address, ready,
// where)` gives the renderer's memory with a page made ready by `ready`; a
// key after which the list is not repainted within `keyTimeout` ms counts
// as missed (Infinity).
export async function measurePairs(browser, folder, rounds, guard, memoryOf, keyTimeout = 10000) {
    const pad = (row) => String(row + 1).padStart(5, '0');
    writeFileSync(`${folder}/${fileName}`, Array.from({ length: pairCount },
        (_, row) => `Дума ${pad(row)}\tзначение ${pad(row)}\n`).join(''));
    const server = await serve(folder);
    const address = `http://127.0.0.1:${server.address().port}/index.html?pairs=${fileName}`;
    const figures = { opened: [], key: [], memory: [], measured: false };
    try {
        guard('the file of pairs: does the page open it?');
        const trial = await openPage(browser, address, 5000);
        await trial.context.close();
        figures.measured = trial.opened;
        for (let round = 0; figures.measured && round < rounds; ++round) {
            guard(`the file of pairs, round ${round + 1}`);
            const { context, page, opened } = await openPage(browser, address, 30000);
            figures.opened.push(opened ? await page.evaluate(() => self.drelvanOpened) : Infinity);
            await page.focus('#names');
            for (const key of keys) {
                const before = await page.evaluate(() => self.drelvanKeyFrames.length);
                await page.keyboard.press(key);
                // A key the list is not repainted for counts as missed.
                if (!await page.waitForFunction((count) => self.drelvanKeyFrames.length > count, before,
                    { timeout: keyTimeout }).then(() => true, () => false))
                    figures.key.push(Infinity);
            }
            figures.key.push(...await page.evaluate(() => self.drelvanKeyFrames));
            await context.close();
            figures.memory.push(await memoryOf(address, (shown) => shown.waitForFunction(
                (source) => new RegExp(source).test(document.getElementById('names').textContent), entry.source,
                { timeout: 30000 }), `the file of pairs, memory ${round + 1}`));
        }
    } finally {
        server.close();
    }
    return figures;
}
