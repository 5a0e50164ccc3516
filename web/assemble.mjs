// Puts the page together: the markup from pagegen, then one script: the
// WebAssembly (drelvanWasm, a byte a character), Emscripten's glue, and the
// page's own (web/page.js), which compiles the WebAssembly and starts the
// quiz. A module script, so that the parser does not wait for it: the window
// is drawn first. The Content-Security-Policy lets the page run that script
// and that style, by their hashes, and WebAssembly, and fetch only its own
// folder.
//
//     NODE_PATH=/usr/share/nodejs node assemble.mjs <markup> <page.js> <quiz.js> <reader.wasm> <sw.js> <version> <folder>
//
// <folder> holds the manifest and the icons already; index.html and sw.js
// are written there.
import { createHash } from 'node:crypto';
import { readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';

// Debian's terser (package terser), run with NODE_PATH=/usr/share/nodejs,
// where Debian keeps Node's modules.
const { minify } = createRequire(import.meta.url)('terser');

const [markup, pageScript, quizScript, readerWasm, worker, version, folder] = process.argv.slice(2);
const read = (path) => readFileSync(path, 'utf8');
const hash = (text) => `'sha256-${createHash('sha256').update(text, 'utf8').digest('base64')}'`;

let html = read(markup);
// The WebAssembly as a string of one character a byte: gzip packs it a fifth
// smaller than in base64, and it is smaller raw too. Each byte is stored
// turned by the same amount (its `shift`, mod 256), the one that leaves the
// fewest characters that take two bytes in the page: escaped, or over 127,
// which UTF-8 writes in two. WebAssembly is mostly zeros and small numbers,
// and turned well it is a fifth smaller raw. Escaped: what a string cannot
// hold (the line breaks, the quote, the backslash), what the HTML parser
// would change (NUL, CR) and '<', so that no tag can begin.
const escapes = { 0: '\\0', 10: '\\n', 13: '\\r', 39: "\\'", 60: '\\x3c', 92: '\\\\' };
const cost = (code) => (escapes[code] ? escapes[code].length : code > 127 ? 2 : 1);
function characters(path) {
    const bytes = readFileSync(path);
    const counts = new Array(256).fill(0);
    for (const byte of bytes)
        ++counts[byte];
    const weight = (shift) => counts.reduce((sum, count, byte) => sum + count * cost((byte + shift) & 255), 0);
    let shift = 0;
    for (let tried = 1; tried < 256; ++tried)
        if (weight(tried) < weight(shift))
            shift = tried;
    const turned = bytes.map((byte) => (byte + shift) & 255);
    // NUL before a digit would read as an octal escape, which a module forbids.
    const text = Array.from(turned, (code, at) => (code === 0 && turned[at + 1] >= 0x30 && turned[at + 1] <= 0x39
        ? '\\x00' : escapes[code] || String.fromCharCode(code))).join('');
    return `{text:'${text}',shift:${shift}}`;
}
// The reader of teachers' files, which the page compiles only when one is
// opened (web/reader.cpp).
// Emscripten's glue and the page's own script, minified as one module (their
// share of the page's size halves); the WebAssembly's strings stay as made.
const code = (await minify(`${read(quizScript)}\n${read(pageScript)}`, { module: true, compress: true, mangle: true }))
    .code;
const script = `var drelvanWasm=${characters(quizScript.replace(/\.js$/, '.wasm'))},`
    + `drelvanReaderWasm=${characters(readerWasm)};\n${code}\n`;
if (script.includes('</script'))
    throw new Error('the script would end its element early');
const style = html.match(/<style>([^]*?)<\/style>/)[1];
const policy = [
    "default-src 'self'",
    `script-src ${hash(script)} 'wasm-unsafe-eval'`,
    `style-src ${hash(style)}`,
    "img-src 'self'",
    // A teacher's file named by index.html?pairs= comes from the page's own
    // server, never another's.
    "connect-src 'self'",
    // The service worker, which would otherwise fall under script-src.
    "worker-src 'self'",
    "object-src 'none'",
    "base-uri 'none'",
    "form-action 'none'",
].join('; ');
html = html.replace('<!--CSP-->', `<meta http-equiv="Content-Security-Policy" content="${policy}">`)
    .replace('<!--SCRIPT-->', () => `<script type="module">${script}</script>`);
writeFileSync(`${folder}/index.html`, html);

const release = `${version}-${createHash('sha256').update(html).digest('hex').slice(0, 12)}`;
// The worker keeps each file of the release with its hash, as Subresource
// Integrity has it, and keeps none that does not match.
const integrity = (bytes) => `sha256-${createHash('sha256').update(bytes).digest('base64')}`;
const files = { './': integrity(html) };
for (const name of ['index.html', 'manifest.webmanifest', 'icon-192.png', 'icon-512.png'])
    files[name] = integrity(readFileSync(`${folder}/${name}`));
const workerCode = read(worker).replaceAll('@VERSION@', release).replace('@FILES@', () => JSON.stringify(files));
writeFileSync(`${folder}/sw.js`, `${(await minify(workerCode, { compress: true, mangle: true })).code}\n`);
