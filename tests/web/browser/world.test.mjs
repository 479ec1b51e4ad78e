// The world table on the page in Debian's Chromium, headless, driven by playwright-core (run by
// tests/web/browser-test.sh, suite "world"): the page served by a real quelvane-world --page on
// SQLite, a genuine game sent beforehand on its table, and games the page records sent by the
// player's choice, one of them while the server is down.
//
//   WEB_DIR, WEB_MODULES, WORK   as for the game's suite
//   WORLD                        quelvane-world, beside the game's assets
//   GENUINE                      write_genuine_games: genuine games' files, as the service's tests send
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import fs from 'node:fs';
import path from 'node:path';

const { chromium } = createRequire(path.join(process.env.WEB_MODULES, 'x'))('playwright-core');
const work = process.env.WORK;
// Bounds on a verification, never expectations of it.
const VERIFIED_BOUND = 180000;

let world;
let address;
let context;
let page;
const games = [];
const pageErrors = [];

// quelvane-world on its folder, at the address given or a free port; resolves once it listens.
function startWorld(listen = '127.0.0.1:0') {
  world = spawn(process.env.WORLD, ['--data', path.join(work, 'world'), '--listen', listen,
    '--page', process.env.WEB_DIR, '--workers', '1'], {stdio: ['ignore', 'pipe', 'inherit']});
  return new Promise((resolve, reject) => {
    let said = '';
    world.stdout.on('data', (chunk) => {
      said += chunk;
      const at = /listening on (\S+)\n/.exec(said);
      if (at) resolve(at[1]);
    });
    world.on('exit', (code) => reject(new Error(`quelvane-world exited with ${code}`)));
  });
}

const stopWorld = () => new Promise((resolve) => {
  world.removeAllListeners('exit');
  world.on('exit', resolve);
  world.kill('SIGTERM');
});

const api = (where, options) => fetch(`http://${address}/${where}`, options);

async function untilVerified(id) {
  const end = Date.now() + VERIFIED_BOUND;
  for (;;) {
    const run = await (await api(`api/runs/${id}`)).json();
    if (run.state === 'verified') return run;
    assert.notEqual(run.state, 'refused', `run ${id} was refused: ${run.reason}`);
    assert.ok(Date.now() < end, `run ${id} was not verified in time`);
    await new Promise((resolve) => setTimeout(resolve, 500));
  }
}

// What the page does once it has saved a game: the event the world table listens for.
const recorded = (file) => page.evaluate((base64) => {
  const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
  window.dispatchEvent(new CustomEvent('quelvane:game-recorded', {detail: {bytes, shipDestroyed: true}}));
}, file.toString('base64'));

const tableRow = (name, timeout = VERIFIED_BOUND) =>
  page.locator('#world-rows tr', {hasText: name}).waitFor({timeout});

before(async () => {
  fs.mkdirSync(path.join(work, 'world'), {recursive: true});
  execFileSync(process.env.GENUINE, [work, '3'], {stdio: 'inherit'});
  for (let n = 0; n < 3; ++n) games.push(fs.readFileSync(path.join(work, `game-${n}.qvr`)));
  address = await startWorld();
  const sent = await (await api('api/runs', {method: 'POST', body: games[0]})).json();
  await untilVerified(sent.id);
  context = await chromium.launchPersistentContext(path.join(work, 'world-profile'), {
    executablePath: '/usr/bin/chromium', headless: true, args: ['--no-sandbox'],
    viewport: {width: 1340, height: 1010},
  });
  page = context.pages()[0] || await context.newPage();
  page.on('pageerror', (error) => pageErrors.push(error.message));
});

after(async () => {
  await context?.close();
  if (world) await stopWorld();
  assert.deepEqual(pageErrors, [], 'the page reported errors');
});

test('the table shows the server\'s runs, and the page sends its games only once asked to', {timeout: 600000}, async () => {
  await page.goto(`http://${address}/`);
  await page.locator('#world-controls').waitFor({state: 'visible', timeout: 30000});
  assert.equal(await page.isChecked('#world-send'), false, 'sending is the player\'s choice');
  await page.click('#world-show');
  await tableRow('pilotaa', 30000);

  await recorded(games[1]);
  await page.waitForTimeout(2000);
  assert.equal((await api('api/runs/2')).status, 404, 'a game was sent before the player chose to');

  await page.check('#world-send');
  await page.fill('#world-name', 'pilotab');
  await recorded(games[1]);
  await tableRow('pilotab');
  assert.match(await page.locator('#world-rows tr', {hasText: 'pilotab'}).getAttribute('class'), /mine/);

  // The choice, the name and the run's secret outlive the page.
  await page.reload();
  await page.locator('#world-controls').waitFor({state: 'visible', timeout: 30000});
  assert.equal(await page.isChecked('#world-send'), true);
  assert.equal(await page.inputValue('#world-name'), 'pilotab');
  const runs = await page.evaluate(() => JSON.parse(localStorage.getItem('quelvane-world-runs')));
  assert.equal(runs.length, 1);
  assert.match(runs[0].secret, /^[0-9a-f]{32}$/);

  // A row chosen hands its file to the page's player.
  await page.evaluate(() => {
    window.quelvanePlayReplay = (bytes) => {
      window.watched = btoa(String.fromCharCode.apply(null, bytes));
      return Promise.resolve();
    };
  });
  await page.click('#world-show');
  await tableRow('pilotab', 30000);
  await page.screenshot({path: path.join(work, 'world-page.png')});
  await page.locator('#world-rows tr', {hasText: 'pilotaa'}).click();
  const watched = await page.waitForFunction(() => window.watched, null, {timeout: 30000});
  assert.equal(await watched.jsonValue(), games[0].toString('base64'));
  await page.locator('#world').waitFor({state: 'hidden'});
});

test('a game recorded while the server is down waits, and is sent once it is back', {timeout: 600000}, async () => {
  await stopWorld();
  await page.click('#world-show');
  await recorded(games[2]);
  await page.locator('#world-sent', {hasText: 'cannot be reached'}).waitFor({timeout: 30000});
  await page.locator('#world-line', {hasText: 'cannot be reached'}).waitFor({timeout: 30000});
  const waiting = await page.evaluate(() => JSON.parse(localStorage.getItem('quelvane-world-waiting')));
  assert.equal(waiting.length, 1);

  await startWorld(address);
  await tableRow('pilotac');
  const left = await page.evaluate(() => JSON.parse(localStorage.getItem('quelvane-world-waiting')));
  assert.deepEqual(left, []);
});

test('a run this browser sent is withdrawn with its secret, and only such a run', {timeout: 120000}, async () => {
  const row = page.locator('#world-rows tr', {hasText: 'pilotab'});
  await row.waitFor({timeout: 30000});
  const id = Number(await row.getAttribute('data-id'));
  assert.equal(await page.locator('#world-rows tr', {hasText: 'pilotaa'}).locator('button.withdraw').count(), 0,
    'a run sent from elsewhere offers no withdrawal');
  page.once('dialog', (dialog) => dialog.accept());
  await row.locator('button.withdraw').click();
  await row.waitFor({state: 'detached', timeout: 30000});
  assert.equal((await api(`api/runs/${id}`)).status, 404);
  const runs = await page.evaluate(() => JSON.parse(localStorage.getItem('quelvane-world-runs')));
  assert.ok(runs.every((run) => run.id !== id), 'the withdrawn run is forgotten');
});
