// frame_time_web.js - the page's mean frame tick in headless Chromium
// (performance.now around FrameTick, present included), at 1024 x 768,
// blank and spinning, for 10 000 and 1 000 000 points: the same work as
// zorvane-bench's frame-tick case. Prints the figures; asserts nothing.
//
//   node frame_time_web.js build/web/zorvane.html
'use strict';

const path = require('path');
const { launch } = require('./cdp.js');

async function main() {
    const browser = await launch();
    try {
        const page = await browser.newPage(1024, 768);
        for (const [points, frames] of [[10000, 200], [1000000, 40]]) {
            await page.goto('file://' + path.resolve(process.argv[2]) +
                `?seed=1&blank=1&points=${points}&frame-ms=10&clear-ms=60000`);
            await page.waitFor(`Zorvane.frames >= ${frames}`, 120000);
            const [n, ms] = await page.eval('[Zorvane.frames, Zorvane.meanFrameTickMs]');
            console.log(`${points} points: ${ms.toFixed(3)} ms per frame tick, mean of ${n}`);
        }
    } finally {
        await browser.close();
    }
}

main().catch((e) => {
    console.error(e);
    process.exit(1);
});
