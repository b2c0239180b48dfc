// The web version in a real browser: headless Chromium through lighttpd, ostravel-link and the
// gateway. Every step checks what a visitor sees; any dialog or page error fails the test.
import assert from 'node:assert/strict';
import { openBrowser } from './browser.mjs';

const base = process.env.BASE_URL;

const { context, page, step, finish } = await openBrowser();

const listFrame = () => page.frame({ name: 'QORNE_list' });
const calcFrame = () => page.frame({ name: 'QORNE_calc' });
// The radio button of an entry, found by the label that follows it.
const radio = (frame, label) => frame.locator(
  `xpath=//input[@type="radio"][starts-with(normalize-space(following-sibling::text()[1]), ${JSON.stringify(label)})]`);

// Submits the form of the frame (or page) and waits for the answer page in QORNE_calc.
async function calculate(owner, text) {
  const form = owner.locator('form[name="CALCFORM"]:visible');
  if (text !== undefined) await form.locator('input[name="CALC"]').fill(text);
  const answered = page.waitForResponse((r) => r.url().endsWith('/calc') && r.request().method() === 'POST');
  await form.getByRole('button', { name: 'Calculate' }).click();
  const response = await answered;
  assert.equal(response.status(), 200);
  const frame = calcFrame();
  await frame.waitForLoadState('load');
  await frame.locator('#x').waitFor();
  return frame;
}

await step('the index opens with its category links and the list frame', async () => {
  const response = await page.goto(base + '/');
  assert.equal(response.status(), 200);
  assert.match(page.url(), /\/tolvane1\.htm$/);
  assert.equal(await page.title(), 'Ostravel - chemistry calculator');
  assert.equal(response.headers()['content-type'], 'text/html; charset=ISO-8859-1');
  for (const name of ['Physical', 'Solubility', 'Basic', 'Tricky & <Odd>', '50% off', 'No #1'])
    await page.locator('nav a', { hasText: name }).first().waitFor();
});

await step('the database files cannot be fetched', async () => {
  for (const path of ['/TOLVANE.INI', '/TOLVANEC.INI', '/tolvane.ht_', '/register/calc.sock'])
    assert.equal((await page.request.get(base + path)).status(), 404, path);
});

await step('a category link shows its entries and a click inserts the constant', async () => {
  await page.locator('nav a', { hasText: 'Physical' }).click();
  await page.waitForFunction(() => frames['QORNE_list'].location.hash === '#Physical');
  await radio(listFrame(), 'R (gas constant)').click();
  assert.equal(await page.locator('#start input[name="CALC"]').inputValue(), '<R>');
});

let answer;
await step('calculate shows the result', async () => {
  await page.locator('#start input[name="CALC"]').press('End');
  await page.locator('#start input[name="CALC"]').pressSequentially('*2');
  answer = await calculate(page);
  assert.equal(await answer.locator('#x').textContent(), '16.628');
  assert.equal(await answer.locator('input[name="M1"]').inputValue(), '8.31400');
  assert.equal(await answer.locator('input[name="N1"]').inputValue(), '<R>');
  assert.match(await answer.locator('#result').textContent(), /^M2 = 16\.6280/);
  assert.equal(await page.locator('#start').isVisible(), false, 'the answer replaced the start form');
});

await step('a second calculation uses M1 from the first', async () => {
  answer = await calculate(calcFrame(), 'M1*3');
  assert.equal(await answer.locator('#x').textContent(), '24.942');
  assert.equal(await answer.locator('input[name="NM"]').inputValue(), '3');
});

await step('Balance balances an equation and keeps the memory lines', async () => {
  const form = calcFrame().locator('form[name="CALCFORM"]:visible');
  await form.locator('input[name="EQ"]').fill('KMnO4 + HCl = KCl + MnCl2 + H2O + Cl2');
  const answered = page.waitForResponse((r) => r.url().endsWith('/calc') && r.request().method() === 'POST');
  await form.locator('input[name="EQ"]').press('Enter');
  assert.equal((await answered).status(), 200);
  const frame = calcFrame();
  await frame.waitForLoadState('load');
  await frame.locator('#balanced').waitFor();
  assert.equal(await frame.locator('#balanced').textContent(),
               '2 KMnO4 + 16 HCl = 2 KCl + 2 MnCl2 + 8 H2O + 5 Cl2');
  assert.equal(await frame.locator('input[name="NM"]').inputValue(), '3');
  assert.equal(await frame.locator('#result').isVisible(), false, 'no memory line shown as result');
});

await step('a prefixed constant is inserted with its prefix into the answer form', async () => {
  await page.locator('nav a', { hasText: 'Solubility' }).click();
  await page.waitForFunction(() => frames['QORNE_list'].location.hash === '#Solubility');
  await calcFrame().locator('input[name="CALC"]').fill('');
  await radio(listFrame(), 'Solubility AGCL').click();
  assert.equal(await calcFrame().locator('input[name="CALC"]').inputValue(), '<KSPAGCL>');
});

await step('an example is calculated at once', async () => {
  await page.locator('nav a', { hasText: 'Basic' }).click();
  await page.waitForFunction(() => frames['QORNE_list'].location.hash === '#Basic');
  const answered = page.waitForResponse((r) => r.url().endsWith('/calc'));
  await radio(listFrame(), 'Water (molar mass of water)').click();
  await answered;
  await calcFrame().waitForLoadState('load');
  const frame = calcFrame();
  assert.equal(await frame.locator('input[name="CALC"]').inputValue(), 'MW(H2O)');
  assert.match(await frame.locator('#result').textContent(), /^M\d+ = 18\.0150\s*MW\(H2O\)$/);
});

await step('a division by zero shows the error', async () => {
  answer = await calculate(calcFrame(), '1/0');
  assert.equal(await answer.locator('#err').textContent(), 'Error: divide error');
  assert.equal(await answer.locator('#result').isVisible(), false);
});

await step('a script in the calculation line shows as text and runs nothing', async () => {
  const payload = `<img src=x onerror="window.hacked=1;alert(1)"><script>window.hacked=2</script>'";`;
  answer = await calculate(calcFrame(), payload);
  assert.equal(await answer.locator('#scalc').textContent(), payload);
  assert.equal(await answer.locator('input[name="CALC"]').inputValue(), payload);
  assert.equal(await answer.evaluate(() => window.hacked), undefined);
  assert.equal(await answer.locator('#scalc img, #scalc script').count(), 0);
});

await step('hostile contributed entries reach the form exactly and run nothing', async () => {
  await page.locator('nav a', { hasText: 'Tricky & <Odd>' }).click();
  await page.waitForFunction(() => decodeURIComponent(frames['QORNE_list'].location.hash) === '#Tricky & <Odd>');
  const list = listFrame();
  assert.match(await list.locator('pre').first().textContent(), /script \(<b>bold<\/b>\)/);
  const calc = calcFrame().locator('input[name="CALC"]');
  const cases = [
    ['Tricky & <Odd> quote\'key', `<"quote'key>`, '(1+2\'3)'],
    ['Tricky & <Odd> slash', '<"slash>', '(4\\5)'],
    ['Tricky & <Odd> script', '<"script>', '(</script><script>window.hacked=1</script>)'],
  ];
  for (const [label, byName, byValue] of cases) {
    await calc.fill('');
    await radio(list, label).click();
    assert.equal(await calc.inputValue(), byName, label);
    await calcFrame().locator('#abbr').uncheck();
    await calc.fill('');
    await radio(list, label).click();
    assert.equal(await calc.inputValue(), byValue, label);
    await calcFrame().locator('#abbr').check();
    assert.equal(await list.locator('input[name="SDO"]').inputValue(), byValue.slice(1, -1) + '|' + byName);
  }
  assert.equal(await list.evaluate(() => window.hacked), undefined);
  assert.equal(await calcFrame().evaluate(() => window.hacked), undefined);
});

const err = async (frame) => (await frame.locator('#err').textContent()).trim();

await step('an unknown constant is reported on the answer page as the console reports it', async () => {
  answer = await calculate(calcFrame(), '<R>;2*<Rx>');
  assert.equal(await err(answer), 'Error: constant <RX> not found');
  assert.equal(await answer.locator('#result').isVisible(), false, 'no earlier memory line shown as the answer');
  answer = await calculate(calcFrame(), '<R>*2');
  assert.equal(await err(answer), '', 'the honest calculation beside it');
  assert.equal(await answer.locator('#x').textContent(), '16.628');
});

await step('an "&" typed into the calculation reaches the calculator whole', async () => {
  answer = await calculate(calcFrame(), '1+1&2');
  assert.equal(await answer.locator('#scalc').textContent(), '1+1&2');
  assert.match(await err(answer), /^Error: 1\+1&2: the character "&" \(U\+0026\) cannot be read/);
  assert.equal(await answer.locator('#result').isVisible(), false, 'no answer for 1+1 alone');
});

await step('an equation without a root is an error, not an answer', async () => {
  answer = await calculate(calcFrame(), 'x^2=-1');
  assert.match(await err(answer), /^Error: no solution found/);
  assert.equal(await answer.locator('#result').isVisible(), false);
  answer = await calculate(calcFrame(), 'x^2=2');
  assert.equal(await err(answer), '');
  assert.match(await answer.locator('#x').textContent(), /^1\.41421/);
});

await step('a line over the limit of calculations gets an error naming it', async () => {
  answer = await calculate(calcFrame(), Array.from({ length: 1001 }, (_, i) => String(i)).join(';'));
  assert.match(await err(answer), /This line holds 1001 calculations; the web calculator takes at most 1000/);
  answer = await calculate(calcFrame(), Array.from({ length: 1000 }, (_, i) => String(i)).join(';'));
  assert.equal(await err(answer), '');
  assert.equal(await answer.locator('#x').textContent(), '999');
});

await step('a clicked constant goes to the caret, at the end of the previous calculation by default', async () => {
  answer = await calculate(calcFrame(), '2*3');
  await page.locator('nav a', { hasText: 'Physical' }).click();
  await page.waitForFunction(() => frames['QORNE_list'].location.hash === '#Physical');
  await radio(listFrame(), 'R (gas constant)').click();
  const calc = calcFrame().locator('input[name="CALC"]');
  assert.equal(await calc.inputValue(), '2*3<R>');
  await calc.fill('2*3');
  await calc.evaluate((input) => input.setSelectionRange(1, 1));
  await radio(listFrame(), 'F (Faraday constant)').click();
  assert.equal(await calc.inputValue(), '2<F>*3');
});

await step('"Insert constants by name" keeps the choice across answers', async () => {
  await calcFrame().locator('#abbr').uncheck();
  answer = await calculate(calcFrame(), '1');
  assert.equal(await answer.locator('#abbr').isChecked(), false);
  await radio(listFrame(), 'R (gas constant)').click();
  assert.equal(await answer.locator('input[name="CALC"]').inputValue(), '1(8.314)');
  await answer.locator('#abbr').check();
  answer = await calculate(calcFrame(), '2');
  assert.equal(await answer.locator('#abbr').isChecked(), true);
});

await step('memory inputs stand in one column from M10 on', async () => {
  const fields = { NM: '12', CALC: '1', nsig: '0' };
  for (let i = 1; i <= 12; i++) Object.assign(fields, { [`M${i}`]: String(i), [`N${i}`]: `n${i}` });
  await page.evaluate((f) => {
    const form = document.getElementById('answer').contentDocument.forms.CALCFORM;
    for (const [name, value] of Object.entries(f)) {
      let input = form.elements[name];
      if (!input) {
        input = form.ownerDocument.createElement('input');
        input.type = 'hidden';
        input.name = name;
        form.appendChild(input);
      }
      input.value = value;
    }
  }, fields);
  answer = await calculate(calcFrame());
  const left = async (name) => (await answer.locator(`input[name="${name}"]`).boundingBox()).x;
  assert.equal(await left('M9'), await left('M10'));
  assert.equal(await left('N9'), await left('N13'));
});

await step('categories with "#" and "%" in their names have links that work', async () => {
  for (const name of ['50% off', 'No #1']) {
    await page.locator('nav a', { hasText: name }).click();
    await page.waitForFunction((n) => decodeURIComponent(frames['QORNE_list'].location.hash) === '#' + n, name);
    const target = await listFrame().evaluate(() => document.querySelector(':target')?.getAttribute('name'));
    assert.equal(target, name, 'the link leads to the category');
  }
  await radio(listFrame(), '50% off HALF').click();
  assert.match(await calcFrame().locator('input[name="CALC"]').inputValue(), /<PCTHALF>$/);
});

await step('an index without contributed values shows no empty heading for them', async () => {
  assert.equal(await page.locator('nav a[name="More"]').isVisible(), true, 'with contributed categories');
  const html = await (await page.request.get(base + '/tolvane1.htm')).text();
  const fresh = html.replace(/<a href="tolvanem\.htm[^\n]*\n/g, '');
  const blank = await context.newPage();
  await blank.setContent(fresh);
  assert.equal(await blank.locator('nav a[name="More"]').isVisible(), false);
  assert.equal(await blank.locator('nav a[name="Constants"]').isVisible(), true);
  await blank.close();
});

await step('nothing under /calc but its answers: the program is never served', async () => {
  for (const path of ['/calc/', '/calc/anything', '/calc/x?CALC=1']) {
    const r = await page.request.get(base + path);
    assert.equal(r.status(), 404, path);
    assert.ok(!(await r.body()).includes('ELF'), path);
  }
  assert.equal((await page.request.get(base + '/calc?CALC=1%2B1')).status(), 200);
});

await step('the icon, each header once, framing by the site only, pages never stale', async () => {
  const icon = await page.request.get(base + '/favicon.ico');
  assert.equal(icon.status(), 200);
  assert.equal(icon.headers()['content-type'], 'image/vnd.microsoft.icon');
  // Pages change with every contribution: asked again each time; answers are never kept.
  const caching = { '/tolvane1.htm': 'no-cache', '/calc?CALC=1': 'no-store', '/favicon.ico': 'no-cache' };
  for (const [path, cacheControl] of Object.entries(caching)) {
    const headers = (await page.request.get(base + path)).headersArray();
    const values = (name) => headers.filter((h) => h.name.toLowerCase() === name).map((h) => h.value);
    assert.deepEqual(values('x-content-type-options'), ['nosniff'], path);
    assert.deepEqual(values('content-security-policy'), ["frame-ancestors 'self'"], path);
    assert.deepEqual(values('x-frame-options'), ['SAMEORIGIN'], path);
    assert.deepEqual(values('cache-control'), [cacheControl], path);
  }
});

if (process.env.SCREENSHOT) await page.screenshot({ path: process.env.SCREENSHOT, fullPage: true });
await finish();
