// The differential script (tests/differential/script.txt) played on the page
// in Chromium: each key pressed on the keyboard as the browser gets it, and
// after each step the page read back from the DOM into the trace that
// tests/differential/compare.mjs holds against the Qt window's and
// drelvan.exe's. The script and the trace are those of
// tests/differential/trace.hpp, written the same way here.
import { appendFileSync, readFileSync, writeFileSync } from 'node:fs';
import { test } from '@playwright/test';
import { expect, open, read } from './support.mjs';

const keyNames = ['Tab', 'Up', 'Down', 'Left', 'Right', 'Home', 'End', 'PageUp', 'PageDown', 'Space', 'Enter', 'Escape'];
const domKeys = { Up: 'ArrowUp', Down: 'ArrowDown', Left: 'ArrowLeft', Right: 'ArrowRight' };

function readScript(text) {
    const steps = [];
    text.split('\n').forEach((raw, at) => {
        const line = raw.replace(/#.*/, '').trim();
        if (!line)
            return;
        const fail = () => { throw new Error(`script line ${at + 1}: ${line}`); };
        const step = { number: steps.length + 1, written: line, key: '', shift: false, control: false, typed: '' };
        if (line.startsWith('type ')) {
            step.typed = line.slice(5);
            if (!step.typed || /[ \t]/.test(step.typed))
                fail();
        } else {
            let key = line;
            if (key.startsWith('Shift+'))
                [step.shift, key] = [true, key.slice(6)];
            if (key.startsWith('Ctrl+'))
                [step.control, key] = [true, key.slice(5)];
            if (!keyNames.includes(key))
                fail();
            step.key = key;
        }
        steps.push(step);
    });
    return steps;
}

const quoted = (text) => '"' + text.replaceAll('\r\n', '\n').replace(/[\\"\n\r\t]/g,
    (c) => ({ '\\': '\\\\', '"': '\\"', '\n': '\\n', '\r': '\\r', '\t': '\\t' })[c]) + '"';

function traceOf(number, key, shown) {
    const lines = [];
    const field = (name, value) => lines.push(`${number}\t${key}\t${name}\t${value}\n`);
    field('focus', ['verdict', 'names', 'periods', 'reset'].includes(shown.focus) ? shown.focus : 'none');
    field('verdict', quoted(shown.verdict));
    for (const name of ['names', 'periods']) {
        const list = shown[name];
        field(name, list.entries.map(quoted).join(' '));
        field(`${name}.selected`, list.selected.length > 1 ? -2 : list.selected.length ? list.selected[0] : -1);
        field(`${name}.top`, list.top);
    }
    return lines.join('');
}

// A key of a Bulgarian keyboard, as Chromium gets it from the system: a key
// down that types its letter (Playwright's keyboard knows US keys only).
async function typeLetters(page, letters) {
    const cdp = await page.context().newCDPSession(page);
    for (const letter of letters) {
        await cdp.send('Input.dispatchKeyEvent', { type: 'keyDown', key: letter, text: letter, unmodifiedText: letter });
        await cdp.send('Input.dispatchKeyEvent', { type: 'keyUp', key: letter });
    }
    await cdp.detach();
}

test('the differential script', async ({ page }) => {
    test.setTimeout(180000);
    const steps = readScript(readFileSync(process.env.DRELVAN_DIFFERENTIAL_SCRIPT, 'utf8'));
    const trace = process.env.DRELVAN_DIFFERENTIAL_TRACE;
    await open(page);
    writeFileSync(trace, traceOf(0, 'start', await read(page)));
    for (const step of steps) {
        if (step.typed) {
            await page.waitForTimeout(1100); // a search of its own
            await typeLetters(page, step.typed);
        } else {
            const key = domKeys[step.key] || step.key;
            await page.keyboard.press((step.control ? 'Control+' : '') + (step.shift ? 'Shift+' : '') + key);
        }
        appendFileSync(trace, traceOf(step.number, step.written, await read(page)));
    }
    expect(steps.length).toBeGreaterThanOrEqual(50);
});
