// frames_web_test.js - the page's frames are zorvane-render's, pixel for
// pixel: frame 1 and frame 5 (after a clear tick), painting over (blank 0)
// and spinning (blank 1), at two sizes, each page stopped by ?frames=K and
// its window's screenshot compared with ImageMagick.
//
//   node frames_web_test.js build/web/zorvane.html build/native/zorvane-render OUT_DIR
'use strict';

const { execFileSync, spawnSync } = require('child_process');
const fs = require('fs');
const path = require('path');
const { launch } = require('./cdp.js');

const [html, render, outDir] = process.argv.slice(2);

// Pixels that differ between two PNG files of the same size.
function differingPixels(a, b) {
    const r = spawnSync('compare', ['-metric', 'AE', a, b, 'null:'], { encoding: 'utf8' });
    const count = Number(r.stderr.trim());
    if (r.status > 1 || Number.isNaN(count))
        throw new Error('compare ' + a + ' ' + b + ': ' + r.stderr);
    return count;
}

async function main() {
    fs.mkdirSync(outDir, { recursive: true });
    const browser = await launch();
    let failures = 0;
    try {
        for (const [width, height] of [[640, 480], [333, 251]]) {
            const page = await browser.newPage(width, height);
            for (const blank of [0, 1]) {
                for (const frames of [1, 5]) {
                    const seed = 1000 + width + 10 * blank + frames;
                    const options = ['seed', seed, 'clear-ms', 500, 'blank', blank, 'frames', frames, 'width', width, 'height', height];
                    const query = [];
                    for (let i = 0; i < options.length; i += 2)
                        query.push(options[i] + '=' + options[i + 1]);
                    const name = `${width}x${height}-blank${blank}-frame${frames}`;
                    await page.goto('file://' + path.resolve(html) + '?' + query.join('&'));
                    await page.waitFor(`Zorvane.frames >= ${frames}`, 15000);
                    // Two frame periods (200 ms), in which frame K + 1 would come.
                    await page.eval('new Promise((done) => setTimeout(done, 450))');
                    const shown = await page.eval('Zorvane.frames');
                    const shot = path.join(outDir, name + '-page.png');
                    const expected = path.join(outDir, name + '-render.png');
                    await page.screenshot(shot);
                    const args = [];
                    for (let i = 0; i < options.length; i += 2)
                        args.push('--' + options[i], String(options[i + 1]));
                    execFileSync(render, [...args, '--out', expected]);
                    const differ = differingPixels(shot, expected);
                    const ok = differ === 0 && shown === frames;
                    console.log(`${ok ? 'ok  ' : 'FAIL'} ${name}: ${differ} pixels differ, ${shown} frame ticks run`);
                    failures += ok ? 0 : 1;
                }
            }
        }
    } finally {
        await browser.close();
    }
    if (failures) {
        console.log(`${failures} frames differ; the pictures are in ${outDir}`);
        process.exit(1);
    }
}

main().catch((e) => {
    console.error(e);
    process.exit(1);
});
