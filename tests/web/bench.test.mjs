// The web benchmark's own parts: the floor shows what the page shows, a
// floor out of step is caught, the memory figure follows what a page holds
// and not the load before, and the round with a file of pairs tells a page
// that opens one from a page that does not.
import { cpSync, mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { pathToFileURL } from 'node:url';
import { chromium, test } from '@playwright/test';
import { differences, readWindow } from '../../bench/web/floor.mjs';
import { launchForMemory, measureMemory } from '../../bench/web/memory.mjs';
import { measurePairs } from '../../bench/web/pairs.mjs';
import { expect, folder, open } from './support.mjs';

const floorUrl = pathToFileURL(process.env.DRELVAN_FLOOR).href;

async function windows(browser, change = () => {}) {
    const page = await browser.newPage();
    await open(page);
    const floor = await browser.newPage();
    await floor.goto(floorUrl);
    await floor.evaluate(change);
    return differences(await readWindow(page), await readWindow(floor));
}

test('the floor shows the page\'s window', async ({ browser }) => {
    expect(await windows(browser)).toEqual([]);
});

for (const [name, change, found] of [
    ['a caption', () => { document.getElementById('periodsCaption').textContent = 'Години'; }, 'periodsCaption, text'],
    ['a period', () => { document.getElementById('periods').options[15].text = '852'; }, 'periods, text'],
    ['a box one pixel lower', () => { document.getElementById('reset').style.top = '41px'; }, 'reset, place'],
    ['the font', () => { document.body.style.fontSize = '11pt'; }, 'title, font'],
    ['a colour', () => { document.getElementById('verdict').style.background = '#eee'; }, 'verdict, colours'],
    ['the focus', () => { document.getElementById('names').focus(); }, 'focus'],
]) {
    test(`a floor out of step is caught: ${name}`, async ({ browser }) => {
        expect((await windows(browser, change)).map((line) => line.split(':')[0])).toContain(found);
    });
}

// A page that opens ?pairs= as the benchmark expects: the file's first rows
// in #names, and a key that moves the mark.
const opener = `<!DOCTYPE html><meta charset="utf-8"><div id="names" tabindex="0"></div><script>
const names = document.getElementById('names');
fetch(new URLSearchParams(location.search).get('pairs')).then((r) => r.text()).then((text) => {
    names.replaceChildren(...text.split('\\n').slice(0, 16).map((line) => {
        const row = document.createElement('div'); row.textContent = line.split('\\t')[0]; return row; }));
});
let at = 0;
names.addEventListener('keydown', () => { names.children[at].className = ''; at = (at + 1) % 16; names.children[at].className = 'mark'; });
</script>`;

for (const [name, page, repainted] of [
    ['the page itself', null, true],
    ['a page that opens one', opener, true],
    ['a page that opens one and leaves the list as it was after a key', opener.replace(/names\.addEventListener[^\n]*/, ''), false],
]) {
    test(`the round with a file of pairs: ${name}`, async ({ browser }) => {
        const scratch = mkdtempSync(`${tmpdir()}/drelvan-bench-test-`);
        if (page === null)
            cpSync(folder, scratch, { recursive: true });
        else
            writeFileSync(`${scratch}/index.html`, page);
        const figures = await measurePairs(browser, scratch, 1, () => {}, async () => 0, 500);
        expect(figures.measured).toBe(repainted !== null);
        if (repainted !== null) {
            expect(figures.opened[0]).toBeGreaterThan(0);
            expect(figures.opened[0]).toBeLessThan(5000);
            expect(figures.key).toHaveLength(8);
            expect(figures.key.every(Number.isFinite)).toBe(repainted);
        }
    });
}

test('the renderer\'s memory follows what a page holds, load after load', async () => {
    const scratch = mkdtempSync(`${tmpdir()}/drelvan-bench-test-`);
    const page = (script) => `<!DOCTYPE html><p>16 MiB<script>${script}</script>`;
    writeFileSync(`${scratch}/plain.html`, page('self.held = new Uint8Array(1);'));
    writeFileSync(`${scratch}/held.html`, page('self.held = new Uint8Array(16 << 20).fill(1);'));
    const browser = await launchForMemory(chromium);
    const plain = [], held = [];
    for (let round = 0; round < 3; ++round) {
        plain.push(await measureMemory(browser, pathToFileURL(`${scratch}/plain.html`).href));
        held.push(await measureMemory(browser, pathToFileURL(`${scratch}/held.html`).href));
    }
    await browser.close();
    const MiB = (figures, key) => figures.map((figure) => figure[key] / 1048576);
    expect(Math.max(...MiB(plain, 'renderer')) - Math.min(...MiB(plain, 'renderer'))).toBeLessThan(0.5);
    for (const [round, over] of MiB(held, 'renderer').entries()) {
        expect(over - MiB(plain, 'renderer')[round]).toBeGreaterThan(15.5);
        expect(over - MiB(plain, 'renderer')[round]).toBeLessThan(16.5);
    }
});
