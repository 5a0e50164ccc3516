// What the page's suites share: the built page, what it must show (written
// by expected.cpp from the core) and a reading of the window as a learner
// sees it.
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname } from 'node:path';
import { pathToFileURL } from 'node:url';
import { expect } from '@playwright/test';

export const expected = JSON.parse(readFileSync(process.env.DRELVAN_EXPECTED, 'utf8'));
export const folder = process.env.DRELVAN_PAGE;
export const pageUrl = pathToFileURL(`${folder}/index.html`).href;
// A textarea's value has LF where the quiz writes CR LF.
export const lf = (text) => text.replaceAll('\r\n', '\n');

export async function open(page, url = pageUrl) {
    await page.goto(url);
    await page.waitForFunction(() => drelvan.ready);
}

// The window as shown: each list's entries (textContent keeps blanks), the
// selected and focus-marked rows, the first row shown, a row's height and
// the whole rows in sight, the verdict.
export function read(page) {
    return page.evaluate(() => {
        const list = (id) => {
            const box = document.getElementById(id);
            const line = parseFloat(getComputedStyle(box).lineHeight);
            const options = [...box.querySelectorAll('[role=option]')];
            const row = (option) => options.indexOf(option);
            return {
                entries: options.map((o) => o.textContent),
                selected: options.filter((o) => o.getAttribute('aria-selected') === 'true').map(row),
                caret: box.getAttribute('aria-activedescendant') === null ? -1
                    : row(document.getElementById(box.getAttribute('aria-activedescendant'))),
                top: box.scrollTop / line,
                line,
                rows: Math.floor(box.clientHeight / line),
            };
        };
        return { names: list('names'), periods: list('periods'), verdict: document.getElementById('verdict').value,
                 spoken: document.getElementById('live').textContent, focus: document.activeElement.id };
    });
}

export const option = (page, list, text) =>
    page.locator(`#${list} [role=option]`).filter({ hasText: new RegExp(`^${text.trim()}\\s*$`) });

// A check of `name` with `period` by the pointer, in that order.
export async function check(page, first, second) {
    await option(page, ...first).click();
    await option(page, ...second).click();
}

// The verdict the core writes for a name and a period, as the box shows it.
export const verdictFor = (name, period) =>
    lf(expected.verdicts[expected.names.indexOf(name)][expected.periods.indexOf(period)]);

const types = { '.html': 'text/html', '.js': 'text/javascript', '.webmanifest': 'application/manifest+json', '.png': 'image/png' };

// A static web server for the page's folder, on a free port of this machine;
// `files.from(name)` says which folder serves a file (`folder` unless told).
export async function serve() {
    const files = { from: () => folder };
    const server = createServer((request, response) => {
        const path = new URL(request.url, 'http://x').pathname.replace(/\/$/, '/index.html');
        try {
            const body = readFileSync(files.from(path.slice(1)) + decodeURIComponent(path));
            response.writeHead(200, { 'content-type': types[extname(path)] || 'application/octet-stream' }).end(body);
        } catch {
            response.writeHead(404).end();
        }
    });
    await new Promise((done) => server.listen(0, '127.0.0.1', done));
    return { server, files, origin: `http://127.0.0.1:${server.address().port}` };
}

// A file of pairs dropped on the page: `file` its name and text.
export const drop = (page, file) => page.evaluate(({ name, text }) => {
    const transfer = new DataTransfer();
    transfer.items.add(new File([text], name));
    document.getElementById('verdict').dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
}, file);

export { expect };
