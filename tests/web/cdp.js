// cdp.js - a headless Chromium driven over the DevTools protocol on a pipe
// (--remote-debugging-pipe: commands go to its fd 3, replies come on fd 4,
// each message JSON ended by a NUL byte). No modules beyond node's own.
//
// Usage:
//   const { launch } = require('./cdp.js');
//   const browser = await launch();                 // a fresh profile in a temporary folder
//   const page = await browser.newPage(640, 480);   // viewport in CSS pixels, scale 1
//   await page.goto('file:///.../zorvane.html?seed=1');
//   await page.waitFor('Zorvane.frames >= 3', 10000);  // polls an expression until true
//   const v = await page.eval('Zorvane.frames');
//   await page.send('Input.dispatchKeyEvent', {...});
//   await browser.close();
'use strict';

const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';

function launch() {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zorvane-chromium-'));
    const args = ['--headless', '--disable-gpu', '--no-first-run', '--disable-background-networking',
        '--disable-component-update', '--disable-sync', '--remote-debugging-pipe',
        '--user-data-dir=' + profile, 'about:blank'];
    if (process.getuid && process.getuid() === 0)
        args.unshift('--no-sandbox');
    const child = spawn(CHROMIUM, args, { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
    let stderr = '';
    child.stderr.on('data', (d) => { stderr += d; });
    const out = child.stdio[3], input = child.stdio[4];
    let nextId = 1, buffered = '';
    const waiting = new Map();
    const listeners = [];
    input.on('data', (chunk) => {
        buffered += chunk.toString('utf8');
        let end;
        while ((end = buffered.indexOf('\0')) >= 0) {
            const message = JSON.parse(buffered.slice(0, end));
            buffered = buffered.slice(end + 1);
            if (message.id && waiting.has(message.id)) {
                const { resolve, reject, method } = waiting.get(message.id);
                waiting.delete(message.id);
                if (message.error)
                    reject(new Error(method + ': ' + message.error.message));
                else
                    resolve(message.result);
            } else if (message.method) {
                for (const l of listeners)
                    l(message);
            }
        }
    });
    const exited = new Promise((resolve) => child.on('exit', resolve));
    child.on('exit', () => {
        for (const { reject, method } of waiting.values())
            reject(new Error(method + ': the browser exited\n' + stderr));
        waiting.clear();
    });

    function send(method, params, sessionId) {
        const id = nextId++;
        const message = { id, method, params: params || {} };
        if (sessionId)
            message.sessionId = sessionId;
        out.write(JSON.stringify(message) + '\0');
        return new Promise((resolve, reject) => waiting.set(id, { resolve, reject, method }));
    }

    async function newPage(width, height) {
        const { targetId } = await send('Target.createTarget', { url: 'about:blank' });
        const { sessionId } = await send('Target.attachToTarget', { targetId, flatten: true });
        const page = {
            targetId,
            sessionId,
            send: (method, params) => send(method, params, sessionId),
            // Throws when the page does not answer within 10 s (its thread is stuck).
            async eval(expression) {
                let timer;
                const stuck = new Promise((resolve, reject) => {
                    timer = setTimeout(() => reject(new Error(expression + ': the page did not answer in 10 s')), 10000);
                });
                const r = await Promise.race([
                    page.send('Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true }), stuck,
                ]).finally(() => clearTimeout(timer));
                if (r.exceptionDetails)
                    throw new Error(expression + ': ' + JSON.stringify(r.exceptionDetails.exception || r.exceptionDetails));
                return r.result.value;
            },
            // Polls expression every 20 ms until it is truthy; throws after timeoutMs.
            async waitFor(expression, timeoutMs) {
                const until = Date.now() + timeoutMs;
                for (;;) {
                    let value;
                    try {
                        value = await page.eval(expression);
                    } catch (e) {
                        value = undefined;  // the page is still loading
                    }
                    if (value)
                        return value;
                    if (Date.now() > until)
                        throw new Error('timed out after ' + timeoutMs + ' ms waiting for: ' + expression);
                    await new Promise((r) => setTimeout(r, 20));
                }
            },
            async goto(url) {
                await page.send('Page.navigate', { url });
                await page.waitFor('document.readyState === "complete"', 10000);
            },
            async screenshot(file) {
                const { data } = await page.send('Page.captureScreenshot', { format: 'png' });
                fs.writeFileSync(file, Buffer.from(data, 'base64'));
            },
        };
        await page.send('Page.enable');
        await page.send('Runtime.enable');
        await page.send('Emulation.setDeviceMetricsOverride',
            { width, height, deviceScaleFactor: 1, mobile: false });
        return page;
    }

    async function close() {
        try {
            await Promise.race([send('Browser.close'), exited]);
        } catch (e) {
            // it may be gone already
        }
        await Promise.race([exited, new Promise((r) => setTimeout(r, 5000))]);
        if (child.exitCode === null)
            child.kill('SIGKILL');
        fs.rmSync(profile, { recursive: true, force: true });
    }

    return Promise.resolve({ send, newPage, close, onEvent: (f) => listeners.push(f) });
}

module.exports = { launch };
