// page_web_test.js - the web page as its user meets it, in headless
// Chromium with real input: a bad setting in the address shows its
// one-line message; saver mode (full screen) survives a pointer move of 3
// pixels and ends at 4, at a key and at a button; a hidden page runs no
// timer and resumes when shown; a page whose ticks outlast their period
// still answers; the panel's zorvane-render command writes
// the frame shown. Also takes the page's screenshot.
//
//   node page_web_test.js build/web/zorvane.html build/native/zorvane-render OUT_DIR
'use strict';

const { execFileSync, spawnSync } = require('child_process');
const fs = require('fs');
const path = require('path');
const { launch } = require('./cdp.js');

const [html, render, outDir] = process.argv.slice(2);
const address = (query) => 'file://' + path.resolve(html) + '?' + query;

let failures = 0;
function check(ok, what) {
    console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
    failures += ok ? 0 : 1;
}

async function badSettings(page) {
    const cases = [
        ['points=x', "--points: expected a whole number from 0 to 4294967295, got 'x'"],
        ['seed=1&blank=2', "--blank: expected 0 or 1, got '2'"],
        ['zoom=17', "--zoom: expected a whole number from 0 to 16, got '17'"],
        ['colour=red', '--colour: unknown option'],
    ];
    for (const [query, message] of cases) {
        await page.goto(address(query));
        await page.waitFor('Zorvane.started', 10000);
        const shown = await page.eval('document.getElementById("message").hidden ? "" : ' +
            'document.getElementById("message").textContent');
        check(shown === message, `?${query} shows "${shown}"`);
    }
    // Positive control: good settings show no message, and frames come.
    await page.goto(address('seed=1&blank=1&frame-ms=20'));
    await page.waitFor('Zorvane.frames >= 3', 10000);
    check(await page.eval('document.getElementById("message").hidden'), 'good settings show no message and draw');
}

// Full screen and the saver mode begun (the page's fullscreenchange handler ran).
// Whether expression comes true within ms; a check's answer, not an error.
const within = (page, expression, ms) => page.waitFor(expression, ms).catch(() => false);

const fullscreen = 'document.fullscreenElement !== null && document.body.classList.contains("saver")';

async function mouse(page, type, x, y, extra) {
    await page.send('Input.dispatchMouseEvent', Object.assign({ type, x, y }, extra || {}));
}

async function click(page, x, y) {
    const button = { button: 'left', clickCount: 1 };
    await mouse(page, 'mousePressed', x, y, button);
    await mouse(page, 'mouseReleased', x, y, button);
}

async function key(page, text, code) {
    await page.send('Input.dispatchKeyEvent', { type: 'keyDown', key: text, code, text });
    await page.send('Input.dispatchKeyEvent', { type: 'keyUp', key: text, code });
}

// Waits for n more frames, still in full screen all along.
async function drawsInFullscreen(page, n) {
    const from = await page.eval('Zorvane.frames');
    await within(page, `!(${fullscreen}) || Zorvane.frames >= ${from + n}`, 10000);
    return page.eval(fullscreen);
}

async function saverMode(page) {
    await page.goto(address('seed=2&blank=1&frame-ms=20'));
    await page.waitFor('Zorvane.frames >= 1', 10000);

    await click(page, 100, 100);
    check(await within(page, fullscreen, 5000), 'a click goes full screen');
    check(await page.eval('getComputedStyle(document.getElementById("panel")).display === "none"'),
        'the panel is hidden in full screen');
    await mouse(page, 'mouseMoved', 100, 100);
    await mouse(page, 'mouseMoved', 102, 101);
    check(await drawsInFullscreen(page, 3), 'a move of 3 pixels keeps full screen, and frames go on');
    await mouse(page, 'mouseMoved', 102, 102);
    check(await within(page, `!(${fullscreen})`, 5000), 'a move of 4 pixels leaves full screen');

    await key(page, 'f', 'KeyF');
    check(await within(page, fullscreen, 5000), 'the F key goes full screen');
    check(await drawsInFullscreen(page, 2), 'the F key itself does not leave it');
    await key(page, 'a', 'KeyA');
    check(await within(page, `!(${fullscreen})`, 5000), 'a key leaves full screen');

    await click(page, 300, 200);
    await page.waitFor(fullscreen, 5000);
    check(await drawsInFullscreen(page, 2), 'full screen again');
    await mouse(page, 'mousePressed', 300, 200, { button: 'right', clickCount: 1 });
    check(await within(page, `!(${fullscreen})`, 5000), 'a button leaves full screen');
}

// Frame ticks that outlast their period (a million points every 10 ms)
// leave the page its turn between them: it answers and handles input.
async function overload(page) {
    await page.goto(address('seed=5&blank=1&points=1000000&frame-ms=10'));
    check(await within(page, 'Zorvane.frames >= 10', 30000), 'ticks longer than their period: the page still answers');
    await click(page, 100, 100);
    check(await within(page, fullscreen, 5000), '... and goes full screen on a click');
    await key(page, 'a', 'KeyA');
    check(await within(page, `!(${fullscreen})`, 5000), '... and leaves it on a key');
}

// Timer callbacks while the page is hidden: none, over a time in which a
// timer of the page's own (a 50 ms timeout chain) ran at least twice.
async function hiddenPage(browser, page) {
    await page.goto(address('seed=3&blank=1&frame-ms=20&clear-ms=100'));
    await page.waitFor('Zorvane.frames >= 3', 10000);
    const { windowId } = await browser.send('Browser.getWindowForTarget', { targetId: page.targetId });
    await browser.send('Browser.setWindowBounds', { windowId, bounds: { windowState: 'minimized' } });
    await page.waitFor('document.visibilityState === "hidden"', 5000);
    const before = await page.eval('[Zorvane.wakes, Zorvane.frames]');
    await page.eval('window.controlTicks = 0; (function tick() { controlTicks++; setTimeout(tick, 50); })(); 0');
    await page.waitFor('controlTicks >= 3', 15000);
    const after = await page.eval('[Zorvane.wakes, Zorvane.frames]');
    check(after[0] === before[0] && after[1] === before[1],
        `hidden: timer callbacks ${before[0]} -> ${after[0]}, frames ${before[1]} -> ${after[1]}, ` +
        `while a page timer ran ${await page.eval('controlTicks')} times`);
    await browser.send('Browser.setWindowBounds', { windowId, bounds: { windowState: 'normal' } });
    await page.waitFor('document.visibilityState === "visible"', 5000);
    check(await within(page, `Zorvane.frames >= ${after[1] + 3}`, 10000), 'shown again: frames resume');
}

// The panel's zorvane-render command writes the frame the canvas shows,
// magnified as the page shows it when the picture is zoomed.
async function panelCommand(page, render) {
    for (const zoom of [1, 2]) {
        await page.goto(address(`seed=1766&points=60000&frame-ms=200&clear-ms=1100&zoom=${zoom}`));
        await page.waitFor('Zorvane.frames >= 6', 15000);
        if (zoom === 1)
            await page.screenshot(path.join(outDir, 'zorvane-web.png'));
        const [command, picture] = await page.eval('[document.getElementById("command").textContent, ' +
            'document.getElementById("picture").toDataURL("image/png")]');
        const shown = path.join(outDir, 'panel-shown.png'), written = path.join(outDir, 'panel-render.png');
        fs.writeFileSync(shown, Buffer.from(picture.replace(/^data:image\/png;base64,/, ''), 'base64'));
        execFileSync('convert', [shown, '-scale', `${zoom * 100}%`, shown]);
        const args = command.split(' ').slice(1);
        args[args.length - 1] = written;
        execFileSync(render, args);
        const r = spawnSync('compare', ['-metric', 'AE', shown, written, 'null:'], { encoding: 'utf8' });
        check(r.stderr.trim() === '0', `the panel's command (${command}) writes the frame shown: ` +
            `${r.stderr.trim()} pixels differ`);
    }
}

async function main() {
    fs.mkdirSync(outDir, { recursive: true });
    const browser = await launch();
    try {
        const page = await browser.newPage(800, 600);
        await badSettings(page);
        await saverMode(page);
        await hiddenPage(browser, page);
        await overload(page);
        const wide = await browser.newPage(1100, 620);
        await panelCommand(wide, render);
    } finally {
        await browser.close();
    }
    if (failures) {
        console.log(`${failures} checks failed`);
        process.exit(1);
    }
}

main().catch((e) => {
    console.error(e);
    process.exit(1);
});
