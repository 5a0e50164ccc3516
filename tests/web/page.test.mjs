// The page as it opens: its texts, the lists' order, each control's place at
// device scale 1 and 2, the colours, the accessibility tree and axe.
import AxeBuilder from '@axe-core/playwright';
import { test } from '@playwright/test';
import { expect, expected, lf, open, read } from './support.mjs';

test('every text is the core\'s, to the code unit', async ({ page }) => {
    await open(page);
    expect(await page.title()).toBe(expected.title);
    for (const [selector, text] of [['#title', expected.quizTitle], ['#namesCaption', expected.namesCaption],
                                    ['#periodsCaption', expected.periodsCaption], ['#reset', expected.resetCaption]])
        expect(await page.locator(selector).textContent(), selector).toBe(text);
    expect(await page.locator('#verdict').inputValue()).toBe(lf(expected.openingText));
    // Liberation Serif stands for Times New Roman here: no shrinking.
    expect(await page.evaluate(() => getComputedStyle(document.getElementById('window')).fontSize)).toBe('16px');
});

test('the lists in their order, the trailing blank kept', async ({ page }) => {
    await open(page);
    const shown = await read(page);
    expect(shown.names.entries).toEqual(expected.names);
    expect(shown.periods.entries).toEqual(expected.periods);
    expect(shown.focus).toBe('verdict');
});

for (const scale of [1, 2]) {
    test(`each control's box in CSS pixels is its twips / 15 at device scale ${scale}`, async ({ browser }) => {
        const context = await browser.newContext({ deviceScaleFactor: scale });
        const page = await context.newPage();
        await open(page);
        const boxes = await page.evaluate((ids) => {
            const origin = document.getElementById('window').getBoundingClientRect();
            return ids.map((id) => {
                const box = document.getElementById(id).getBoundingClientRect();
                return [box.left - origin.left, box.top - origin.top, box.width, box.height];
            });
        }, Object.keys(expected.boxes));
        expect(Object.fromEntries(Object.keys(expected.boxes).map((id, i) => [id, boxes[i]])))
            .toEqual(Object.fromEntries(Object.entries(expected.boxes).map(([id, twips]) => [id, twips.map((t) => t / 15)])));
        expect(await page.evaluate(() => devicePixelRatio)).toBe(scale);
        // A row is the font's height, 17 px for Liberation Serif at 12 pt, as
        // in both desktop windows: seven whole rows in each list.
        const { names, periods } = await read(page);
        expect([names.line, names.rows, periods.line, periods.rows]).toEqual([17, 7, 17, 7]);
        await context.close();
    });
}

test('the colours, read from a screenshot', async ({ page, context }) => {
    await open(page);
    const shot = (await page.screenshot()).toString('base64');
    const blank = await context.newPage();
    const at = ([x, y]) => [x / 15 + 3, y / 15 + 3];
    const points = { window: [at([0, 5175 - 60])], label: [at(expected.boxes.title)],
                     button: [at(expected.boxes.reset)], white: [[expected.boxes.names[0] / 15 + 90, expected.boxes.names[1] / 15 + 120]] };
    const colours = await blank.evaluate(async ({ shot, points }) => {
        const image = new Image();
        image.src = `data:image/png;base64,${shot}`;
        await image.decode();
        const canvas = new OffscreenCanvas(image.width, image.height);
        const context = canvas.getContext('2d');
        context.drawImage(image, 0, 0);
        return Object.fromEntries(Object.entries(points).map(([name, [[x, y]]]) =>
            [name, [...context.getImageData(x, y, 1, 1).data.slice(0, 3)]]));
    }, { shot, points });
    expect(colours).toEqual({ ...expected.colours, white: [255, 255, 255] });
});

// 200 % zoom on a 1280 x 720 screen: 640 x 360 CSS pixels, two device pixels each.
test('at 200 % zoom no caption or entry is clipped', async ({ browser }) => {
    const context = await browser.newContext({ viewport: { width: 640, height: 360 }, deviceScaleFactor: 2 });
    const page = await context.newPage();
    await open(page);
    const clipped = await page.evaluate(() => [...document.querySelectorAll('.label, button, [role=option]')]
        .filter((element) => {
            const range = document.createRange();
            range.selectNodeContents(element);
            const text = range.getBoundingClientRect();
            const inList = element.getAttribute('role') === 'option';
            const box = (inList ? element.parentElement : element);
            const room = box.getBoundingClientRect();
            const left = room.left + box.clientLeft, right = left + box.clientWidth;
            return text.left < left || text.right > right
                || (!inList && (text.top < room.top + box.clientTop || text.bottom > room.top + box.clientTop + box.clientHeight));
        })
        .map((element) => element.textContent));
    expect(clipped).toEqual([]);
    expect(await page.evaluate(() => document.documentElement.scrollWidth)).toBeGreaterThanOrEqual(expected.boxes.window[2] / 15);
    await context.close();
});

test('the accessibility tree names every control', async ({ page }) => {
    await open(page);
    await expect(page.getByRole('textbox', { name: expected.verdictName, exact: true })).not.toBeEditable();
    await expect(page.getByRole('listbox', { name: expected.namesCaption, exact: true }).getByRole('option')).toHaveCount(16);
    await expect(page.getByRole('listbox', { name: expected.periodsCaption, exact: true }).getByRole('option')).toHaveCount(16);
    await expect(page.getByRole('button', { name: expected.resetCaption, exact: true })).toBeVisible();
    await expect(page.locator('#live')).toHaveAttribute('aria-live', 'polite');
});

test('axe finds nothing', async ({ page }) => {
    await open(page);
    const results = await new AxeBuilder({ page }).analyze();
    expect(results.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(' ')}`)).toEqual([]);
});

test('in a wider face that stands in for both, the font shrinks until every text fits', async ({ page }) => {
    await page.addInitScript(() => new MutationObserver((changes, observer) => {
        const area = document.getElementById('window');
        if (area) {
            area.style.fontFamily = '"No Such Face", "Nor This One", "DejaVu Sans"';
            observer.disconnect();
        }
    }).observe(document, { childList: true, subtree: true }));
    await open(page);
    const fit = await page.evaluate(() => ({
        points: parseFloat(getComputedStyle(document.getElementById('window')).fontSize) * 0.75,
        // An entry is as wide as its text: it must fit in its list.
        clipped: [...document.querySelectorAll('.label, button, [role=option]')]
            .filter((element) => (element.getAttribute('role') === 'option'
                ? element.offsetWidth > element.parentNode.clientWidth : element.scrollWidth > element.clientWidth))
            .map((element) => element.textContent),
    }));
    expect(fit.clipped).toEqual([]);
    expect(fit.points).toBeLessThan(12);
    expect(fit.points).toBeGreaterThanOrEqual(8);
});

// Where the pointer is a finger, the window fills the screen: [width,
// height, whether all of it must be in sight without scrolling (not on a
// phone on its side)].
const ids = ['title', 'namesCaption', 'periodsCaption', 'verdict', 'names', 'periods', 'reset'];
for (const [width, height, inSight] of [[320, 568, true], [360, 740, true], [740, 360, false], [800, 1280, true],
                                        [1280, 800, true]]) {
    test(`by touch at ${width} x ${height}: every control in sight, targets a finger can hit, a game by taps`, async ({ browser }) => {
        const context = await browser.newContext({ viewport: { width, height }, hasTouch: true, isMobile: true });
        const page = await context.newPage();
        await open(page);
        const shown = await page.evaluate((ids) => ({
            boxes: ids.map((id) => document.getElementById(id).getBoundingClientRect().toJSON()),
            page: [document.documentElement.scrollWidth, document.documentElement.scrollHeight],
            clipped: [...document.querySelectorAll('.label, button')].filter((e) => e.scrollWidth > e.clientWidth).map((e) => e.id),
            targets: [...document.querySelectorAll('[role=option], #reset')].map((e) => e.getBoundingClientRect().height),
            fonts: [...document.querySelectorAll('[role=option]')].map((e) => parseFloat(getComputedStyle(e).fontSize)),
        }), ids);
        for (const [at, box] of shown.boxes.entries()) {
            expect(box.left >= 0 && box.right <= width, `${ids[at]} across`).toBe(true);
            expect(!inSight || box.bottom <= height, `${ids[at]} down`).toBe(true);
        }
        expect(shown.page[0]).toBeLessThanOrEqual(width);
        if (inSight)
            expect(shown.page[1]).toBeLessThanOrEqual(height);
        expect(shown.clipped).toEqual([]);
        expect(Math.min(...shown.targets)).toBeGreaterThanOrEqual(44);
        expect(Math.min(...shown.fonts)).toBeGreaterThanOrEqual(16);
        // The core was told the whole rows that fit: End shows the last of them.
        expect((await read(page)).focus).toBe('verdict');
        await page.keyboard.press('Tab');
        await page.keyboard.press('End');
        const { names } = await read(page);
        expect([names.line, names.top]).toEqual([44, Math.max(0, 16 - names.rows)]);
        await page.locator('#names [role=option]').nth(2).tap();
        await page.locator('#periods [role=option]').nth(5).tap();
        expect((await read(page)).verdict).toBe(lf(expected.verdicts[2][5]));
        await context.close();
    });
}
