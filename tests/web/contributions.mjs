// Contributions in a real browser: a web user makes an account, contributes a category with two
// constants in one request, finds them on the contributed page, uses one in a calculation,
// lists them, changes the password and is refused with the old one. Any dialog or page error
// fails the step.
import { createRequire } from 'node:module';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import assert from 'node:assert/strict';

const require = createRequire(import.meta.url);
const { chromium } = require(process.env.PLAYWRIGHT_CORE);
const base = process.env.BASE_URL;
const folder = process.env.PROGRAM_FOLDER;

const profile = mkdtempSync(join(tmpdir(), 'ostravel-chromium-'));
const context = await chromium.launchPersistentContext(profile, {
  executablePath: '/usr/bin/chromium',
  headless: true,
  chromiumSandbox: false,
  args: ['--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync'],
});
const problems = [];
const page = context.pages()[0] ?? await context.newPage();
page.on('dialog', (d) => { problems.push(`dialog: ${d.message()}`); d.dismiss(); });
page.on('pageerror', (e) => problems.push(`page error: ${e.message}`));
page.setDefaultTimeout(10000);

let passed = 0, failed = 0;
async function step(name, body) {
  try {
    await body();
    assert.deepEqual(problems, [], 'no dialog and no script error');
    console.log(`ok   ${name}`);
    passed++;
  } catch (e) {
    console.log(`FAIL ${name}\n     ${String(e.message).split('\n').join('\n     ')}`);
    failed++;
    problems.length = 0;
  }
}

const account = { user: 'marie.curie@example.org', name: 'Marie Curie', pass: 'Radium-1898' };

// Fills the contribution form, presses one of its buttons and reads the answer frame.
async function contribute(fields, button) {
  await page.goto(base + '/contribute.htm');
  for (const [id, value] of Object.entries(fields)) await page.fill('#' + id, value);
  const answered = page.waitForResponse((r) => r.url().endsWith('/calc') && r.request().method() === 'POST');
  await page.click(`button[value="${button}"]`);
  assert.equal((await answered).status(), 200);
  const answer = page.frameLocator('#answer');
  const err = answer.locator('#err');
  await err.waitFor();
  return { err: (await err.textContent()).trim(), mess: await answer.locator('#mess').textContent() };
}

await step('the index leads to the contribution page', async () => {
  await page.goto(base + '/tolvane1.htm');
  await page.click('a[href="contribute.htm"]');
  await page.waitForURL(/\/contribute\.htm$/);
  assert.equal(await page.title(), 'Ostravel - contribute values');
});

await step('a new account stores a new category with two constants in one request', async () => {
  const a = await contribute({
    ...account, type: 'lab values', pre: 'LAB',
    MODIFY: 'DENS = 1.2345|density of the sample\nMASS=12.5|mass of the sample',
  }, 'Store My Definitions');
  assert.equal(a.err, 'SUCCESS!');
  assert.match(a.mess, /\[Contributed-Lab values\] <LAB\.\.\.>/);
  assert.match(a.mess, /DENS= 1\.2345\|density of the sample/);
  assert.match(a.mess, /MASS=12\.5\|mass of the sample/);
  const perm = readFileSync(join(folder, 'TOLVANEP.INI'), 'latin1');
  assert.ok(!perm.includes(account.pass), 'the password is stored as a hash only');
  assert.match(perm, /marie\.curie@example\.org=\$argon2id\$/);
});

await step('both constants are on the contributed page', async () => {
  await page.goto(base + '/tolvanem.htm');
  const list = await page.locator('body').textContent();
  assert.match(list, /Lab values DENS \(density of the sample\)/);
  assert.match(list, /Lab values MASS \(mass of the sample\)/);
});

await step('one of them, picked from the list, is used in a calculation', async () => {
  await page.goto(base + '/tolvane1.htm');
  await page.locator('nav a', { hasText: 'Lab values' }).click();
  const radio = page.frameLocator('iframe[name="QORNE_list"]')
    .locator('input[type=radio][onclick*="<LABDENS>"]');
  await radio.click();
  const calc = page.locator('#start input[name="CALC"]');
  assert.equal(await calc.inputValue(), '<LABDENS>');
  await calc.press('End');
  await calc.pressSequentially('*2');
  const answered = page.waitForResponse((r) => r.url().endsWith('/calc') && r.request().method() === 'POST');
  await page.click('#start button[type=submit]');
  await answered;
  const x = page.frameLocator('iframe[name="QORNE_calc"]').locator('#x');
  await x.waitFor();
  assert.equal((await x.textContent()).trim(), '2.469');
});

await step('the account lists its contributions', async () => {
  const a = await contribute(account, 'List My Contributions');
  assert.equal(a.err, 'SUCCESS!');
  assert.match(a.mess, /Contributions of marie\.curie@example\.org to date include:/);
  assert.match(a.mess, /Lab values:DENS=1\.2345\r?\n/);  // the value part of the record
  assert.match(a.mess, /Lab values:MASS=12\.5\r?\n/);
});

await step('the password is changed, the old one refused and the new one accepted', async () => {
  let a = await contribute({ ...account, newpass: 'Polonium-1898' }, 'Just Change My Password');
  assert.equal(a.err, 'SUCCESS!');
  assert.equal(a.mess.trim(), 'OK--password changed');
  a = await contribute(account, 'List My Contributions');
  assert.equal(a.err, 'Invalid password for marie.curie@example.org');
  assert.equal(a.mess.trim(), '');
  a = await contribute({ ...account, pass: 'Polonium-1898' }, 'List My Contributions');
  assert.equal(a.err, 'SUCCESS!');
});

await step('what the gateway cannot carry is refused on the page', async () => {
  await page.goto(base + '/contribute.htm');
  for (const [id, value] of Object.entries({ ...account, type: 'Lab values', pre: 'LAB', MODIFY: 'AND=1|salt & pepper' }))
    await page.fill('#' + id, value);
  await page.click('button[value="Store My Definitions"]');
  await page.locator('#problem').waitFor();
  assert.match(await page.locator('#problem').textContent(), /the character & cannot be sent/);
});

await context.close();
rmSync(profile, { recursive: true, force: true });
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
