#!/usr/bin/env node
// Holds the traces of the differential script against each other and fails
// at the first step where two front-ends part, naming the step, its key, the
// field and each front-end's value:
//
//   compare.mjs [--require] qt=build-tests/differential/qt.trace \
//       win32=build-windows/differential/win32.trace web=build-web/differential/web.trace
//
// A trace that is missing skips the comparison (exit 77), or fails it with
// --require or DRELVAN_DIFFERENTIAL_REQUIRE=1 (scripts/test, which has just
// written them all). A script that Tabs forward from "Чисти", or back from
// the verdict box, fails too: there the page gives the keyboard back to the
// browser, as a page must, and the windows go round.
import { existsSync, readFileSync } from 'node:fs';
import { pathToFileURL } from 'node:url';

// The keys that take the focus out of the page, from the control that has it.
const leaving = { reset: { key: 'Tab', from: '"Чисти" forwards' }, verdict: { key: 'Shift+Tab', from: 'the verdict box backwards' } };

// Each trace's lines, [step, key, field, value].
const linesOf = (text) => text.split('\n').filter((line) => line).map((line) => {
    const [step, key, field, ...value] = line.split('\t');
    return { step, key, field, value: value.join('\t') };
});

// What is wrong, as a list of messages (none: the traces agree).
export function compare(traces) {
    const names = Object.keys(traces);
    const read = Object.fromEntries(names.map((name) => [name, linesOf(traces[name])]));
    const problems = [];
    for (const name of names) {
        if (!read[name].length)
            problems.push(`the ${name} trace is empty`);
    }
    if (problems.length)
        return problems;
    const longest = Math.max(...names.map((name) => read[name].length));
    for (let at = 0; at < longest; ++at) {
        const here = names.map((name) => read[name][at]);
        const ended = names.filter((name, n) => !here[n]);
        if (ended.length) {
            const going = here.find((line) => line);
            return [`step ${going.step} (${going.key}): the ${ended.join(' and ')} trace ends before it`
                    + ` (the last step ${ended.map((name) => `${name} played is ${read[name].at(-1).step}`).join(', ')})`];
        }
        const [first] = here;
        if (here.some((line) => line.step !== first.step || line.key !== first.key || line.field !== first.field))
            return [`line ${at + 1}: the traces are out of step: `
                    + names.map((name, n) => `${name} ${here[n].step} ${here[n].key} ${here[n].field}`).join('; ')];
        if (here.some((line) => line.value !== first.value))
            return [`step ${first.step} (${first.key}), ${first.field}:\n`
                    + names.map((name, n) => `  ${name}: ${here[n].value}`).join('\n')];
        const out = first.field === 'focus' && leaving[first.value];
        if (out) {
            const next = read[names[0]].find((line) => Number(line.step) === Number(first.step) + 1);
            if (next && next.key === out.key)
                return [`step ${next.step} (${next.key}): the script leaves ${out.from}, where the page gives the keyboard back to the browser`];
        }
    }
    return [];
}

function main(args) {
    const require = args[0] === '--require' || process.env.DRELVAN_DIFFERENTIAL_REQUIRE === '1';
    const traces = {};
    for (const arg of args.filter((a) => a !== '--require')) {
        const [name, path] = arg.split(/=(.*)/s);
        if (!existsSync(path)) {
            console.log(`${require ? 'failed' : 'skipped'}: no ${name} trace at ${path}`);
            return require ? 1 : 77;
        }
        traces[name] = readFileSync(path, 'utf8');
    }
    if (Object.keys(traces).length < 2) {
        console.log('usage: compare.mjs [--require] name=trace name=trace...');
        return 2;
    }
    const problems = compare(traces);
    if (problems.length) {
        console.log(`the front-ends part:\n${problems.join('\n')}`);
        return 1;
    }
    const steps = linesOf(Object.values(traces)[0]).at(-1).step;
    console.log(`${Object.keys(traces).join(', ')}: the same after each of ${steps} steps`);
    return 0;
}

if (import.meta.url === pathToFileURL(process.argv[1]).href)
    process.exitCode = main(process.argv.slice(2));
