// The browser build in Debian's Chromium, headless, driven by playwright-core (run by
// tests/web/browser-test.sh, which builds the page and passes its folder):
//
//   WEB_DIR       the page (make web's build/web)
//   WEB_MODULES   node_modules holding playwright-core
//   REPLAY        the native quelvane-replay, whose captures the page's frames are held against
//   WORK          a scratch folder
//
// The page's scripted runs use the golden replay's seed, tick start and keys, so their frames are
// the native replay's. Lines starting "web measure:" are the figures the build is judged by.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { createRequire } from 'node:module';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const { chromium } = createRequire(path.join(process.env.WEB_MODULES, 'x'))('playwright-core');
const webDir = process.env.WEB_DIR;
const replay = process.env.REPLAY;
const work = process.env.WORK;

// A test that hangs fails after this long rather than holding up the whole run.
const SEED = 20261208;
const TICK_START = 4294960000;
const golden = fs.readFileSync(path.join(here, '../../loop/golden/keys.txt'), 'utf8')
  .split('\n').filter((line) => /^\d+ /.test(line));
// The golden game's keys before a frame, in the page's one-line form.
const keysBefore = (frame) => golden.filter((line) => parseInt(line, 10) < frame).join(';');

const types = {
  '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream', '.sf2': 'application/octet-stream',
};
let server;
let base;
let context;
let page;
const pageErrors = [];

before(async () => {
  server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(webDir, name === '/' ? 'index.html' : name);
    if (!file.startsWith(webDir) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream'});
    fs.createReadStream(file).pipe(response);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  base = `http://127.0.0.1:${server.address().port}/`;
  // A profile of its own: IndexedDB starts empty, and lives on over reloads.
  context = await chromium.launchPersistentContext(path.join(work, 'profile'), {
    executablePath: '/usr/bin/chromium', headless: true, // Sound only after a key or a click, as in a browser with its default settings.
    args: ['--no-sandbox', '--autoplay-policy=user-gesture-required'],
    viewport: {width: 1340, height: 1010},
  });
  page = context.pages()[0] || await context.newPage();
  page.on('pageerror', (error) => pageErrors.push(error.message));
  page.on('console', (message) => {
    // The browser's own 404 lines: no icon, and no world server (the page asks /health for one).
    if (message.type() === 'error' && !/favicon|\/health$/.test(message.location().url)) {
      pageErrors.push(message.text());
    }
  });
});

after(async () => {
  await context?.close();
  server?.close();
  assert.deepEqual(pageErrors, [], 'the page reported errors');
});

async function open(query = '') {
  await page.goto(base + (query ? '?' + query : ''));
  await page.waitForFunction(() => typeof Module !== 'undefined' && Module.calledRun &&
      Number(Module._quelvane_passes()) > 0, null, {timeout: 30000});
}

const state = () => page.evaluate(() => ({
  passes: Number(Module._quelvane_passes()),
  screen: Module.UTF8ToString(Module._quelvane_screen()),
  busy: Module._quelvane_busy_ms(),
  held: Module._quelvane_held() === 1,
  now: performance.now(),
}));

const untilScreen = (screen, timeout = 60000) => page.waitForFunction(
  (wanted) => Module.UTF8ToString(Module._quelvane_screen()) === wanted, screen, {timeout});

// A file of the player's folder as IndexedDB holds it (IDBFS's store), or null; waits until it
// holds the bytes wanted, if given.
async function storedFile(name, wanted, timeout = 10000) {
  const read = () => page.evaluate((key) => new Promise((resolve, reject) => {
    const opening = indexedDB.open('/data');
    opening.onerror = () => reject(opening.error);
    opening.onsuccess = () => {
      const db = opening.result;
      const get = db.transaction(['FILE_DATA'], 'readonly').objectStore('FILE_DATA').get(key);
      get.onerror = () => reject(get.error);
      get.onsuccess = () => {
        db.close();
        resolve(get.result && get.result.contents ? Array.from(get.result.contents) : null);
      };
    };
  }), '/data/' + name);
  const end = Date.now() + timeout;
  for (;;) {
    const bytes = await read();
    const text = bytes === null ? null : Buffer.from(bytes).toString('latin1');
    if (wanted === undefined || (text !== null && wanted.test(text)) || Date.now() > end) return text;
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
}

// The canvas's own pixels, R G B A, top row first.
async function canvasPixels() {
  const base64 = await page.evaluate(() => {
    const canvas = document.getElementById('canvas');
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let text = '';
    for (let i = 0; i < data.length; i += 0x8000) {
      text += String.fromCharCode.apply(null, data.subarray(i, i + 0x8000));
    }
    return btoa(text);
  });
  return Buffer.from(base64, 'base64');
}

// A 24-bit bottom-up BMP, as the replay writes it, as R G B A top row first.
function readBmp(file) {
  const bmp = fs.readFileSync(file);
  const width = bmp.readInt32LE(18);
  const height = bmp.readInt32LE(22);
  const offset = bmp.readUInt32LE(10);
  assert.equal(bmp.readUInt16LE(28), 24);
  const rowBytes = (width * 3 + 3) & ~3;
  const rgba = Buffer.alloc(width * height * 4);
  for (let y = 0; y < height; ++y) {
    const row = offset + (height - 1 - y) * rowBytes;
    for (let x = 0; x < width; ++x) {
      const at = (y * width + x) * 4;
      rgba[at] = bmp[row + x * 3 + 2];
      rgba[at + 1] = bmp[row + x * 3 + 1];
      rgba[at + 2] = bmp[row + x * 3];
      rgba[at + 3] = 255;
    }
  }
  return {width, height, rgba};
}

// The CPU time, in seconds, of the main threads of the browser's renderer processes for this
// test's profile: the page's scripts, its WebAssembly and its canvas, where a pass runs; not the
// audio threads, whose work goes by the second, not by the pass.
function rendererCpu() {
  let ticks = 0;
  for (const pid of fs.readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
    try {
      const command = fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8');
      if (!command.includes('--type=renderer') || !command.includes(work)) continue;
      const fields = fs.readFileSync(`/proc/${pid}/task/${pid}/stat`, 'utf8').split(') ')[1].split(' ');
      ticks += Number(fields[11]) + Number(fields[12]);  // utime and stime
    } catch {
      // gone meanwhile
    }
  }
  return ticks / 100;
}

function differingPixels(a, b) {
  let count = 0;
  for (let i = 0; i < a.length; i += 4) {
    if (a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2] || a[i + 3] !== b[i + 3]) ++count;
  }
  return count;
}

// The native replay in a folder of its own, with the game's files and further arguments given; its
// CPU time in seconds.
function runReplay(name, frames, keys, captures, files = {}, extra = []) {
  const dir = path.join(work, name);
  fs.mkdirSync(dir, {recursive: true});
  fs.writeFileSync(path.join(dir, 'MidiDevice.ini'), 'Software Synthesizer');
  for (const [file, bytes] of Object.entries(files)) fs.writeFileSync(path.join(dir, file), bytes);
  fs.writeFileSync(path.join(dir, 'keys.txt'), keys.split(';').join('\n') + '\n');
  const args = ['--frames', String(frames), '--seed', String(SEED), '--tick-start', String(TICK_START),
    '--keys', 'keys.txt'];
  for (const frame of captures) args.push('--capture', `${frame}:frame-${frame}.bmp`);
  args.push(...extra);
  // bash's times: the children's user and system time.
  const times = execFileSync('bash', ['-c', '"$@" >/dev/null; times', 'replay', replay, ...args],
    {cwd: dir, encoding: 'utf8'}).trim().split('\n').pop();
  const seconds = times.split(' ').map((t) => {
    const [, m, s] = /(\d+)m([\d.]+)s/.exec(t);
    return Number(m) * 60 + Number(s);
  });
  return {dir, cpu: seconds[0] + seconds[1]};
}

// The page run by script up to a frame and held there; the held picture against the replay's.
async function heldFrameMatchesReplay(name, frame, keys, files = {}) {
  await open(`seed=${SEED}&tickstart=${TICK_START}&fast=1&hold=${frame}&keys=${encodeURIComponent(keys)}`);
  const cpu0 = rendererCpu();
  const start = await state();
  await page.waitForFunction(() => Module._quelvane_held() === 1, null, {timeout: 120000});
  const cpu1 = rendererCpu();
  const held = await state();
  const cpuPerPass = (cpu1 - cpu0) * 1000 / (held.passes - start.passes);
  const pixels = await canvasPixels();
  await page.locator('#canvas').screenshot({path: path.join(work, `${name}-page.png`)});
  const native = runReplay(name, frame + 1, keys, [frame], files);
  const capture = readBmp(path.join(native.dir, `frame-${frame}.bmp`));
  assert.equal(capture.width * capture.height * 4, pixels.length, 'the canvas is the game\'s 640 x 480');
  const differing = differingPixels(pixels, capture.rgba);
  console.log(`web measure: frame ${frame} (${name}): ${differing} of ${capture.width * capture.height} pixels differ from quelvane-replay's capture`);
  assert.equal(differing, 0, `frame ${frame} differs from the native capture`);
  return {held, native, frames: frame + 1, cpuPerPass};
}

test('the title shows, a real key starts a game, and passes run at about 66 a second', {timeout: 240000}, async () => {
  await open();
  const started = await page.evaluate(() => ({
    first: Module.quelvaneFirstPicture,
    load: performance.getEntriesByType('navigation')[0].loadEventEnd,
    main: Module.quelvaneMainStarted,
  }));
  console.log(`web measure: first picture ${started.first.toFixed(0)} ms after the page was asked for ` +
              `(load event at ${started.load.toFixed(0)} ms, the game's main at ${started.main.toFixed(0)} ms)`);
  // The 2 s goal is read off the line above: on two shared cores a loaded moment is no fault.
  // Ten seconds means the start is broken.
  assert.ok(started.first - started.load <= 10000, 'the first picture came more than 10 s after the page loaded');
  await untilScreen('title');
  await page.waitForTimeout(1200);  // the title's guard against a key pressed too early
  const title0 = await state();
  await page.waitForTimeout(3000);
  const title1 = await state();
  const titleRate = (title1.passes - title0.passes) * 1000 / (title1.now - title0.now);

  await page.keyboard.down('g');
  await untilScreen('play', 5000);
  await page.keyboard.up('g');
  await page.waitForFunction(() => Module.SDL2.audioContext.state === 'running', null, {timeout: 5000});
  const play0 = await state();
  const cpu0 = rendererCpu();
  await page.keyboard.down('ArrowLeft');
  await page.waitForTimeout(3000);
  await page.keyboard.up('ArrowLeft');
  const cpu1 = rendererCpu();
  const play1 = await state();
  const playRate = (play1.passes - play0.passes) * 1000 / (play1.now - play0.now);
  const frameCost = (play1.busy - play0.busy) / (play1.passes - play0.passes);
  const threadCost = (cpu1 - cpu0) * 1000 / (play1.passes - play0.passes);
  console.log(`web measure: ${titleRate.toFixed(1)} passes a second on the title, ${playRate.toFixed(1)} in play; ` +
              `in play ${frameCost.toFixed(2)} ms of the game's work a pass, ${threadCost.toFixed(2)} ms of ` +
              `the page's main thread's CPU (the sleeps' hand-overs, the sound's callbacks, the canvas)`);
  for (const rate of [titleRate, playRate]) {
    assert.ok(rate >= 62 && rate <= 70, `${rate.toFixed(1)} passes a second, not about 66`);
  }
  assert.equal((await state()).screen, 'play');
  // The built-in synthesizer has its SoundFont, in the page's own folder.
  await page.waitForFunction(() => Module.quelvaneMusic.ready, null, {timeout: 30000});
});

test('a scripted frame is the native replay\'s, pixel for pixel, and its cost is measured', {timeout: 240000}, async () => {
  // The golden game's first alien explosion: stars, aliens steered by atan, shots, the HUD.
  const {held, native, frames, cpuPerPass} =
    await heldFrameMatchesReplay('explosion', 3275, keysBefore(3276));
  const start = runReplay('startup', 1, '', []);
  const nativeCost = (native.cpu - start.cpu) * 1000 / (frames - 1);
  // The game's work in a pass: the page's clock from waking to the next sleep. The main thread's
  // whole CPU adds what the browser does beside (hand-overs, sound callbacks, the canvas's commit).
  const workPerPass = held.busy / held.passes;
  console.log(`web measure: a pass's work takes ${workPerPass.toFixed(3)} ms in the page ` +
              `(${cpuPerPass.toFixed(3)} ms of its main thread's CPU), ${nativeCost.toFixed(3)} ms of ` +
              `quelvane-replay's CPU natively: ${(workPerPass / nativeCost).toFixed(2)} times ` +
              `(${(cpuPerPass / nativeCost).toFixed(2)} with the whole main thread)`);
  // Showing the held picture again, beside memcpys of its bytes: the page's share of presenting.
  // Its scaling to the screen (2x to 4x) is the browser's compositor's, not the game's.
  const shown = await page.evaluate(() => ({
    present: Module._quelvane_present_ms(300), copy: Module._quelvane_copy_ms(300),
  }));
  console.log(`web measure: showing a picture in the canvas takes ${shown.present.toFixed(3)} ms, ` +
              `a memcpy of its 1.2 MB ${shown.copy.toFixed(3)} ms: ${(shown.present / shown.copy).toFixed(2)} times`);
  assert.ok(shown.present > 0 && shown.copy > 0, 'the page has no picture to show again');
  // The goal (3 times) is read off the line above, as a benchmark's; ten times means something
  // broke, such as Asyncify instrumenting the whole game.
  assert.ok(workPerPass <= 10 * nativeCost, 'a pass in the page costs more than 10 times the native one');
});

test('a game over\'s name, typed on the keyboard, is kept over a reload and shown by F2', {timeout: 240000}, async () => {
  // The golden game to its name prompt, quickly; then the page's own keys.
  await open(`seed=${SEED}&tickstart=${TICK_START}&fast=1&keys=${encodeURIComponent(keysBefore(9100))}`);
  await untilScreen('name', 120000);
  await page.evaluate(() => {
    window.recordedGames = [];
    window.addEventListener('quelvane:game-recorded', (e) => window.recordedGames.push(
      {bytes: Array.from(e.detail.bytes), shipDestroyed: e.detail.shipDestroyed}));
  });
  // Typed as a keyboard types: the game takes a letter's case from the text the key gives.
  await page.keyboard.type('Tester', {delay: 40});
  await page.keyboard.press('Enter');
  await untilScreen('title', 10000);
  // The game's replay: told to the page's scripts, kept in IndexedDB, offered for download, and
  // the desktop plays it to the score the page recorded.
  await page.waitForFunction(() => window.recordedGames.length === 1, null, {timeout: 10000});
  const [recorded] = await page.evaluate(() => window.recordedGames);
  assert.equal(recorded.shipDestroyed, true);
  assert.ok(await storedFile('replays/last.qvr', /^/));
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#save-replay')]);
  const downloaded = path.join(work, 'page-game.qvr');
  await download.saveAs(downloaded);
  assert.deepEqual(Array.from(fs.readFileSync(downloaded)), recorded.bytes);
  const verified = execFileSync(replay, ['--verify', downloaded], {encoding: 'utf8'});
  assert.match(verified, /^name=Tester$/m);
  // The game that entered the table is kept beside it too.
  const kept = await page.evaluate(() => Module.FS.readdir('/data/replays').filter((f) => /^\d{8}-\d{6}-\d+\.qvr$/.test(f)));
  assert.equal(kept.length, 1);
  assert.ok(await storedFile('replays/' + kept[0], /^/));
  // Written back to IndexedDB by the page as the game saved it.
  assert.match(await storedFile('scores.dat', /^Tester\r\n\d+/) ?? '', /^Tester\r\n\d+/);
  const saved = await page.evaluate(() => Array.from(Module.FS.readFile('/data/scores.dat')));
  assert.match(Buffer.from(saved).toString('latin1'), /^Tester\r\n\d+/);

  // A new page: the table comes back from IndexedDB, and F2 shows it.
  await open();
  await untilScreen('title');
  await page.waitForTimeout(1200);
  await page.keyboard.press('g');
  await untilScreen('play', 5000);
  await page.keyboard.press('F2');
  await untilScreen('scores', 5000);
  const reloaded = await page.evaluate(() => Array.from(Module.FS.readFile('/data/scores.dat')));
  assert.deepEqual(reloaded, saved);
  // The table as the desktop draws it from the same file.
  await heldFrameMatchesReplay('table', 90, '40 down G;41 up G;60 down F2;61 up F2', {'scores.dat': Buffer.from(saved)});
});

test('a damaged score file reads as on the desktop', {timeout: 240000}, async () => {
  // A name without its score, a line far too long, bytes that are no text.
  const damaged = Buffer.concat([Buffer.from('Broken\r\n12ab\r\n' + 'x'.repeat(500) + '\r\n'),
                                 Buffer.from([0, 255, 13, 10, 7])]);
  await page.evaluate((bytes) => new Promise((resolve, reject) => {
    Module.FS.writeFile('/data/scores.dat', new Uint8Array(bytes));
    Module.FS.syncfs(false, (error) => (error ? reject(error) : resolve()));
  }), Array.from(damaged));
  await heldFrameMatchesReplay('damaged', 90, '40 down G;41 up G;60 down F2;61 up F2', {'scores.dat': damaged});
});

test('the music device chosen in the page is saved, and a device not connected falls back to the synthesizer', {timeout: 240000}, async () => {
  await open();
  assert.equal(await page.evaluate(() => Module.quelvaneSavedDevice()),
               'Software Synthesizer', 'a new player gets the built-in synthesizer');
  await page.evaluate(() => Module.quelvaneChooseDevice('Keyboard Out 2'));
  assert.equal(await storedFile('MidiDevice.ini', /^Keyboard Out 2$/), 'Keyboard Out 2');
  await open();
  assert.equal(await page.evaluate(() => Module.quelvaneSavedDevice()),
               'Keyboard Out 2');
  // No such output here: the control says so, and the music plays on the synthesizer.
  await page.waitForFunction(() => /not connected/.test(document.getElementById('music-device').textContent));
  const options = await page.evaluate(() => Array.from(document.getElementById('music-device').options,
                                                       (o) => o.value));
  assert.deepEqual(options.slice(0, 1), ['Software Synthesizer']);
  assert.ok(options.includes('Keyboard Out 2'));
  await page.waitForFunction(() => Module.quelvaneMusic.ready, null, {timeout: 30000});
});

test('the picture is scaled whole and sharp, F11 takes the whole screen, and a page away pauses', {timeout: 240000}, async () => {
  await open();
  await untilScreen('title');
  const size = () => page.evaluate(() => {
    const box = document.getElementById('canvas').getBoundingClientRect();
    return {width: box.width, height: box.height, full: !!document.fullscreenElement,
            rendering: getComputedStyle(document.getElementById('canvas')).imageRendering};
  });
  const windowed = await size();
  assert.deepEqual([windowed.width % 640, windowed.height % 480, windowed.width / 640],
                   [0, 0, windowed.height / 480], 'a whole factor, the aspect kept');
  assert.ok(windowed.width >= 640);
  assert.equal(windowed.rendering, 'pixelated');
  // The whole page as a player sees it, kept in the build folder (tests/web/browser-test.sh).
  await page.screenshot({path: path.join(work, 'title-window-page.png')});
  await page.waitForTimeout(1200);
  await page.keyboard.press('F11');
  await page.waitForFunction(() => !!document.fullscreenElement, null, {timeout: 5000});
  const full = await size();
  assert.equal(full.width / 640, full.height / 480);
  await page.screenshot({path: path.join(work, 'title-full-screen-page.png')});
  await page.keyboard.press('F11');
  await page.waitForFunction(() => !document.fullscreenElement, null, {timeout: 5000});

  // The window loses the focus: no pass runs, the status says so; back, the game goes on.
  await page.evaluate(() => window.dispatchEvent(new FocusEvent('blur')));
  await page.waitForFunction(() => /Paused/.test(document.getElementById('status').textContent));
  const blurred = (await state()).passes;
  await page.waitForTimeout(500);
  assert.ok((await state()).passes - blurred <= 1, 'passes ran while the page had no focus');
  await page.evaluate(() => window.dispatchEvent(new FocusEvent('focus')));
  await page.waitForFunction((before) => Number(Module._quelvane_passes()) > before + 10, blurred);
  // The tab hidden: the same.
  await page.evaluate(() => {
    Object.defineProperty(document, 'hidden', {configurable: true, get: () => true});
    Object.defineProperty(document, 'visibilityState', {configurable: true, get: () => 'hidden'});
    document.dispatchEvent(new Event('visibilitychange'));
  });
  await page.waitForFunction(() => /Paused/.test(document.getElementById('status').textContent));
  const hidden = (await state()).passes;
  await page.waitForTimeout(500);
  assert.ok((await state()).passes - hidden <= 1, 'passes ran while the tab was hidden');
  await page.evaluate(() => {
    Object.defineProperty(document, 'hidden', {configurable: true, get: () => false});
    Object.defineProperty(document, 'visibilityState', {configurable: true, get: () => 'visible'});
    document.dispatchEvent(new Event('visibilitychange'));
  });
  await page.waitForFunction((before) => Number(Module._quelvane_passes()) > before + 10, hidden);
});

test('a game controller plays through the Gamepad API', {timeout: 240000}, async () => {
  // A standard-mapping controller, as the browser reports one; the test presses its buttons.
  await page.addInitScript(() => {
    const buttons = Array.from({length: 17}, () => ({pressed: false, touched: false, value: 0}));
    const pad = {id: 'Test Pad', index: 0, connected: true, mapping: 'standard', timestamp: 1,
                 axes: [0, 0, 0, 0], buttons, vibrationActuator: null};
    navigator.getGamepads = () => [pad, null, null, null];
    window.pressPad = (button, down) => {
      buttons[button] = {pressed: down, touched: down, value: down ? 1 : 0};
      pad.timestamp += 1;
    };
  });
  await open();
  await untilScreen('title');
  await page.waitForTimeout(1200);
  // Start (button 9) is F1: the help pages.
  await page.evaluate(() => window.pressPad(9, true));
  await untilScreen('help', 5000);
  await page.evaluate(() => window.pressPad(9, false));
});

test('a replay recorded on the desktop plays in the page to the desktop\'s end, and a damaged one is refused', {timeout: 240000}, async () => {
  // The golden game's first 1500 passes, recorded by the desktop's replay tool as the game records.
  const native = runReplay('recorded', 1500, keysBefore(1500), [], {}, ['--record', 'replays']);
  const file = path.join(native.dir, 'replays', 'last.qvr');
  const expected = execFileSync(replay, ['--play', file, '--state'], {encoding: 'utf8'});
  const bytes = Array.from(fs.readFileSync(file));

  await open();
  await untilScreen('title');
  await page.waitForTimeout(1200);
  await page.keyboard.press('g');
  await untilScreen('play', 5000);
  await page.evaluate(() => {
    window.recordedGames = [];
    window.addEventListener('quelvane:game-recorded', (e) => window.recordedGames.push(
      {magic: Array.from(e.detail.bytes.subarray(0, 4)), shipDestroyed: e.detail.shipDestroyed}));
  });
  // Refused, with its reason, by the page's function and by its file button; the game goes on.
  const refusal = await page.evaluate(() => window.quelvanePlayReplay(new Uint8Array([81, 86, 82, 1, 2]))
    .then(() => 'played', (error) => error.message));
  assert.match(refusal, /not a Quelvane replay|truncated|damaged/);
  await page.setInputFiles('#replay-file', {name: 'broken.qvr', mimeType: 'application/octet-stream',
                                            buffer: Buffer.from('not a replay at all')});
  await page.waitForFunction(() => /broken\.qvr cannot be played/.test(document.getElementById('status').textContent));
  const before = (await state()).passes;
  await page.waitForFunction((n) => Number(Module._quelvane_passes()) > n + 10, before);

  // Dropped on the page it plays in the watch's screens, until Esc ends it.
  await page.evaluate((data) => {
    const transfer = new DataTransfer();
    transfer.items.add(new File([new Uint8Array(data)], 'desktop.qvr'));
    document.getElementById('canvas').dispatchEvent(new DragEvent('drop', {dataTransfer: transfer, bubbles: true}));
  }, bytes);
  await page.waitForFunction(() => /Watching a replay/.test(document.getElementById('status').textContent));
  // The game it ended is kept as the last game, cut short.
  await page.waitForFunction(() => window.recordedGames.length > 0, null, {timeout: 5000});
  assert.deepEqual(await page.evaluate(() => window.recordedGames),
                   [{magic: bytes.slice(0, 4), shipDestroyed: false}]);
  await untilScreen('play', 5000);
  await page.keyboard.press('Escape');
  await untilScreen('title', 5000);
  // Handed over by the page's function, it plays to the recording's end, four times as fast with
  // F held, and comes to the desktop's end.
  const watching = page.evaluate((data) => window.quelvanePlayReplay(new Uint8Array(data)), bytes);
  await untilScreen('play', 5000);
  await page.keyboard.down('f');
  const watched = await watching;
  await page.keyboard.up('f');
  assert.equal(watched, expected);
  // A new game's title follows.
  await untilScreen('title', 10000);
});
