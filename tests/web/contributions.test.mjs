// End to end in headless Chromium: a web user makes an account, contributes a category with
// two constants in one request, finds them on the contributed page, uses one in a
// calculation, lists them, changes the password and is refused with the old one.
//
// Runs the real web version: scripts/serve-web (the gateway without a window, lighttpd and
// the CGI client) on a free port, with a fresh program folder seeded from data/.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { cpSync, mkdtempSync, readFileSync, readdirSync, rmSync } from 'node:fs';
import { createServer } from 'node:net';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { createRequire } from 'node:module';

const top = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const build = process.env.OSTRAVEL_BUILD_DIR || join(top, 'build');
const require = createRequire(join(top, 'tests', 'web', 'package.json'));
const { chromium } = require('playwright-core');

let home, server, browser, base;

function freePort() {
  return new Promise((resolve, reject) => {
    const probe = createServer();
    probe.once('error', reject);
    probe.listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => resolve(port));
    });
  });
}

before(async () => {
  home = mkdtempSync(join(tmpdir(), 'ostravel-contrib-web-'));
  for (const name of readdirSync(join(top, 'data'))) {
    if (!name.startsWith('.')) cpSync(join(top, 'data', name), join(home, name));
  }
  const port = await freePort();
  server = spawn(join(top, 'scripts', 'serve-web'), [String(port)], {
    env: { ...process.env, OSTRAVEL_HOME: home, OSTRAVEL_BUILD_DIR: build, OSTRAVEL_SERVE_NO_BUILD: '1' },
    stdio: ['ignore', 'pipe', 'pipe'],
    detached: true,
  });
  let log = '';
  server.stderr.on('data', (d) => { log += d; });
  base = await new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error('serve-web did not start: ' + log)), 30000);
    server.stdout.on('data', (d) => {
      log += d;
      const m = /Ostravel on the web: (http:\S+)/.exec(log);
      if (m) { clearTimeout(timer); resolve(m[1].replace(/\/$/, '')); }
    });
    server.once('exit', (code) => reject(new Error('serve-web ended (' + code + '): ' + log)));
  });
  browser = await chromium.launch({
    executablePath: process.env.OSTRAVEL_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox'],
  });
});

after(async () => {
  if (browser) await browser.close();
  if (server && server.exitCode === null) {
    const ended = new Promise((resolve) => server.once('exit', resolve));
    process.kill(server.pid, 'SIGTERM');  // serve-web stops the gateway and lighttpd
    await ended;
  }
  if (home) rmSync(home, { recursive: true, force: true });
});

const account = { user: 'marie.curie@example.org', name: 'Marie Curie', pass: 'Radium-1898' };

// Fills the contribution form and presses one of its buttons; returns the answer's status
// and report.
async function contribute(page, fields, button) {
  await page.goto(base + '/contribute.htm');
  for (const [id, value] of Object.entries(fields)) await page.fill('#' + id, value);
  const answer = page.frameLocator('#answer');
  await page.click(`button[value="${button}"]`);
  const err = answer.locator('#err');
  await err.waitFor();
  return { err: (await err.textContent()).trim(), mess: await answer.locator('#mess').textContent() };
}

test('a web user contributes, calculates, lists and changes the password', async () => {
  const page = await browser.newPage();
  const problems = [];
  page.on('pageerror', (e) => problems.push(e.message));

  // The index leads to the contribution page.
  await page.goto(base + '/tolvane1.htm');
  await page.click('a[href="contribute.htm"]');
  await page.waitForURL(/contribute\.htm$/);

  // A new account and a new category with two constants in one request.
  let a = await contribute(page, {
    ...account, type: 'lab values', pre: 'LAB',
    MODIFY: 'DENS = 1.2345|density of the sample\nMASS=12.5|mass of the sample',
  }, 'Store My Definitions');
  assert.equal(a.err, 'SUCCESS!');
  assert.match(a.mess, /\[Contributed-Lab values\] <LAB\.\.\.>/);
  assert.match(a.mess, /DENS= 1\.2345\|density of the sample/);
  assert.match(a.mess, /MASS=12\.5\|mass of the sample/);
  const perm = readFileSync(join(home, 'TOLVANEP.INI'), 'latin1');
  assert.ok(!perm.includes(account.pass), 'the password is stored as a hash only');
  assert.match(perm, /marie\.curie@example\.org=\$argon2id\$/);

  // Both are on the contributed page.
  await page.goto(base + '/tolvanem.htm');
  const list = await page.locator('body').textContent();
  assert.match(list, /Lab values DENS \(density of the sample\)/);
  assert.match(list, /Lab values MASS \(mass of the sample\)/);

  // Picked from the list in the calculator and used in a calculation.
  await page.goto(base + '/tolvane1.htm');
  await page.click('nav a:has-text("Lab values")');
  const listFrame = page.frameLocator('iframe[name="QORNE_list"]');
  const radio = listFrame.locator('input[type=radio][onclick*="<LABDENS>"]');
  await radio.waitFor();
  await radio.click();
  assert.equal(await page.inputValue('#CALC'), '<LABDENS>');
  await page.locator('#CALC').press('End');
  await page.locator('#CALC').type('*2');
  await page.click('#start button[type=submit]');
  const result = page.frameLocator('#answer').locator('#x');
  await result.waitFor();
  assert.equal((await result.textContent()).trim(), '2.469');

  // Listed under the account.
  a = await contribute(page, account, 'List My Contributions');
  assert.equal(a.err, 'SUCCESS!');
  assert.match(a.mess, /Contributions of marie\.curie@example\.org to date include:/);
  assert.match(a.mess, /Lab values:DENS=1\.2345\r?\n/);  // the value part of the record
  assert.match(a.mess, /Lab values:MASS=12\.5/);

  // A new password; the old one is refused afterwards, the new one signs in.
  a = await contribute(page, { ...account, newpass: 'Polonium-1898' }, 'Just Change My Password');
  assert.equal(a.err, 'SUCCESS!');
  assert.equal(a.mess.trim(), 'OK--password changed');
  a = await contribute(page, account, 'List My Contributions');
  assert.equal(a.err, 'Invalid password for marie.curie@example.org');
  a = await contribute(page, { ...account, pass: 'Polonium-1898' }, 'List My Contributions');
  assert.equal(a.err, 'SUCCESS!');

  assert.deepEqual(problems, []);
  await page.close();
});
