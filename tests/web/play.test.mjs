// Playing the page by pointer, keyboard and touch: every rule is the core's,
// so these follow the desktop's behaviour through the page's wiring.
import { test } from '@playwright/test';
import { check, expect, expected, lf, open, option, pageUrl, read, verdictFor } from './support.mjs';

const { names, periods } = expected;
const without = (list, ...gone) => list.filter((entry) => !gone.includes(entry));

for (const [name, period] of [[names[0], periods[0]], [names[14], periods[1]], [names[9], periods[15]], [names[3], periods[3]]]) {
    for (const nameFirst of [true, false]) {
        test(`${name} with "${period}", ${nameFirst ? 'name' : 'period'} first`, async ({ page }) => {
            await open(page);
            const pair = [['names', name], ['periods', period]];
            await check(page, ...(nameFirst ? pair : pair.reverse()));
            const shown = await read(page);
            expect(shown.verdict).toBe(verdictFor(name, period));
            expect(lf(shown.spoken)).toBe(shown.verdict);
            expect(shown.focus).toBe(nameFirst ? 'periods' : 'names'); // a verdict does not move the focus
            expect([shown.names.entries, shown.periods.entries]).toEqual([without(names, name), without(periods, period)]);
            expect([shown.names.selected, shown.periods.selected]).toEqual([[], []]);
        });
    }
}

test('a full game, then "Чисти" by the pointer', async ({ page }) => {
    await open(page);
    // The catalogue's pairs: verdicts[n][p] starts with the same word as the first right one.
    const right = expected.verdicts[0][0].split(' ')[0];
    for (const name of names) {
        const period = periods.find((p) => verdictFor(name, p).startsWith(right));
        await check(page, ['names', name], ['periods', period]);
        expect((await read(page)).verdict).toBe(verdictFor(name, period));
    }
    let shown = await read(page);
    expect([shown.names.entries, shown.periods.entries]).toEqual([[], []]);
    await page.click('#reset');
    shown = await read(page);
    expect([shown.names.entries, shown.periods.entries, shown.verdict]).toEqual([names, periods, '']);
});

for (const how of ['Space', 'Enter']) {
    test(`"Чисти" by ${how}: full lists, back at the top`, async ({ page }) => {
        await open(page);
        await check(page, ['names', names[15]], ['periods', periods[15]]);
        await page.locator('#names').press('End');
        await page.locator('#periods').press('End');
        await page.focus('#reset');
        await page.keyboard.press(how);
        const shown = await read(page);
        expect([shown.names.entries, shown.periods.entries, shown.verdict]).toEqual([names, periods, '']);
        expect([shown.names.top, shown.periods.top]).toEqual([0, 0]);
    });
}

test('Tab and Shift+Tab go verdict, names, periods, "Чисти"', async ({ page }) => {
    await open(page);
    const order = ['verdict', 'names', 'periods', 'reset'];
    for (const id of order.slice(1)) {
        await page.keyboard.press('Tab');
        expect((await read(page)).focus).toBe(id);
    }
    for (const id of order.slice(0, -1).reverse()) {
        await page.keyboard.press('Shift+Tab');
        expect((await read(page)).focus).toBe(id);
    }
});

// Each key from where the last left the names list: [key, entry selected].
// Seven whole rows in sight, as on the desktop: a page is six.
const moves = [['ArrowDown', 0], ['ArrowDown', 1], ['ArrowRight', 2], ['ArrowLeft', 1], ['ArrowUp', 0], ['End', 15],
               ['Home', 0], ['PageDown', 6], ['PageDown', 12], ['PageUp', 6], ['Shift+ArrowDown', 7], ['Control+ArrowDown', 8]];
test('the moving keys, Left and Right included', async ({ page }) => {
    await open(page);
    await page.keyboard.press('Tab');
    for (const [key, row] of moves) {
        await page.keyboard.press(key);
        const shown = await read(page);
        expect([key, shown.names.selected, shown.names.caret], key).toEqual([key, [row], row]);
        expect(shown.names.top <= row && row < shown.names.top + shown.names.rows, `${key}: row in sight`).toBe(true);
    }
});

// Keys after Tab, and the name they leave selected and the first row then
// shown, as in both desktop windows: a page of the list is its whole rows
// less one.
for (const [keys, name, top] of [[['ArrowDown', 'ArrowDown', 'Control+ArrowDown', 'PageDown'], 'Паган', 2],
                                 [['End', 'PageUp'], 'Пресиян I', 9], [['End', 'PageUp', 'PageUp'], 'Кормес', 3]]) {
    test(`${keys.join(', ')} select ${name}`, async ({ page }) => {
        await open(page);
        await page.keyboard.press('Tab');
        for (const key of keys)
            await page.keyboard.press(key);
        const shown = await read(page);
        expect(shown.names.selected).toEqual([names.indexOf(name)]);
        expect(shown.names.top).toBe(top);
    });
}

// A key of a Bulgarian keyboard, as Chromium gets it from the system: a key
// down that types its letter (Playwright's keyboard knows US keys only).
async function typeLetters(page, letters) {
    const cdp = await page.context().newCDPSession(page);
    for (const letter of letters) {
        await cdp.send('Input.dispatchKeyEvent', { type: 'keyDown', key: letter, text: letter, unmodifiedText: letter });
        await cdp.send('Input.dispatchKeyEvent', { type: 'keyUp', key: letter });
    }
}

// Letters typed quickly make one search; [letters, entry selected].
for (const [letters, name] of [['к', 'Кардам'], ['кр', 'Крум'], ['КОРМИ', 'Кормисош'], ['тт', 'Телец'], ['ттт', 'Тервел'], ['п', 'Паган'], ['пр', 'Пресиян I'], ['ш', null]]) {
    test(`typing "${letters}" in the names`, async ({ page }) => {
        await open(page);
        await page.keyboard.press('Tab');
        await typeLetters(page, letters);
        expect((await read(page)).names.selected).toEqual(name ? [names.indexOf(name)] : []);
    });
}

test('a drag after a check selects nothing', async ({ page }) => {
    await open(page);
    await option(page, 'names', names[0]).click();
    const box = await page.locator('#periods').boundingBox();
    await page.mouse.move(box.x + 20, box.y + 10);
    await page.mouse.down();
    for (let y = 10; y < 120; y += 8)
        await page.mouse.move(box.x + 20, box.y + y);
    await page.mouse.up();
    const shown = await read(page);
    expect(shown.verdict).toBe(verdictFor(names[0], periods[0]));
    expect([shown.names.selected, shown.periods.selected, shown.periods.entries.length]).toEqual([[], [], 15]);
});

test('touch: a tap on a name, then on a period, checks them', async ({ browser }) => {
    const context = await browser.newContext({ hasTouch: true, isMobile: true, viewport: { width: 480, height: 640 } });
    const page = await context.newPage();
    await open(page);
    await option(page, 'periods', periods[2]).tap();
    await option(page, 'names', names[14]).tap();
    const shown = await read(page);
    expect(shown.verdict).toBe(verdictFor(names[14], periods[2]));
    expect(shown.names.entries).toEqual(without(names, names[14]));
    await context.close();
});

// The quiz held back: its module from compiling (the window is drawn and its
// handlers are in place), or its script from coming (the window is drawn,
// and only the page's first script is there).
const holds = {
    compile: () => {
        const compile = WebAssembly.compile;
        WebAssembly.compile = (bytes) => new Promise((done) => { self.goOn = () => done(compile(bytes)); });
    },
    script: () => {
        const append = Node.prototype.appendChild;
        Node.prototype.appendChild = function (node) {
            if (!(node instanceof HTMLScriptElement && /quiz-/.test(node.src)))
                return append.call(this, node);
            self.goOn = () => append.call(this, node);
            return node;
        };
    },
};
for (const [held, touch] of [['compile', false], ['compile', true], ['script', false], ['script', true]]) {
    test(`a ${touch ? 'tap' : 'click'} made before the quiz's ${held === 'compile' ? 'module is compiled' : 'script has come'} is played once it has started`, async ({ browser }) => {
        const context = await browser.newContext(touch ? { hasTouch: true, isMobile: true, viewport: { width: 480, height: 640 } } : {});
        const page = await context.newPage();
        await page.addInitScript(holds[held]);
        await page.goto(pageUrl);
        await page.waitForFunction(() => self.goOn && drelvanDrawn);
        await page.evaluate(() => drelvanDrawn);
        await option(page, 'names', names[2])[touch ? 'tap' : 'click']();
        expect(await page.evaluate(() => !!self.drelvan?.ready)).toBe(false);
        await page.evaluate(() => goOn());
        await page.waitForFunction(() => self.drelvan?.ready);
        const shown = await read(page);
        expect([shown.names.selected, shown.names.caret, shown.focus]).toEqual([[2], 2, 'names']);
        await context.close();
    });
}

test('the wheel scrolls three rows a notch and picks nothing', async ({ page }) => {
    await open(page);
    await page.hover('#names');
    await page.mouse.wheel(0, 100);
    await expect.poll(async () => (await read(page)).names.top).toBe(3);
    expect((await read(page)).names.selected).toEqual([]);
});

test('a key the list leaves to the window (Alt) moves nothing, the browser\'s scrolling included', async ({ page }) => {
    await open(page);
    await page.focus('#names');
    await page.keyboard.press('Alt+ArrowDown');
    await page.keyboard.press('Alt+PageDown');
    await page.waitForTimeout(300); // a smooth scroll of the browser's own would be under way by now
    const shown = await read(page);
    expect([shown.names.top, shown.names.selected, await page.locator('#names').evaluate((list) => list.scrollTop)])
        .toEqual([0, [], 0]);
});

// The quiz's list of notes emptied (an export for tests), a right pair
// fails in its handler: the page says so in an element of its own, leaves
// the focus where it was, and goes back there when the report is dismissed.
for (const how of ['pointer', 'keyboard']) {
    test(`a handler's failure is reported in the page, dismissed by ${how}`, async ({ page }) => {
        const dialogs = [];
        page.on('dialog', (dialog) => dialogs.push(dialog.message()) && dialog.dismiss());
        await open(page);
        await page.evaluate(() => drelvan.core.dv_clear(4));
        await check(page, ['names', 'Крум'], ['periods', '803 - 814']);
        const report = page.getByRole('alert');
        await expect(report).toContainText(`${expected.failureText}`);
        await expect(report).toContainText('List1(4)');
        expect((await read(page)).focus).toBe('periods');
        if (how === 'pointer') {
            await report.getByRole('button').click();
        } else {
            await page.keyboard.press('Tab');
            await page.keyboard.press('Tab');
            await page.keyboard.press('Enter');
        }
        await expect(report).toBeHidden();
        expect((await read(page)).focus).toBe(how === 'pointer' ? 'periods' : 'reset');
        await page.click('#reset');
        expect((await read(page)).names.entries).toEqual(names);
        expect(dialogs).toEqual([]);
    });
}

test('a screen reader\'s click on options (no pointer) makes a check', async ({ page }) => {
    await open(page);
    await page.evaluate(([name, period]) => {
        document.getElementById(`names-${name}`).click();
        document.getElementById(`periods-${period}`).click();
    }, [12, 4]);
    expect((await read(page)).verdict).toBe(verdictFor(names[12], periods[4]));
});
