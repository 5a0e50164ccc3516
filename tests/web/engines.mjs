// One face for the browsers that play the page's cross-engine checks
// (engines.test.mjs): Debian's Firefox through puppeteer-core over WebDriver
// BiDi, headless, and WebKitGTK's MiniBrowser through WebKitWebDriver and
// selenium-webdriver, on an Xvfb of its own. Each engine answers the same
// calls: open a page and wait for the quiz, evaluate a function in it,
// click, tap, press a key, type letters, go offline, and the script errors
// seen since the page was opened.
import { spawn } from 'node:child_process';

// "Shift+Tab" -> ['Shift', 'Tab']: the modifiers held while the last key is
// pressed. Keys go by their DOM names, Space by its name.
const chord = (keys) => keys.split('+');

async function firefox() {
    const { default: puppeteer } = await import('puppeteer-core');
    const browser = await puppeteer.launch({
        browser: 'firefox', executablePath: '/usr/bin/firefox-esr', protocol: 'webDriverBiDi', headless: true,
    });
    const page = await browser.newPage();
    // A first load on a busy machine has taken Firefox 40 s.
    page.setDefaultTimeout(120000);
    let errors = [];
    page.on('pageerror', (error) => errors.push(error.message));
    page.on('console', (message) => message.type() === 'error' && errors.push(message.text()));
    // The quiz reports a failure with alert(): an error too, and dismissed
    // so that the check goes on to say what it saw.
    page.on('dialog', (dialog) => { errors.push(`alert: ${dialog.message()}`); dialog.dismiss(); });
    const centre = (selector) => page.$eval(selector, (element) => {
        element.scrollIntoView({ block: 'nearest' });
        const box = element.getBoundingClientRect();
        return [box.left + box.width / 2, box.top + box.height / 2];
    });
    return {
        name: `Firefox ${await browser.version()}`,
        async open(url) {
            errors = [];
            await page.goto(url);
            await page.waitForFunction(() => self.drelvan && drelvan.ready);
        },
        evaluate: (fn, arg) => page.evaluate(fn, arg),
        click: async (selector) => page.mouse.click(...await centre(selector)),
        tap: async (selector) => page.touchscreen.tap(...await centre(selector)),
        async press(keys) {
            const [key, ...held] = chord(keys).reverse();
            for (const modifier of held)
                await page.keyboard.down(modifier);
            await page.keyboard.press(key === 'Space' ? ' ' : key);
            for (const modifier of held)
                await page.keyboard.up(modifier);
        },
        type: (letters) => page.keyboard.type(letters),
        offline: (on) => page.setOfflineMode(on),
        errors: () => errors,
        close: () => browser.close(),
    };
}

// An X server on a display it picks itself (-displayfd). It ends with the
// last client, and with these tests in any case.
async function xvfb() {
    const server = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp', '-terminate'],
                         { stdio: ['ignore', 'ignore', 'inherit', 'pipe'] });
    const end = () => server.kill();
    process.on('exit', end);
    for (const signal of ['SIGINT', 'SIGTERM'])
        process.on(signal, () => { end(); process.exit(128 + 15); });
    const display = await new Promise((done, fail) => {
        let answer = '';
        server.stdio[3].on('data', (data) => {
            answer += data;
            if (answer.includes('\n'))
                done(`:${answer.trim()}`);
        });
        server.on('exit', (code) => fail(new Error(`Xvfb ended with ${code} before it named its display`)));
    });
    return { display, end };
}

async function webkit() {
    const { Builder, By, Key } = await import('selenium-webdriver');
    const { default: remote } = await import('selenium-webdriver/remote/index.js');
    const { Pointer } = await import('selenium-webdriver/lib/input.js');
    const { findFreePort } = await import('selenium-webdriver/net/portprober.js');
    const x = await xvfb();
    const port = await findFreePort();
    const service = new remote.DriverService('/usr/bin/WebKitWebDriver', {
        port, args: [`--port=${port}`], loopback: true, env: { ...process.env, DISPLAY: x.display },
    });
    const driver = await new Builder().usingServer(await service.start()).withCapabilities({
        browserName: 'MiniBrowser',
        'webkitgtk:browserOptions': { binary: process.env.DRELVAN_MINIBROWSER, args: ['--automation'] },
    }).build();
    const keys = { Tab: Key.TAB, Shift: Key.SHIFT, Control: Key.CONTROL, Alt: Key.ALT, Enter: Key.ENTER, Space: Key.SPACE,
                   ArrowUp: Key.ARROW_UP, ArrowDown: Key.ARROW_DOWN, ArrowLeft: Key.ARROW_LEFT, ArrowRight: Key.ARROW_RIGHT,
                   Home: Key.HOME, End: Key.END, PageUp: Key.PAGE_UP, PageDown: Key.PAGE_DOWN };
    const evaluate = (fn, arg) => driver.executeScript(`return (${fn})(arguments[0])`, arg);
    return {
        name: `WebKitGTK ${(await driver.getCapabilities()).get('browserVersion')}`,
        async open(url) {
            await driver.get(url);
            await driver.wait(() => evaluate(() => self.drelvan && drelvan.ready), 120000, 'the quiz did not start');
            // WebKitWebDriver has no log to read: the page keeps what goes
            // wrong from here on, where the next call asks for it.
            await evaluate(() => {
                self.scriptErrors = [];
                addEventListener('error', (event) => scriptErrors.push(event.message));
                addEventListener('unhandledrejection', (event) => scriptErrors.push(String(event.reason)));
                const error = console.error;
                console.error = (...what) => { scriptErrors.push(what.join(' ')); error(...what); };
            });
        },
        evaluate,
        click: async (selector) => (await driver.findElement(By.css(selector))).click(),
        async tap(selector) {
            const finger = new Pointer('finger', Pointer.Type.TOUCH);
            await driver.actions({ devices: [finger] }).move({ origin: await driver.findElement(By.css(selector)) })
                .press().release().perform();
        },
        async press(keystrokes) {
            const [key, ...held] = chord(keystrokes).reverse().map((name) => keys[name]);
            let actions = driver.actions();
            for (const modifier of held)
                actions = actions.keyDown(modifier);
            actions = actions.keyDown(key).keyUp(key);
            for (const modifier of held)
                actions = actions.keyUp(modifier);
            await actions.perform();
        },
        type: (letters) => driver.actions().sendKeys(letters).perform(),
        offline: null,
        errors: () => evaluate(() => self.scriptErrors || ['the page was left']),
        async close() {
            await driver.quit();
            await service.kill();
            x.end();
        },
    };
}

export const engines = { firefox, webkit };
