// Contributions in a real browser: a web user makes an account, contributes a category with two
// constants in one request, finds them on the contributed page, uses one in a calculation,
// lists them, changes the password and is refused with the old one. Any dialog or page error
// fails the step.
import { readFileSync, statSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import assert from 'node:assert/strict';
import { openBrowser } from './browser.mjs';

const base = process.env.BASE_URL;
const folder = process.env.PROGRAM_FOLDER;

const { page, step, finish } = await openBrowser();

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

// A change request sent straight to the gateway, as a script of an attacker would send it.
async function api(fields, method = 'POST') {
  const r = method === 'POST' ? await page.request.post(base + '/calc', { form: fields })
    : await page.request.fetch(base + '/calc?' + new URLSearchParams(fields), { method });
  const body = await r.text();
  const pick = (id) => { const m = new RegExp(`id="${id}"[^>]*>([\\s\\S]*?)</div>`).exec(body); return m ? m[1].trim() : null; };
  return { status: r.status(), err: pick('err'), mess: pick('mess') };
}
// The result of a calculation, or its error.
async function calc(line) {
  const r = await page.request.post(base + '/calc', { form: { CALC: line, nsig: '0' } });
  const body = await r.text();
  const x = /<output id="x">([^<]*)<\/output>/.exec(body)[1];
  const err = /id="err">([\s\S]*?)<\/div>/.exec(body)[1].trim();
  return err === '' ? x : err;
}
const mallory = { user: 'mallory@example.org', name: 'Mallory', pass: 'Mallory-Pass-1' };
const alice = { user: 'alice@example.org', name: 'Alice', pass: 'Alice-Pass-1' };
const store = (who, type, pre, MODIFY) => api({ ...who, type, pre, MODIFY, GO: 'Store My Definitions' });

await step('"&" in a definition is stored as typed; what the files cannot hold is refused on the page', async () => {
  const signedIn = { ...account, pass: 'Polonium-1898' };
  let a = await contribute({ ...signedIn, type: 'Lab values', pre: 'LAB', MODIFY: 'SALT=1|salt & pepper' }, 'Store My Definitions');
  assert.equal(a.err, 'SUCCESS!');
  assert.match(a.mess, /SALT=1\|salt & pepper/);
  assert.match(readFileSync(join(folder, 'TOLVANEC.INI'), 'latin1'), /SALT=1\|salt & pepper\r\n/);
  await page.goto(base + '/contribute.htm');
  for (const [id, value] of Object.entries({ ...signedIn, type: 'Lab values', pre: 'LAB', MODIFY: 'PI=3.14159|\u03c0' }))
    await page.fill('#' + id, value);
  await page.click('button[value="Store My Definitions"]');
  await page.locator('#problem').waitFor();
  assert.match(await page.locator('#problem').textContent(), /cannot be stored/);
});

await step('a record key cannot be forged with ":"', async () => {
  let a = await store(mallory, 'Ph', 'PH', 'buffers:acetate=666\nACETATE=4.76');
  assert.equal(a.err, 'SUCCESS!');
  assert.match(a.mess, /ignoring line \(not a usable name\): buffers:acetate=666/);
  a = await store(mallory, 'Ph:buffers', 'PB', 'acetate=666');
  assert.match(a.err, /^Category type may not contain ':'/);
  assert.equal(await calc('<PHACETATE>'), '4.76');
});

await step('a full name means one value: squatting and renaming onto another prefix are refused', async () => {
  assert.equal((await store(mallory, 'Squat', 'NEW', 'XY=666')).err, 'SUCCESS!');
  let a = await store(alice, 'Real', 'NEW', 'XY=1');
  assert.match(a.err, /^Prefix NEW clashes with Contributed-Squat \(prefix NEW\)/);
  assert.equal((await store(alice, 'Real', 'AL', 'XY=1')).err, 'SUCCESS!');
  a = await store(mallory, 'Squat', 'NEW=AL', '');
  assert.match(a.err, /^Prefix AL clashes with Contributed-Real \(prefix AL\)/);
  a = await store(mallory, 'Loose', 'none', 'ALXY=666');
  assert.equal(a.err, '&lt;ALXY&gt; is already defined in Contributed-Real');
  assert.equal(await calc('<ALXY>'), '1');
  assert.equal(await calc('<NEWXY>'), '666');
});

await step('radicals cannot be contributed; reserved names are checked with the prefix they will have', async () => {
  const before = await calc('MW(MeCl)');
  let a = await store(mallory, 'Radicals', 'none', 'Me=Cu');
  assert.match(a.err, /^The category Radicals belongs to the site/);
  assert.equal(await calc('MW(MeCl)'), before);
  a = await store(mallory, 'Fake', 'ZZ=none', 'R=1\nNA=2');
  assert.equal(a.err, '&lt;R&gt; is a reserved definition');
  assert.equal(await calc('<R>'), '8.314');
});

await step('lengths are checked at the request and lists grow without a cut', async () => {
  const longest = '1' + '+0'.repeat(248) + '|d';  // 499 characters
  let a = await store(alice, 'Long', 'LONG', `V1=${longest}x`);
  assert.match(a.err, /^A name may be at most 40 characters long and a definition at most 499/);
  assert.equal((await store(alice, 'Long', 'LONG', `V1=${longest}`)).err, 'SUCCESS!');
  assert.equal(await calc('<LONGV1>'), '1', 'read back whole');
  // More categories than fit into 30,000 characters of a key list.
  const file = join(folder, 'TOLVANEC.INI');
  let text = readFileSync(file, 'latin1');
  const names = Array.from({ length: 1600 }, (_, i) => `Long category name ${String(i).padStart(4, '0')}`);
  text = text.replace('[Contributed]\r\n', '[Contributed]\r\n' + names.map((n, i) => `${n}=LC${String(i).padStart(4, '0')}|owner@example.org\r\n`).join(''));
  text += names.map((n, i) => `\r\n[Contributed-${n}]\r\nVAL=${i}.5\r\n`).join('');
  writeFileSync(file, text, 'latin1');
  assert.equal((await store(alice, 'Long', 'LONG', 'V2=2')).err, 'SUCCESS!');  // makes lists and pages again
  const last = names.at(-1);
  assert.ok(readFileSync(join(folder, 'tolvanem.htm'), 'latin1').includes(`<a name="${last}">`));
  assert.ok(readFileSync(join(folder, 'tolvane1.htm'), 'latin1').includes(`>${last}</a>`));
  assert.equal(await calc('<LC1599VAL>'), '1599.5');
});

await step('passwords are taken exactly as typed', async () => {
  const typed = { user: 'exact@example.org', name: 'Exact', pass: '  Pass=Word 1 ' };
  let a = await contribute(typed, 'Just Change My Password');
  assert.equal(a.err, 'SUCCESS!');
  a = await contribute(typed, 'List My Contributions');
  assert.equal(a.err, 'You have no contributions to date');
  a = await contribute({ ...typed, pass: 'Pass=Word 1' }, 'List My Contributions');
  assert.equal(a.err, 'Invalid password for exact@example.org');
  a = await contribute({ ...typed, pass: 'Word 1' }, 'List My Contributions');
  assert.equal(a.err, 'Invalid password for exact@example.org');
  // A form that sends "old=new" in one field cannot make a password the user never typed.
  a = await api({ user: 'legacy@example.org', name: 'Legacy', pass: 'Pass=Word-2', GO: 'List My Contributions', MODIFY: '' });
  assert.match(a.err, /^A password sent as &quot;old=new&quot; may not contain &quot;=&quot;/);
});

await step('change requests only as POST', async () => {
  const fields = { ...account, pass: 'Polonium-1898', MODIFY: '', GO: 'List My Contributions' };
  assert.equal((await api(fields, 'GET')).status, 405);
  assert.equal((await api(fields, 'HEAD')).status, 405);
  const a = await api(fields);
  assert.equal(a.status, 200);
  assert.equal(a.err, 'SUCCESS!');
});

await step('the accounts file is readable by its owner only', async () => {
  assert.equal(statSync(join(folder, 'TOLVANEP.INI')).mode & 0o777, 0o600);
});

await step('guessed passwords must wait; calculations are answered meanwhile', async () => {
  const owner = { user: 'guessed@example.org', name: 'Guessed', pass: 'Right-Pass-1', MODIFY: '', GO: 'List My Contributions' };
  await api(owner);
  for (let i = 1; i <= 5; i++) {
    assert.equal((await api({ ...owner, pass: `guess-${i}` })).err, 'Invalid password for guessed@example.org', `guess ${i}`);
  }
  const waits = /^Too many wrong passwords for guessed@example.org\. Please wait \d+ seconds before you try again\.$/;
  assert.match((await api({ ...owner, pass: 'guess-6' })).err, waits);
  assert.match((await api(owner)).err, waits, 'the right password waits too');
  assert.equal(await calc('1+1'), '2');
  assert.equal((await api(account.user === owner.user ? owner : { ...account, pass: 'Polonium-1898', MODIFY: '', GO: 'List My Contributions' })).err, 'SUCCESS!',
    'another account from the same address');
});

await finish();
