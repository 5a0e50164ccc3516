// Puts the page together: the markup from pagegen with one small script
// (web/first.js) where it ends, and the two scripts beside the page:
//   quiz-<hash>.js    the quiz's WebAssembly as text (drelvanWasm), the module
//                     that turns such a text back into bytes (drelvanUnturn,
//                     web/unturn.wat) and the page's own script (web/page.js),
//                     which the first script loads;
//   reader-<hash>.js  the reader of teachers' files (drelvanReaderWasm), which
//                     the page loads only when a file is opened.
// Each is named after its contents, so that a page never runs another
// release's script: a browser's old copy, or a server half-way through an
// update, has it under another name or not at all. They are classic scripts,
// which a page from file:// may load beside it. The Content-Security-Policy
// lets the page run its first script, by its hash, and what that script
// loads ('strict-dynamic'), and WebAssembly, and fetch only its own folder.
//
//     NODE_PATH=/usr/share/nodejs node assemble.mjs <markup> <first.js> <page.js> <quiz.wasm> <reader.wasm> <unturn.wasm> <sw.js> <version> <folder>
//
// <folder> holds the manifest and the icons already; index.html, sw.js and
// the two scripts are written there, and the scripts of earlier builds taken
// out.
import { createHash } from 'node:crypto';
import { readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';

// Debian's terser (package terser), run with NODE_PATH=/usr/share/nodejs,
// where Debian keeps Node's modules.
const { minify } = createRequire(import.meta.url)('terser');

const [markup, firstScript, pageScript, quizWasm, readerWasm, unturnWasm, worker, version, folder] = process.argv.slice(2);
const read = (path) => readFileSync(path, 'utf8');
const hash = (text) => `'sha256-${createHash('sha256').update(text, 'utf8').digest('base64')}'`;

// A WebAssembly module as text, one character a byte: gzip packs it a fifth
// smaller than in base64, and it is smaller raw too. Each byte is stored
// turned by the same amount (its `shift`, mod 256), the one that leaves the
// fewest characters that take two bytes in the file: over 127, which UTF-8
// writes in two, or escaped. WebAssembly is mostly zeros and small numbers,
// and turned well it is a fifth smaller raw.
// `escapes` says how a byte that cannot stand for itself is written; the
// character U+0100 above it does, which web/unturn.wat turns back to the byte
// as it does every other character (it keeps the low eight bits).
function turnedText(bytes, escapes) {
    const cost = (code) => (escapes[code] ? Buffer.byteLength(escapes[code]) : code > 127 ? 2 : 1);
    const counts = new Array(256).fill(0);
    for (const byte of bytes)
        ++counts[byte];
    const weight = (shift) => counts.reduce((sum, count, byte) => sum + count * cost((byte + shift) & 255), 0);
    let shift = 0;
    for (let tried = 1; tried < 256; ++tried)
        if (weight(tried) < weight(shift))
            shift = tried;
    const turned = bytes.map((byte) => (byte + shift) & 255);
    return { text: Array.from(turned, (code) => escapes[code] || String.fromCharCode(code)).join(''), shift };
}
const above = (code) => String.fromCharCode(0x100 + code);
// In a string: what a string cannot hold (the line breaks, the quote, the
// backslash), and NUL, which some tools take for the end of a text.
const inString = { 0: above(0), 10: '\\n', 13: '\\r', 39: "\\'", 92: '\\\\' };
const wasmString = (path) => {
    const { text, shift } = turnedText(readFileSync(path), inString);
    return `{text:'${text}',shift:${shift}}`;
};

const minified = async (code) => (await minify(code, { compress: true, mangle: true })).code;
// Each script begins with a byte-order mark: the browser then reads it as
// UTF-8 whatever charset a school's server names for it.
const write = (prefix, text) => {
    const name = `${prefix}-${createHash('sha256').update(text, 'utf8').digest('hex').slice(0, 12)}.js`;
    writeFileSync(`${folder}/${name}`, `\uFEFF${text}`);
    return name;
};
for (const name of readdirSync(folder))
    if (/^(quiz|reader)-[0-9a-f]{12}\.js$/.test(name))
        rmSync(`${folder}/${name}`);

// The reader of teachers' files (web/reader.cpp).
const readerName = write('reader', `self.drelvanReaderWasm=${wasmString(readerWasm)};\n`);
// The page's own script, minified as a function of its own, so that its
// names stay its own; the WebAssembly's text stays as made.
const unturn = `new Uint8Array([${readFileSync(unturnWasm).join(',')}])`;
const quizName = write('quiz', `var drelvanWasm=${wasmString(quizWasm)},drelvanUnturn=${unturn};\n`
    + `${await minified(`(function(){${read(pageScript).replaceAll('@READER@', readerName)}})();`)}\n`);

const script = await minified(read(firstScript).replaceAll('@QUIZ@', quizName));
if (script.includes('</script'))
    throw new Error('the script would end its element early');

let html = read(markup);
const style = html.match(/<style>([^]*?)<\/style>/)[1];
const policy = [
    "default-src 'self'",
    `script-src ${hash(script)} 'strict-dynamic' 'wasm-unsafe-eval'`,
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
    .replace('<!--SCRIPT-->', () => `<script>${script}</script>`);
writeFileSync(`${folder}/index.html`, html);

const release = `${version}-${createHash('sha256').update(html).digest('hex').slice(0, 12)}`;
// The worker keeps each file of the release with its hash, as Subresource
// Integrity has it, and keeps none that does not match.
const integrity = (bytes) => `sha256-${createHash('sha256').update(bytes).digest('base64')}`;
const files = { './': integrity(html) };
for (const name of ['index.html', quizName, readerName, 'manifest.webmanifest', 'icon-192.png', 'icon-512.png'])
    files[name] = integrity(readFileSync(`${folder}/${name}`));
const workerCode = read(worker).replaceAll('@VERSION@', release).replace('@FILES@', () => JSON.stringify(files));
writeFileSync(`${folder}/sw.js`, `${await minified(workerCode)}\n`);
