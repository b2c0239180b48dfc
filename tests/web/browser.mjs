// The headless Chromium that the browser tests drive through playwright-core: one page in a
// profile of its own, a dialog or a script error on the page fails the step it happens in,
// and each step reports "ok" or "FAIL" with the reason.
import { createRequire } from 'node:module';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import assert from 'node:assert/strict';

const require = createRequire(import.meta.url);
const { chromium } = require(process.env.PLAYWRIGHT_CORE);

// Starts Chromium; resolves to { context, page, step, finish }.
export async function openBrowser() {
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
  // A GET on a kept-alive connection that lighttpd closes as idle at that moment ends in
  // "socket hang up"; a browser sends such a request once more, and so does this one.
  const get = page.request.get.bind(page.request);
  page.request.get = async (url, options) => {
    try {
      return await get(url, options);
    } catch (e) {
      if (!/socket hang up|ECONNRESET/.test(String(e.message))) throw e;
      return get(url, options);
    }
  };

  let passed = 0, failed = 0;
  // Runs one named step; a failure is reported and counted, and the next step still runs.
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
  // Closes the browser, removes its profile, reports the count and exits: 1 when a step failed.
  async function finish() {
    await context.close();
    rmSync(profile, { recursive: true, force: true });
    console.log(`${passed} passed, ${failed} failed`);
    process.exit(failed === 0 ? 0 : 1);
  }
  return { context, page, step, finish };
}
