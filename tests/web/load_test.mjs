// The long load run of scripts/load-test: LOAD_REQUESTS (default 10,000) requests from
// LOAD_CLIENTS (default 16) clients through lighttpd, one in four malformed; prints the
// gateway's memory after every thousand requests and fails on any wrong or missing answer.
import { mixedLoad, memoryOf } from './mixed_load.mjs';

const requests = Number(process.env.LOAD_REQUESTS || 10000);
const clients = Number(process.env.LOAD_CLIENTS || 16);
const gateway = Number(process.env.GATEWAY_PID);

const before = memoryOf(gateway);
console.log(`gateway before the load: VmRSS ${before.rss} KiB, VmHWM ${before.hwm} KiB`);
const result = await mixedLoad({ requests, clients, gatewayPid: gateway, log: console.log });
console.log(`${requests} requests (${result.malformedCount} malformed) from ${clients} clients in ` +
            `${result.seconds.toFixed(1)} s: ${(requests / result.seconds).toFixed(1)} requests/s`);
for (const [name, count] of result.kinds) console.log(`  malformed, ${name}: ${count}`);
const at = (n) => result.samples.find((s) => s.requests === n);
for (const n of [1000, requests]) {
  const s = at(n);
  if (s) console.log(`peak RSS at ${n} requests: ${s.hwm} KiB (VmRSS ${s.rss} KiB)`);
}
for (const p of result.problems.slice(0, 20)) console.log(`problem: ${p}`);
console.log(`${requests - result.problems.length} passed, ${result.problems.length} failed`);
process.exit(result.problems.length === 0 ? 0 : 1);
