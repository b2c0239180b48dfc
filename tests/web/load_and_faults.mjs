// Faults: a client killed while it waits, garbage on the channel, requests over the size
// limit, a gateway that does not answer in time, and a gateway that is gone. (The load of many
// clients with malformed requests among them is load_test.mjs.)
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { readFileSync, writeFileSync } from 'node:fs';
import { post, answerX, frame, talk } from './web_client.mjs';

let passed = 0, failed = 0;
async function step(name, body) {
  try {
    await body();
    console.log(`ok   ${name}`);
    passed++;
  } catch (e) {
    console.log(`FAIL ${name}\n     ${String(e.stack || e.message).split('\n').join('\n     ')}`);
    failed++;
  }
}
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const gateway = Number(process.env.GATEWAY_PID);

async function healthy() {
  const r = await post({ CALC: '6*7', nsig: '0' });
  assert.equal(r.status, 200);
  assert.equal(answerX(r.body), '42');
}

// A sanitized build reports with the options the test suite runs under.
const sanitizerOptions = Object.fromEntries(['ASAN_OPTIONS', 'UBSAN_OPTIONS', 'LSAN_OPTIONS']
  .filter((name) => process.env[name]).map((name) => [name, process.env[name]]));

// Runs ostravel-link as the web server would, with its own environment.
function runLink(env, input = '') {
  const child = spawn(process.env.OSTRAVEL_LINK, [], {
    env: { OSTRAVEL_REGISTER: process.env.OSTRAVEL_REGISTER, OSTRAVEL_CHANNEL: process.env.OSTRAVEL_CHANNEL,
           SCRIPT_NAME: '/calc', SERVER_PROTOCOL: 'HTTP/1.1', ...sanitizerOptions, ...env },
  });
  const done = new Promise((resolve) => {
    const out = [];
    child.stdout.on('data', (d) => out.push(d));
    child.on('close', (code, signal) => resolve({ code, signal, out: Buffer.concat(out).toString('latin1') }));
  });
  child.stdin.on('error', () => {});  // a client that answers without reading its input
  child.stdin.end(input);
  return { child, done };
}

await step('ostravel-link run directly answers a request and exits cleanly', async () => {
  const r = await runLink({ REQUEST_METHOD: 'GET', QUERY_STRING: 'CALC=6%2A7&nsig=0' }).done;
  assert.equal(r.code, 0);
  assert.match(r.out, /^Status: 200 /);
  assert.equal(answerX(r.out), '42');
});

await step('a client killed while it waits leaves the gateway healthy', async () => {
  process.kill(gateway, 'SIGSTOP');  // the client is surely waiting for its answer
  const { child, done } = runLink({ REQUEST_METHOD: 'GET', QUERY_STRING: 'CALC=1%2B1' });
  await sleep(300);
  child.kill('SIGKILL');
  const result = await done;
  process.kill(gateway, 'SIGCONT');
  assert.equal(result.signal, 'SIGKILL');
  await healthy();
});

await step('garbage and malformed frames on the channel are dropped without harm', async () => {
  const cases = [
    ['random bytes', Buffer.from('GET / HTTP/1.1\r\nHost: x\r\n\r\n')],
    ['zero length', Buffer.from([0, 0, 0, 0])],
    ['length over the cap', Buffer.from([0xff, 0xff, 0xff, 0xff, 0x45])],
    ['unknown type', frame('Z', 'x')],
    ['advise of a slot that is no number', frame('A', '1x')],
    ['request of a slot beyond 16 bits', frame('R', '99999')],
  ];
  for (const [name, bytes] of cases) {
    const { closed } = await talk(bytes);
    assert.equal(closed, true, name);
  }
  // A frame cut short and a connection left behind are harmless too.
  await talk(frame('E', '1 GET /calc?CALC=1 HTTP/1.1').subarray(0, 7), 200);
  await healthy();
});

await step('the channel answers execute, advise and request as documented', async () => {
  const slot = '30001';  // never used by ostravel-link (slots 1..64)
  const { frames } = await talk([frame('A', slot), frame('E', `${slot} GET /calc?ID=4242&CALC=2%2B3 HTTP/1.1`)], 1000);
  assert.deepEqual(frames.slice(0, 2).map((f) => f.type), ['K', 'K']);
  const notice = frames.find((f) => f.type === 'N');
  assert.ok(notice, 'a notice arrives');
  assert.match(notice.payload, new RegExp(`^${slot}\\n.*/linkr${slot}\\.htm,4242,\\d+(\\.\\d+)?$`));
  const { frames: value } = await talk(frame('R', slot), 500);
  assert.equal(value[0].type, 'V');
  assert.equal(value[0].payload, notice.payload);
});

await step('form data holding HTTP keeps its field', async () => {
  const r = await post({ CALC: "1+1 'HTTP/1.1 more", nsig: '0' });
  assert.equal(r.status, 200);
  assert.match(r.body, /id="scalc">1\+1 'HTTP\/1\.1 more</);
  assert.equal(answerX(r.body), '2');
});

await step('a request over the size limit gets 413', async () => {
  const r = await post({ CALC: '1', pad: 'x'.repeat(300 * 1024) });
  assert.equal(r.status, 413);
  await healthy();
});

await step('an unknown method gets 405 and a request without CALC gets 400', async () => {
  const r = await runLink({ REQUEST_METHOD: 'PUT' }).done;
  assert.match(r.out, /^Status: 405 /);
  const empty = await post({ foo: '1' });
  assert.equal(empty.status, 400);
});

await step('a gateway that does not answer in time gives 504', async () => {
  process.kill(gateway, 'SIGSTOP');
  try {
    const started = Date.now();
    const r = await runLink({ REQUEST_METHOD: 'GET', QUERY_STRING: 'CALC=1', OSTRAVEL_LINK_TIMEOUT: '1' }).done;
    assert.match(r.out, /^Status: 504 /);
    assert.ok(Date.now() - started < 5000);  // the deadline and the wait for a withdrawal
  } finally {
    process.kill(gateway, 'SIGCONT');
  }
  await healthy();
});

await step('a change request given up on is withdrawn, never stored after a failure was reported', async () => {
  const contribution = (name) => new URLSearchParams({
    MODIFY: `${name}=1`, user: 'late@example.org', name: 'Late', pass: 'Late-Pass-1', type: 'Late',
    pre: 'LATE', GO: 'Store My Definitions' }).toString();
  const throughLink = (body, timeout) => runLink({ REQUEST_METHOD: 'POST', CONTENT_LENGTH: String(body.length),
    CONTENT_TYPE: 'application/x-www-form-urlencoded', ...(timeout ? { OSTRAVEL_LINK_TIMEOUT: timeout } : {}) }, body).done;
  // Four calculations at the time limit keep the gateway busy for two seconds.
  const busy = Array.from({ length: 4 }, () => post({ CALC: `${'x+'.repeat(40000)}x=2`, nsig: '0' }));
  await sleep(100);
  const late = await throughLink(contribution('WITHDRAWN'), '1');
  assert.match(late.out, /^Status: 504 /);
  assert.match(late.out, /your request was not carried out/);
  // While the gateway is stopped its answer to the withdrawal cannot come: the client says so.
  process.kill(gateway, 'SIGSTOP');
  let unknown;
  try {
    unknown = await throughLink(contribution('UNANSWERED'), '1');
  } finally {
    process.kill(gateway, 'SIGCONT');
  }
  assert.match(unknown.out, /^Status: 504 /);
  assert.match(unknown.out, /may still be carried out/);
  for (const r of await Promise.all(busy)) assert.equal(r.status, 200);
  await healthy();
  const contributed = readFileSync(`${process.env.PROGRAM_FOLDER}/TOLVANEC.INI`, 'latin1');
  assert.ok(!contributed.includes('WITHDRAWN'), 'the withdrawn request stored nothing');
  assert.ok(!contributed.includes('UNANSWERED'), 'the withdrawal came with the command');
  const inTime = await throughLink(contribution('INTIME'));
  assert.match(inTime.out, /^Status: 200 /);
  assert.match(inTime.out, /SUCCESS!/);
  assert.ok(readFileSync(`${process.env.PROGRAM_FOLDER}/TOLVANEC.INI`, 'latin1').includes('INTIME=1'));
});

await step('when Ostravel is stopped, clients get 503 at once', async () => {
  writeFileSync(`${process.env.PROGRAM_FOLDER}/gateway-killed`, '');
  process.kill(gateway, 'SIGKILL');  // leaves its channel behind, as a crash would
  await sleep(200);
  const started = Date.now();
  const r = await post({ CALC: '1' });
  assert.equal(r.status, 503);
  assert.match(r.body, /not running/);
  assert.ok(Date.now() - started < 1000, `answered after ${Date.now() - started} ms`);
});

console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
