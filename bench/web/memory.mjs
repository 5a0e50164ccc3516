// What a page costs in memory, read from /proc while Chromium shows it.
import { readFileSync, readdirSync } from 'node:fs';

const pause = (ms) => new Promise((done) => setTimeout(done, ms));

// The processes under `pid` (Chromium's browser, renderers, GPU and network
// processes), from one reading of /proc: the benchmark polls this while
// pages load, on the same two cores.
export function processes(pid) {
    const children = new Map();
    for (const entry of readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
        try {
            const parent = readFileSync(`/proc/${entry}/stat`, 'utf8').split(') ')[1].split(' ')[1];
            children.set(parent, [...(children.get(parent) || []), entry]);
        } catch { /* gone */ }
    }
    const found = [];
    for (let next = [String(pid)]; next.length;) {
        next = next.flatMap((parent) => children.get(parent) || []);
        found.push(...next.map(Number));
    }
    return found;
}

// The sum of `fields` of /proc/<pid>/smaps_rollup over `pids`, in bytes.
function rollup(pids, fields) {
    return pids.reduce((total, pid) => {
        try {
            const text = readFileSync(`/proc/${pid}/smaps_rollup`, 'utf8');
            return total + [...text.matchAll(new RegExp(`^(?:${fields}):\\s+(\\d+) kB`, 'gm'))]
                .reduce((sum, match) => sum + Number(match[1]) * 1024, 0);
        } catch { return total; }
    }, 0);
}

// The renderer started last under `pid`: the page's, in a browser that
// keeps no spare renderer.
function newestRenderer(pid) {
    let newest = null;
    for (const child of processes(pid)) {
        try {
            const id = readFileSync(`/proc/${child}/cmdline`, 'utf8').match(/--type=renderer.*--renderer-client-id=(\d+)/);
            if (id && (!newest || Number(id[1]) > newest.id))
                newest = { id: Number(id[1]), pid: child };
        } catch { /* gone */ }
    }
    return newest.pid;
}

// A browser that keeps no spare renderer, so that the page's renderer is the
// one started last. What a page adds is read from its renderer's private
// dirty memory (its heaps, the DOM, layout, compiled code and the
// WebAssembly's memory): the sum over all of Chromium's processes moved by
// tens of MiB from load to load, with pages of the executable and its data
// files counted as one process's until another touches them (see
// docs/performance.md).
// Its processes are those under the one the launch started here: this
// process may have other browsers.
const browserProcess = new WeakMap();
export async function launchForMemory(chromium) {
    const children = () => new Set(processes(process.pid));
    const before = children();
    const browser = await chromium.launch({ executablePath: '/usr/bin/chromium',
        args: ['--disable-features=SpareRendererForSitePerProcess'] });
    const parent = (pid) => readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ')[1];
    browserProcess.set(browser, [...children()].find((pid) => !before.has(pid) && parent(pid) === String(process.pid)));
    return browser;
}

// The page's WebAssembly memories, found as the page instantiates them.
const watchMemories = () => {
    const instantiate = WebAssembly.instantiate;
    self.drelvanMemories = [];
    WebAssembly.instantiate = function (...args) {
        return instantiate.apply(this, args).then((made) => {
            const instance = made.instance || made;
            self.drelvanMemories.push(...Object.values(instance.exports)
                .filter((value) => value instanceof WebAssembly.Memory));
            return made;
        });
    };
};

// about:blank, then `target` in the same tab, made ready by `ready`, and
// half a second to settle: the renderer's private dirty memory, the sum over
// all processes over about:blank's, and the page's JS heaps and WebAssembly
// memory, in bytes. `browser` is one that launchForMemory started.
export async function measureMemory(browser, target, ready = async () => {}) {
    const root = browserProcess.get(browser);
    const context = await browser.newContext();
    const page = await context.newPage();
    await page.addInitScript(watchMemories);
    await page.goto('about:blank');
    await pause(500);
    const blank = rollup([root, ...processes(root)], 'Private_Clean|Private_Dirty');
    await page.goto(target);
    await ready(page);
    await pause(500);
    const client = await context.newCDPSession(page);
    const heap = await client.send('Runtime.getHeapUsage');
    const wasm = await page.evaluate(() => (self.drelvanMemories || [])
        .reduce((sum, memory) => sum + memory.buffer.byteLength, 0));
    const figure = {
        renderer: rollup([newestRenderer(root)], 'Private_Dirty'),
        overBlank: rollup([root, ...processes(root)], 'Private_Clean|Private_Dirty') - blank,
        heaps: heap.usedSize + heap.embedderHeapUsedSize + (heap.backingStorageSize || 0) + wasm,
    };
    await context.close();
    await pause(500);
    return figure;
}

