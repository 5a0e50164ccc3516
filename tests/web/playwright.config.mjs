// Debian's Chromium, one page at a time (the machine is shared), scroll
// bars shown as a learner sees them.
import { defineConfig } from '@playwright/test';

export default defineConfig({
    testDir: '.',
    outputDir: process.env.DRELVAN_WEB_OUT || 'test-results',
    workers: 1,
    reporter: 'line',
    timeout: 60000,
    use: {
        launchOptions: { executablePath: '/usr/bin/chromium', ignoreDefaultArgs: ['--hide-scrollbars'] },
    },
});
