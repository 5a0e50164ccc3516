// The page as it is delivered: from file:// with no JavaScript or no
// WebAssembly, from a web server and then offline after the first visit,
// never asking another origin; the ZIP a school receives.
import { execFileSync } from 'node:child_process';
import { cpSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { test } from '@playwright/test';
import { check, expect, expected, folder, open, read, serve, verdictFor } from './support.mjs';

test('from file:// the page logs no error and links no manifest', async ({ page }) => {
    const problems = [];
    page.on('console', (message) => message.type() === 'error' && problems.push(message.text()));
    page.on('pageerror', (error) => problems.push(error.message));
    await open(page);
    await page.waitForTimeout(500);
    expect(problems).toEqual([]);
    await expect(page.locator('link[rel=manifest]')).toHaveCount(0);
});

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

// A copy of the page without one of its scripts says which, and changes nothing.
const halfCopy = (pattern) => {
    const copy = mkdtempSync(`${tmpdir()}/drelvan-half-`);
    cpSync(folder, copy, { recursive: true });
    const missing = readdirSync(copy).find((name) => pattern.test(name));
    rmSync(`${copy}/${missing}`);
    return { url: `file://${copy}/index.html`, missing };
};

test('a copy of the page without its quiz says which file is missing', async ({ page }) => {
    const { url, missing } = halfCopy(/^quiz-[0-9a-f]{12}\.js$/);
    await page.goto(url);
    await expect(page.locator('#failure span')).toHaveText(new RegExp(`^Страницата не е цяла: липсва файлът „${missing}“.`));
    await expect(page.locator('#failure button')).toBeHidden();
});

test('a copy of the page without its reader says which file is missing when a file is opened', async ({ page }) => {
    const { url, missing } = halfCopy(/^reader-[0-9a-f]{12}\.js$/);
    await open(page, url);
    await page.evaluate(() => drelvan.openFile(new Blob(['Аспарух\t681\n']), 'khans.tsv'));
    await expect(page.locator('#failure')).toContainText(`Страницата не е цяла: липсва файлът „${missing}“.`);
    await expect(page.locator('#names [role=option]').first()).toHaveText(expected.names[0]);
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
    const cdp = await context.newCDPSession(page);
    const manifest = await cdp.send('Page.getAppManifest');
    expect([manifest.url, manifest.errors]).toEqual([`${origin}/manifest.webmanifest`, []]);
    expect(JSON.parse(manifest.data).icons.map((icon) => icon.sizes)).toEqual(['192x192', '512x512']);
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

// A newer release, built as the page is (web/assemble.mjs) from markup with
// another caption on its button (the quiz paints its own title over the
// markup's, but not the button's).
function nextRelease(title) {
    const next = mkdtempSync(`${tmpdir()}/drelvan-next-`);
    cpSync(folder, next, { recursive: true });
    const markup = `${next}/index.in.html`;
    writeFileSync(markup, readFileSync(process.env.DRELVAN_MARKUP, 'utf8').replace(`>${expected.resetCaption}<`, `>${title}<`));
    execFileSync(process.execPath, ['../../web/assemble.mjs', markup, '../../web/first.js', '../../web/page.js',
                                    process.env.DRELVAN_QUIZ, process.env.DRELVAN_READER, process.env.DRELVAN_UNTURN,
                                    '../../web/sw.js', `${process.env.DRELVAN_RELEASE}-next`, next],
                 { env: { ...process.env, NODE_PATH: '/usr/share/nodejs' } });
    return next;
}

// The caches the browser keeps, and the button's caption in the page kept.
const kept = (page) => page.evaluate(async () => {
    const names = await caches.keys();
    const store = await caches.open(names[0]);
    return { names, page: (await (await store.match('index.html')).text()).match(/<button id="reset"[^>]*>([^<]*)/)[1] };
});

test('a new release on the server runs after one reload, and a half-copied one not at all', async ({ browser }) => {
    const { server, files, origin } = await serve();
    const context = await browser.newContext();
    const page = await context.newPage();
    await open(page, `${origin}/`);
    await page.evaluate(() => navigator.serviceWorker.ready);
    const next = nextRelease('Следваща версия');
    // The new worker beside the old page: the worker refuses to take over.
    files.from = (name) => (name === 'sw.js' ? next : folder);
    await page.reload();
    const state = await page.evaluate(async () => {
        const registration = await navigator.serviceWorker.getRegistration();
        await registration.update().catch(() => {});
        const worker = registration.installing || registration.waiting;
        const settled = () => ['redundant', 'activated'].includes(worker.state);
        return !worker ? 'none' : settled() ? worker.state
            : new Promise((done) => worker.addEventListener('statechange', () => settled() && done(worker.state)));
    });
    expect(state).toBe('redundant');
    await expect(page.locator('#reset')).toHaveText(expected.resetCaption);
    expect((await kept(page)).page).toBe(expected.resetCaption);
    // The whole new release: one reload, and the page is the new one.
    files.from = () => next;
    await page.reload();
    await expect(page.locator('#reset')).toHaveText('Следваща версия', { timeout: 10000 });
    await page.waitForFunction(() => drelvan.ready);
    const after = await kept(page);
    expect([after.names.length, after.page]).toEqual([1, 'Следваща версия']);
    server.closeAllConnections();
    await new Promise((done) => server.close(done));
    await context.close();
});

test('the Content-Security-Policy allows the page itself and WebAssembly, nothing else', async ({ page }) => {
    await open(page);
    const policy = await page.locator('meta[http-equiv=Content-Security-Policy]').getAttribute('content');
    const sources = policy.split(';').flatMap((directive) => directive.trim().split(/\s+/).slice(1));
    expect(sources.filter((source) => !/^'(self|none|strict-dynamic|wasm-unsafe-eval|sha256-[A-Za-z0-9+/=]+)'$|^data:$/.test(source)))
        .toEqual([]);
    expect(policy).toMatch(/script-src 'sha256-[^']+' 'strict-dynamic' 'wasm-unsafe-eval';/);
});

test('the ZIP holds the page, the licence, the read-me and the examples', () => {
    const listing = execFileSync('python3', ['-m', 'zipfile', '-l', process.env.DRELVAN_ZIP], { encoding: 'utf8' });
    const files = listing.split('\n').slice(1).map((line) => line.split(/\s+/)[0]).filter((name) => name && !name.endsWith('/'));
    expect(files.map((name) => name.replace(/^[^/]+\//, '').replace(/-[0-9a-f]{12}\.js$/, '-*.js')).sort()).toEqual(
        ['LICENSE.txt', 'README.txt', 'examples/khans.csv', 'examples/khans.kvtml', 'icon-192.png', 'icon-512.png',
            'index.html', 'manifest.webmanifest', 'quiz-*.js', 'reader-*.js', 'sw.js']);
});
