// The comparer of the differential traces must fail where they part: a
// table of traces made to differ from a good one, each with what the
// comparer must say.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';
import { compare } from './compare.mjs';

const step = (number, key, focus, selected, top = 0) => [
    ['focus', focus], ['verdict', '"Вярно Крум период 803 - 814\\n"'], ['names', '"Аспарух" "Винех"'],
    ['names.selected', selected], ['names.top', top], ['periods', '"681 - 701" "738 - 753 "'],
    ['periods.selected', -1], ['periods.top', 0],
].map(([field, value]) => `${number}\t${key}\t${field}\t${value}\n`).join('');
const good = step(0, 'start', 'verdict', -1) + step(1, 'Tab', 'names', -1) + step(2, 'Down', 'names', 0)
    + step(3, 'Tab', 'periods', 0);
const changed = (from, to) => { assert.ok(good.includes(from)); return good.replace(from, to); };

const rows = [
    ['the same traces', good, []],
    ['a selection one higher', changed('2\tDown\tnames.selected\t0', '2\tDown\tnames.selected\t1'),
        [/^step 2 \(Down\), names\.selected:\n {2}qt: 0\n {2}win32: 0\n {2}web: 1$/]],
    ['the focus elsewhere', changed('1\tTab\tfocus\tnames', '1\tTab\tfocus\treset'), [/^step 1 \(Tab\), focus:/]],
    ['a blank lost from an entry', changed('"738 - 753 "', '"738 - 753"'), [/^step 0 \(start\), periods:/]],
    ['a top row moved', changed('3\tTab\tnames.top\t0', '3\tTab\tnames.top\t0.5'), [/web: 0\.5$/]],
    ['a trace cut short', good.split('\n').slice(0, 20).join('\n'), [/^step 2 \(Down\): the web trace ends before it/]],
    ['another key played', good.replaceAll('\tDown\t', '\tUp\t'), [/out of step/]],
    ['an empty trace', '', [/^the web trace is empty$/]],
    ['Tab forward from "Чисти"', good + step(4, 'Tab', 'reset', -1) + step(5, 'Tab', 'verdict', -1),
        [/^step 5 \(Tab\): the script leaves "Чисти" forwards/]],
    ['Shift+Tab back from the verdict box', good + step(4, 'Shift+Tab', 'verdict', -1) + step(5, 'Shift+Tab', 'reset', -1),
        [/^step 5 \(Shift\+Tab\): the script leaves the verdict box backwards/]],
];

for (const [name, web, said] of rows) {
    test(name, () => {
        // The other two traces follow the script too, where it goes on.
        const others = name.includes('Tab') ? web : good;
        const problems = compare({ qt: others, win32: others, web });
        assert.equal(problems.length, said.length, problems.join('\n'));
        said.forEach((pattern, at) => assert.match(problems[at], pattern));
    });
}

// From the command line: exit 0, 1 for a difference, and for a missing trace
// 77 (skipped) unless it is required.
test('the command line', () => {
    const folder = mkdtempSync(join(tmpdir(), 'differential-'));
    writeFileSync(join(folder, 'a'), good);
    writeFileSync(join(folder, 'b'), changed('names.top\t0', 'names.top\t1'));
    const { DRELVAN_DIFFERENTIAL_REQUIRE, ...environment } = process.env; // scripts/test sets it
    const run = (...args) => spawnSync(process.execPath, [new URL('./compare.mjs', import.meta.url).pathname, ...args],
                                       { encoding: 'utf8', env: environment });
    const a = `qt=${join(folder, 'a')}`, b = `web=${join(folder, 'b')}`, missing = `win32=${join(folder, 'none')}`;
    assert.equal(run(a, a.replace('qt', 'web')).status, 0);
    const parted = run(a, b);
    assert.equal(parted.status, 1);
    assert.match(parted.stdout, /step 0 \(start\), names\.top:\n {2}qt: 0\n {2}web: 1/);
    assert.equal(run(a, missing).status, 77);
    assert.equal(run('--require', a, missing).status, 1);
    assert.equal(spawnSync(process.execPath, [new URL('./compare.mjs', import.meta.url).pathname, a, missing],
                           { env: { ...environment, DRELVAN_DIFFERENTIAL_REQUIRE: '1' } }).status, 1);
});
