// The page's figures in Debian's Chromium, headless: the gzip size of what it loads, the time
// from asking for the page to its first frame, presents a second during play, and the CPU the
// browser spends while the title screen stands. Usage: node web_bench.mjs PAGE_FOLDER
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';

import { launchBrowser, servePage, waitFor } from '../../tests/web/page_driver.mjs';

const folder = path.resolve(process.argv[2] || 'build/web');
const kRuns = 5;

// Every present of the game is one putImageData on the canvas: each is counted, the first
// one's time kept (milliseconds since the page was asked for).
function countPresents() {
  const put = CanvasRenderingContext2D.prototype.putImageData;
  window.presents = 0;
  window.firstPresent = null;
  CanvasRenderingContext2D.prototype.putImageData = function (...args) {
    if (window.firstPresent === null) window.firstPresent = performance.now();
    ++window.presents;
    return put.apply(this, args);
  };
}

// Processor time (s) of the browser's processes: every descendant of this one.
function browserSeconds() {
  const children = new Map();
  const times = new Map();
  for (const pid of fs.readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
    let stat;
    try {
      stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
    } catch {
      continue;
    }
    const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
    const parent = fields[1];
    if (!children.has(parent)) children.set(parent, []);
    children.get(parent).push(pid);
    times.set(pid, (Number(fields[11]) + Number(fields[12])) / 100);
  }
  let total = 0;
  const stack = [...(children.get(String(process.pid)) || [])];
  while (stack.length) {
    const pid = stack.pop();
    total += times.get(pid) || 0;
    stack.push(...(children.get(pid) || []));
  }
  return total;
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const files = ['index.html', 'krelmo99.js', 'krelmo99.wasm'];
let raw = 0;
let packed = 0;
for (const name of files) {
  const bytes = fs.readFileSync(path.join(folder, name));
  raw += bytes.length;
  packed += zlib.gzipSync(bytes, { level: 9 }).length;
}
console.log(`what the page loads: ${(raw / 1024).toFixed(0)} KiB, ${(packed / 1024).toFixed(0)} KiB gzipped (${files.join(', ')})`);

const server = await servePage(folder);
const firsts = [];
let titleCpu = null;
let playRate = null;
let playBusy = null;
let pacing = null;
for (let run = 0; run < kRuns; ++run) {
  const browser = await launchBrowser();
  await browser.context.addInitScript(countPresents);
  const page = await browser.context.newPage();
  page.on('console', (message) => {
    if (message.text().startsWith('krelmo99: ')) pacing = message.text();
  });
  await page.goto(server.url);
  firsts.push(await waitFor('the first frame', () => page.evaluate(() => window.firstPresent)));

  if (run === 0) {
    // The title screen standing, after the start-up chime's audio has closed (2 s idle).
    await page.waitForTimeout(4000);
    const cpuBefore = browserSeconds();
    const wallBefore = Date.now();
    await page.waitForTimeout(10000);
    titleCpu = (100 * (browserSeconds() - cpuBefore)) / ((Date.now() - wallBefore) / 1000);

    // Play: a match, the ball served again whenever it is out, the paddle swept to and fro.
    await page.keyboard.press('F2');
    await waitFor('the pointer locked for play', () =>
      page.evaluate(() => document.pointerLockElement !== null));
    await page.mouse.down();
    await page.mouse.up();
    // The page's main thread's busy time, which holds the game's loop and its unwinds.
    const cdp = await browser.context.newCDPSession(page);
    await cdp.send('Performance.enable');
    const busy = async () => (await cdp.send('Performance.getMetrics')).metrics
                                 .find((m) => m.name === 'TaskDuration').value;
    const busyBefore = await busy();
    const presentsBefore = await page.evaluate(() => window.presents);
    const began = Date.now();
    for (let i = 0; Date.now() - began < 5000; ++i) {
      await page.mouse.move(i % 2 ? 900 : 100, 400, { steps: 10 });
      await page.mouse.down();
      await page.mouse.up();
    }
    const presents = (await page.evaluate(() => window.presents)) - presentsBefore;
    playRate = presents / ((Date.now() - began) / 1000);
    playBusy = (100 * ((await busy()) - busyBefore)) / ((Date.now() - began) / 1000);
    pacing = null;
    await page.evaluate(() => Module._krelmo_print_stats());
    await waitFor('the page\'s figures of the match', () => pacing, 2000);
  }
  await browser.close();
}
await server.close();
console.log(`first frame after the page was asked for: ${median(firsts).toFixed(0)} ms (median of ${kRuns}; ${firsts.map((t) => t.toFixed(0)).join(', ')})`);
console.log(`presents during play: ${playRate.toFixed(1)} a second; the page's main thread busy ${playBusy.toFixed(0)} % of the time (the steps' waits are spun)`);
console.log(`the page's own count: ${pacing.slice('krelmo99: '.length)}`);
console.log(`the browser's CPU on the title screen: ${titleCpu.toFixed(1)} % of one core (every process, 10 s)`);
