// A seeded random learner plays the page by pointer, keys, letters and the
// wheel, and after each action the window must hold what it holds on the
// desktop: each list in its order, at most one check an action, a check
// takes out exactly one name and one period, judged by the catalogue as the
// core's tests typed it, and leaves nothing selected; a reset deals all
// again; the focus mark, the top row and the focus stay where they can be.
// It plays the khans, and a teacher's file of 200 pairs whose right texts
// come ten times each. DRELVAN_SEED and DRELVAN_ACTIONS choose the game; a
// failure names both.
import { test } from '@playwright/test';
import { drop, expect, expected, lf, open, read, verdictFor } from './support.mjs';

const seed = Number(process.env.DRELVAN_SEED || 13);
const actions = Number(process.env.DRELVAN_ACTIONS || 250);
const chronological = ['Аспарух', 'Тервел', 'Кормес', 'Севар', 'Кормисош', 'Винех', 'Телец', 'Сабин', 'Токту',
                       'Паган', 'Телериг', 'Кардам', 'Крум', 'Омуртаг', 'Маламир', 'Пресиян I'];
const keys = ['ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight', 'PageUp', 'PageDown', 'Home', 'End', 'Space',
              'Enter', 'Tab', 'Shift+Tab', 'Shift+ArrowDown', 'Alt+ArrowDown'];

function random(state) { // mulberry32
    return () => {
        state = (state + 0x6d2b79f5) | 0;
        let t = Math.imul(state ^ (state >>> 15), 1 | state);
        t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
        return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
}

const isSubsequence = (part, whole) => { let i = 0; for (const e of whole) if (e === part[i]) ++i; return i === part.length; };
// The entries of `before` that `after` has no more, each as often as it went.
const lost = (before, after) => {
    const left = [...after];
    return before.filter((entry) => { const at = left.indexOf(entry); return at < 0 || !left.splice(at, 1); });
};

// The games: the full lists, the key (which right text a left text goes
// with, as typed here) and the verdicts the core writes.
const khans = { names: expected.names, periods: expected.periods, letters: [...'акмпстовш'], file: null,
                right: (name, period) => chronological.indexOf(name) === expected.periods.indexOf(period), verdictFor };
const repeated = expected.files['повторени.csv'];
const key = Object.fromEntries(repeated.text.split('\n').slice(1, -1).map((line) => line.split(';')));
const fromFile = { names: repeated.names, periods: repeated.periods, letters: [...'дгу12'], file: repeated,
                   right: (name, period) => key[name] === period,
                   verdictFor: (name, period) => lf(repeated.verdicts[name][period]) };

function hold(game, before, after, step) {
    for (const [member, full] of [['names', game.names], ['periods', game.periods]]) {
        const list = after[member];
        expect(isSubsequence(list.entries, full), `${member} in order`).toBe(true);
        expect(list.selected.length, `${member}: one selection at most`).toBeLessThanOrEqual(1);
        expect(list.caret, `${member}: focus mark in range`).toBeGreaterThanOrEqual(-1);
        expect(list.caret, `${member}: focus mark in range`).toBeLessThan(list.entries.length || 1);
        expect(list.top, `${member}: top row`).toBeLessThanOrEqual(Math.max(0, list.entries.length - list.rows));
        if (list.selected.length)
            expect(list.caret, `${member}: the mark on the selection`).toBe(list.selected[0]);
    }
    // Tab from "Чисти" goes on to the browser's own controls ('').
    expect(['verdict', 'names', 'periods', 'reset', '']).toContain(after.focus);
    const [name, period] = [lost(before.names.entries, after.names.entries), lost(before.periods.entries, after.periods.entries)];
    const reset = after.names.entries.length === game.names.length && after.periods.entries.length === game.periods.length
        && after.verdict === '' && before.verdict !== '';
    if (reset) {
        expect([after.names.top, after.periods.top], 'a reset shows the top').toEqual([0, 0]);
    } else if (name.length || period.length) {
        expect([name.length, period.length], 'one check: one name and one period out').toEqual([1, 1]);
        // The verdict's first word, as the core writes it for a right pair
        // and for a wrong one.
        const first = game.names[0], [rightOne, wrongOne] = [true, false].map((right) =>
            game.periods.find((period) => game.right(first, period) === right));
        const word = game.verdictFor(first, game.right(name[0], period[0]) ? rightOne : wrongOne).split(' ')[0];
        expect(after.verdict.split(' ')[0], 'judged by the catalogue').toBe(word);
        expect(after.verdict, 'the verdict text').toBe(game.verdictFor(name[0], period[0]));
        expect(lf(after.spoken), 'the verdict spoken').toBe(after.verdict);
        expect([after.names.selected, after.periods.selected], 'nothing selected after a check').toEqual([[], []]);
    } else {
        expect(after.verdict, `${step}: no check, no new verdict`).toBe(before.verdict);
    }
}

for (const game of [khans, fromFile]) test(`a random learner${game.file ? ` on ${game.file.name}` : ''}, seed ${seed}, ${actions} actions`, async ({ page }) => {
    test.setTimeout(actions * 1000);
    await open(page);
    if (game.file) {
        await drop(page, game.file);
        await expect(page.locator('#title')).toHaveText(game.file.title);
    }
    const cdp = await page.context().newCDPSession(page);
    const next = random(seed);
    const pick = (items) => items[Math.floor(next() * items.length)];
    const log = [];
    let before = await read(page);
    for (let i = 0; i < actions; ++i) {
        const member = pick(['names', 'periods']);
        const box = await page.locator(`#${member}`).boundingBox();
        const row = Math.floor(next() * 8);
        const at = (line) => box.y + 2 + (line + 0.5) * before[member].line;
        const kind = pick(['click', 'click', 'key', 'key', 'letter', 'wheel', 'drag', 'reset']);
        const step = `${i}: ${kind} ${member} ${row}`;
        log.push(step);
        if (kind === 'click' || kind === 'drag') {
            await page.mouse.move(box.x + 20, at(row));
            await page.mouse.down();
            if (kind === 'drag')
                await page.mouse.move(box.x + 20, at((row + 3) % 8), { steps: 3 });
            await page.mouse.up();
        } else if (kind === 'key') {
            const key = pick(keys);
            log[log.length - 1] += ` ${key}`;
            await page.keyboard.press(key);
        } else if (kind === 'letter') {
            const letter = pick(game.letters);
            await cdp.send('Input.dispatchKeyEvent', { type: 'keyDown', key: letter, text: letter });
            await cdp.send('Input.dispatchKeyEvent', { type: 'keyUp', key: letter });
        } else if (kind === 'wheel') {
            await page.mouse.move(box.x + 20, box.y + 40);
            await page.mouse.wheel(0, row < 4 ? -100 : 100);
        } else {
            await page.click('#reset');
        }
        const after = await read(page);
        try {
            hold(game, before, after, step);
        } catch (error) {
            error.message += `\nseed ${seed}, last actions:\n${log.slice(-8).join('\n')}`;
            throw error;
        }
        before = after;
    }
});
