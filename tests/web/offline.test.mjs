// The page as it is delivered: from file:// with no JavaScript or no
// WebAssembly, from a web server and then offline after the first visit,
// never asking another origin; the ZIP a school receives.
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname } from 'node:path';
import { test } from '@playwright/test';
import { check, expect, expected, folder, open, read, verdictFor } from './support.mjs';

const types = { '.html': 'text/html', '.js': 'text/javascript', '.webmanifest': 'application/manifest+json', '.png': 'image/png' };

// A static web server for the page's folder, on a free port of this machine.
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

test('without JavaScript the learner is told so, in Bulgarian', async ({ browser }) => {
    const context = await browser.newContext({ javaScriptEnabled: false });
    const page = await context.newPage();
    await page.goto(`file://${folder}/index.html`);
    await expect(page.locator('noscript .message, p.message:visible').first()).toHaveText(/JavaScript.*[а-я]{4}/);
    await context.close();
});

test('without WebAssembly the learner is told so, in Bulgarian', async ({ page }) => {
    await page.addInitScript(() => { delete window.WebAssembly; });
    await page.goto(`file://${folder}/index.html`);
    await expect(page.locator('#nowasm')).toBeVisible();
    await expect(page.locator('#nowasm')).toHaveText(/WebAssembly.*[а-я]{4}/);
});

test('served, it installs, plays offline after the first visit, and asks no other origin', async ({ browser }) => {
    const { server, origin } = await serve();
    const context = await browser.newContext();
    const requests = [];
    context.on('request', (request) => requests.push(request.url()));
    const page = await context.newPage();
    const problems = [];
    page.on('console', (message) => message.type() === 'error' && problems.push(message.text()));
    await open(page, `${origin}/`);
    await page.evaluate(() => navigator.serviceWorker.ready);
    const manifest = await page.evaluate(async () => (await fetch('manifest.webmanifest')).json());
    expect(manifest.icons.map((icon) => icon.sizes)).toEqual(['192x192', '512x512']);
    server.closeAllConnections();
    await new Promise((done) => server.close(done));
    await context.setOffline(true);
    await open(page, `${origin}/`);
    await check(page, ['names', expected.names[2]], ['periods', expected.periods[11]]);
    expect((await read(page)).verdict).toBe(verdictFor(expected.names[2], expected.periods[11]));
    expect(requests.filter((url) => !url.startsWith(`${origin}/`) && !url.startsWith('data:'))).toEqual([]);
    expect(problems).toEqual([]);
    await context.close();
});

test('the Content-Security-Policy allows the page itself and WebAssembly, nothing else', async ({ page }) => {
    await open(page);
    const policy = await page.locator('meta[http-equiv=Content-Security-Policy]').getAttribute('content');
    const sources = policy.split(';').flatMap((directive) => directive.trim().split(/\s+/).slice(1));
    expect(sources.filter((source) => !/^'(self|none|wasm-unsafe-eval|sha256-[A-Za-z0-9+/=]+)'$|^data:$/.test(source))).toEqual([]);
    expect(policy).toMatch(/script-src 'sha256-[^']+' 'wasm-unsafe-eval'/);
});

test('the ZIP holds the page, the licence, the read-me and the examples', () => {
    const listing = execFileSync('python3', ['-m', 'zipfile', '-l', process.env.DRELVAN_ZIP], { encoding: 'utf8' });
    const files = listing.split('\n').slice(1).map((line) => line.split(/\s+/)[0]).filter((name) => name && !name.endsWith('/'));
    expect(files.map((name) => name.replace(/^[^/]+\//, '')).sort()).toEqual(
        ['LICENSE.txt', 'README.txt', 'examples/khans.csv', 'examples/khans.kvtml', 'icon-192.png', 'icon-512.png',
            'index.html', 'manifest.webmanifest', 'sw.js']);
});
