// Load through lighttpd: LOAD_REQUESTS (default 10,000) requests from LOAD_CLIENTS (default
// 16) clients, one in four malformed; then the figures of service_figures.mjs. Every well-formed request must get its own result, every
// malformed one an answer that fits it, and the gateway's memory must stay flat; prints the
// gateway's memory after every thousand requests. The test suite runs it with 2,000 requests,
// scripts/load-test with 10,000. The gateway is stopped normally afterwards, so that in a
// sanitized build its leak check covers all these requests.
import { mixedLoad, memoryOf, sanitized } from './mixed_load.mjs';
import { sideBySide, limitProbe, guessingFlood } from './service_figures.mjs';

const requests = Number(process.env.LOAD_REQUESTS || 10000);
const clients = Number(process.env.LOAD_CLIENTS || 16);
const gateway = Number(process.env.GATEWAY_PID);

const before = memoryOf(gateway);
console.log(`gateway before the load: VmRSS ${before.rss} KiB, VmHWM ${before.hwm} KiB`);
const result = await mixedLoad({ requests, clients, gatewayPid: gateway, log: console.log });
console.log(`${requests} requests (${result.malformedCount} malformed) from ${clients} clients in ` +
            `${result.seconds.toFixed(1)} s: ${(requests / result.seconds).toFixed(1)} requests/s`);
for (const [name, count] of result.kinds) console.log(`  malformed, ${name}: ${count}`);
const problems = [...result.problems];
if (result.malformedCount !== Math.floor(requests / 4)) problems.push(`${result.malformedCount} malformed requests sent`);
for (const [name, count] of result.kinds) if (count === 0) problems.push(`no request of the kind "${name}" sent`);

// Memory stays flat: after the first thousand requests the peak grows by little. (With
// AddressSanitizer freed memory waits in a quarantine and the leak check covers the build.)
const first = result.samples[0], last = result.samples.at(-1);
for (const s of [first, last]) console.log(`peak RSS at ${s.requests} requests: ${s.hwm} KiB (VmRSS ${s.rss} KiB)`);
if (!sanitized(gateway) && last.hwm - first.hwm >= 4096) {
  problems.push(`peak RSS grew from ${first.hwm} KiB to ${last.hwm} KiB`);
}
// The figures of the service beside the load: the rate against lighttpd's with a fixed page,
// 1+1 while a request at each limit is worked, and during a password-guessing flood. Their
// times are reported (scripts/bench-web holds them to their goals); wrong answers count.
await sideBySide({ requests: Number(process.env.LOAD_SIDE_REQUESTS || 500), rounds: 3 });
problems.push(...await limitProbe());
problems.push(...await guessingFlood());
for (const p of problems.slice(0, 20)) console.log(`problem: ${p}`);
console.log(`${requests - result.problems.length} passed, ${problems.length} failed`);
process.exit(problems.length === 0 ? 0 : 1);
