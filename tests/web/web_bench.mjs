// Benchmark of the web version through lighttpd: the round trip of single requests one after
// another; the sustained rate with 32 clients beside lighttpd's rate with a fixed-page CGI
// program (FIXED_URL), with the ratio of the two; the gateway alone on its channel; a 1+1
// while a request at each limit is worked; calculations during a password-guessing flood.
// Exits 1 when a goal is missed: the ratio at least 0.6, the 1+1 within 1 s.
import { post, answerX, percentile } from './web_client.mjs';
import { sideBySide, limitProbe, guessingFlood } from './service_figures.mjs';

const rounds = Number(process.env.BENCH_ROUNDS || 300);
const sustained = Number(process.env.BENCH_REQUESTS || 1000);
const clients = Number(process.env.BENCH_CLIENTS || 32);
const problems = [];

for (let i = 0; i < 20; i++) await post({ CALC: '1+1' });  // warm up

const times = [];
for (let i = 0; i < rounds; i++) {
  const r = await post({ CALC: `${i}*2`, nsig: '0' });
  if (r.status !== 200 || answerX(r.body) !== String(i * 2)) throw new Error(`bad answer ${i}`);
  times.push(r.ms);
}
times.sort((a, b) => a - b);
console.log(`round trip, ${rounds} sequential requests: median ${percentile(times, 0.5).toFixed(1)} ms, ` +
            `p99 ${percentile(times, 0.99).toFixed(1)} ms, min ${times[0].toFixed(1)} ms`);

const figures = await sideBySide({ requests: sustained, clients, rounds: Number(process.env.BENCH_SIDE_ROUNDS || 7) });
if (figures.ratio < 0.6) problems.push(`ratio ${figures.ratio.toFixed(2)} below 0.6`);
// The gateway alone: commands straight on the channel, as fast as it takes them.
{
  const net = await import('node:net');
  const { frame } = await import('./web_client.mjs');
  const count = 500;
  const socket = net.createConnection(process.env.OSTRAVEL_CHANNEL);
  await new Promise((r) => socket.on('connect', r));
  socket.write(frame('A', '30000'));
  let notices = 0, buffer = Buffer.alloc(0), first = 0n;
  const done = new Promise((resolve) => socket.on('data', (d) => {
    buffer = Buffer.concat([buffer, d]);
    while (buffer.length >= 4 && buffer.length >= 4 + buffer.readUInt32BE(0)) {
      const length = buffer.readUInt32BE(0);
      if (buffer.toString('latin1', 4, 5) === 'N' && ++notices === 1) first = process.hrtime.bigint();
      buffer = buffer.subarray(4 + length);
      if (notices === count) resolve();
    }
  }));
  for (let i = 0; i < count; i++) socket.write(frame('E', `30000 GET /calc?ID=${i}&CALC=${i}*2 HTTP/1.1`));
  await done;
  const seconds = Number(process.hrtime.bigint() - first) / 1e9;
  console.log(`gateway alone, ${count} queued commands on the channel: ` +
              `${((count - 1) / seconds).toFixed(1)} answers/s`);
  socket.destroy();
}

problems.push(...await limitProbe({ enforce: true }));
problems.push(...await guessingFlood({ enforce: true }));
for (const p of problems) console.log(`problem: ${p}`);
console.log(problems.length === 0 ? 'every goal met' : `${problems.length} goals missed`);
process.exit(problems.length === 0 ? 0 : 1);
