// The figures of the service that scripts/bench-web and scripts/load-test report:
// - the sustained rate of calculation requests through lighttpd beside the rate of the same
//   lighttpd running a CGI program that prints a fixed page (FIXED_URL), the cost of the CGI
//   hop itself, with their ratio and the median and 99th percentile of the round trips;
// - how long a concurrent 1+1 waits while a request at each limit is worked, and while
//   clients guess passwords as fast as they are answered.
import { post, answerX, percentile } from './web_client.mjs';

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const fixedServer = process.env.FIXED_URL;

// The error field of an answer page, as text.
export function answerError(body) {
  const m = /<div class="error" id="err">([\s\S]*?)<\/div>/.exec(body);
  return m ? m[1].replace(/<br>/g, ' ').trim() : null;
}
// The error field of a contribution answer.
export function contributionError(body) {
  const m = /id="err" role="status">([\s\S]*?)<\/div>/.exec(body);
  return m ? m[1].trim() : null;
}

const ms = (v) => `${v.toFixed(1)} ms`;

// `requests` requests from `clients` clients at once; every answer is checked.
async function sustained(server, requests, clients, fieldsOf, check) {
  let next = 0;
  const times = [];
  const started = process.hrtime.bigint();
  const worker = async () => {
    while (next < requests) {
      const i = next++;
      const r = await post(fieldsOf(i), { server });
      if (!check(r, i)) throw new Error(`wrong answer ${i} from ${server}: ${r.status} ${r.body.slice(0, 200)}`);
      times.push(r.ms);
    }
  };
  await Promise.all(Array.from({ length: clients }, worker));
  const seconds = Number(process.hrtime.bigint() - started) / 1e9;
  times.sort((a, b) => a - b);
  return { rate: requests / seconds, median: percentile(times, 0.5), p99: percentile(times, 0.99) };
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// The calculator and the yardstick in turns, `rounds` times, so that both meet the same load
// of the machine; the figures are the medians of the rounds.
export async function sideBySide({ requests = 1000, clients = 32, rounds = 7, log = console.log }) {
  const fixedFields = () => ({ CALC: '1+1', nsig: '0' });
  const calcFields = (i) => ({ NM: '1', M1: String(i), N1: 'n', CALC: 'M1+1', nsig: '0' });
  const fixedOk = (r) => r.status === 200 && answerX(r.body) === '2';
  const calcOk = (r, i) => r.status === 200 && answerX(r.body) === String(i + 1);
  await sustained(fixedServer, 200, clients, fixedFields, fixedOk);  // warm up
  await sustained(undefined, 200, clients, calcFields, calcOk);
  const fixed = [], calc = [], ratios = [];
  for (let round = 1; round <= rounds; round++) {
    // Each goes first in every other round, so that neither meets the machine's load alone.
    let f, c;
    if (round % 2) {
      f = await sustained(fixedServer, requests, clients, fixedFields, fixedOk);
      c = await sustained(undefined, requests, clients, calcFields, calcOk);
    } else {
      c = await sustained(undefined, requests, clients, calcFields, calcOk);
      f = await sustained(fixedServer, requests, clients, fixedFields, fixedOk);
    }
    fixed.push(f);
    calc.push(c);
    ratios.push(c.rate / f.rate);
    log(`round ${round}: fixed page ${f.rate.toFixed(1)}/s (median ${ms(f.median)}, p99 ${ms(f.p99)}), ` +
        `calculation ${c.rate.toFixed(1)}/s (median ${ms(c.median)}, p99 ${ms(c.p99)}), ratio ${(c.rate / f.rate).toFixed(2)}`);
  }
  const figures = {
    fixedRate: median(fixed.map((f) => f.rate)), calcRate: median(calc.map((c) => c.rate)),
    fixedMedian: median(fixed.map((f) => f.median)), fixedP99: median(fixed.map((f) => f.p99)),
    calcMedian: median(calc.map((c) => c.median)), calcP99: median(calc.map((c) => c.p99)),
    ratio: median(ratios),
  };
  log(`sustained with ${clients} clients, ${requests} requests a round, medians of ${rounds} rounds:`);
  log(`  lighttpd + fixed-page CGI: ${figures.fixedRate.toFixed(1)} requests/s, ` +
      `round trip median ${ms(figures.fixedMedian)}, p99 ${ms(figures.fixedP99)}`);
  log(`  lighttpd + ostravel-link + gateway: ${figures.calcRate.toFixed(1)} requests/s, ` +
      `round trip median ${ms(figures.calcMedian)}, p99 ${ms(figures.calcP99)}`);
  log(`  ratio ${figures.ratio.toFixed(2)} (goal: at least 0.6)`);
  return figures;
}

const account = { user: 'limits@example.org', name: 'Limit Tester', pass: 'Limits-Pass-1' };

// A request at each limit of docs/gateway.md, with the answer it must get.
function limitRequests() {
  const pieces = Array.from({ length: 1000 }, (_, i) => `MW(CuSO4.5H2O)*<R>+${i}`).join(';');
  const lines = Array.from({ length: 1000 }, (_, i) => `L${i}=${i}.5|limit line ${i}`).join('\n');
  return [
    ['a line of 1,000 calculations, the most a line may hold', { CALC: pieces, nsig: '0' },
     (r) => r.status === 200 && answerError(r.body) === '' && answerX(r.body) !== null],
    ['a line of 1,001 calculations, refused', { CALC: pieces + ';1', nsig: '0' },
     (r) => r.status === 200 && /takes at most 1000/.test(answerError(r.body))],
    ['an equation that needs more than the 500 ms a calculation may take',
     { CALC: `${'x+'.repeat(40000)}x=2`, nsig: '0' },
     (r) => r.status === 200 && /took longer than the 500 ms/.test(answerError(r.body))],
    ['a change request of 1,000 definition lines, the most one may hold',
     { MODIFY: lines, ...account, type: 'Limits', pre: 'LIM', GO: 'Store My Definitions' },
     (r) => r.status === 200 && contributionError(r.body) === 'SUCCESS!'],
  ];
}

// While each request at a limit is worked, a 1+1 sent 20 ms after it must be answered within
// 1 s. Returns the problems found: wrong answers, and with `enforce` missed times too.
export async function limitProbe({ log = console.log, enforce = false } = {}) {
  const problems = [];
  for (const [name, fields, check] of limitRequests()) {
    const limited = post(fields);
    await sleep(20);
    const quick = await post({ CALC: '1+1', nsig: '0' });
    const slow = await limited;
    if (!check(slow)) problems.push(`${name}: unexpected answer ${slow.status} ${slow.body.slice(0, 300)}`);
    if (quick.status !== 200 || answerX(quick.body) !== '2') problems.push(`${name}: 1+1 answered ${quick.status}`);
    const met = quick.ms < 1000;
    if (enforce && !met) problems.push(`${name}: 1+1 took ${ms(quick.ms)}`);
    log(`${met ? 'ok  ' : 'SLOW'} 1+1 answered in ${ms(quick.ms)} while ${name} took ${ms(slow.ms)}`);
  }
  return problems;
}

// Clients guess the password of an account as fast as they are answered; meanwhile a 1+1 is
// sent every 50 ms. Reports the guesses answered, how they were refused, and the 1+1 times.
export async function guessingFlood({ clients = 8, seconds = 3, log = console.log, enforce = false } = {}) {
  const problems = [];
  const owner = { MODIFY: '', ...account, user: 'guessed@example.org', GO: 'List My Contributions' };
  await post(owner);  // makes the account
  const refusals = new Map();
  let guesses = 0;
  const end = Date.now() + seconds * 1000;
  const guesser = async (c) => {
    for (let i = 0; Date.now() < end; i++) {
      const r = await post({ ...owner, pass: `guess-${c}-${i}` });
      guesses++;
      const err = contributionError(r.body) ?? `status ${r.status}`;
      const kind = err.replace(/\d+ (second|minute)s?/g, 'N $1s');
      refusals.set(kind, (refusals.get(kind) ?? 0) + 1);
      if (err === 'SUCCESS!') problems.push(`a guess signed in: ${r.body.slice(0, 200)}`);
    }
  };
  const times = [];
  const prober = async () => {
    while (Date.now() < end) {
      const r = await post({ CALC: '1+1', nsig: '0' });
      if (r.status !== 200 || answerX(r.body) !== '2') problems.push(`1+1 answered ${r.status} during the flood`);
      times.push(r.ms);
      await sleep(50);
    }
  };
  await Promise.all([...Array.from({ length: clients }, (_, c) => guesser(c)), prober()]);
  times.sort((a, b) => a - b);
  log(`${guesses} password guesses from ${clients} clients in ${seconds} s (${(guesses / seconds).toFixed(1)}/s):`);
  for (const [kind, count] of refusals) log(`  ${count} x ${kind}`);
  log(`1+1 during the flood: median ${ms(percentile(times, 0.5))}, p99 ${ms(percentile(times, 0.99))}, ` +
      `slowest ${ms(times.at(-1))} (${times.length} sent)`);
  if (enforce && percentile(times, 0.99) >= 1000) problems.push(`1+1 p99 ${ms(percentile(times, 0.99))} during the flood`);
  return problems;
}
