// Mixed load through lighttpd: many clients at once, three requests in four well formed (each
// with a result of its own, so that a crossed answer shows), one in four malformed in one of
// many ways. Samples the gateway's memory from /proc as the requests go by.
import http from 'node:http';
import net from 'node:net';
import { readFileSync } from 'node:fs';
import { answerX, base } from './web_client.mjs';

const agent = new http.Agent({ keepAlive: true, maxSockets: 64 });
const url = new URL(base);

// One request with a raw body; resolves to { status, body } or { error } when the server
// closed the connection without an answer. A kept-alive connection that the server closed as
// idle just as the request went out is tried once more on a new one, as browsers do.
async function send(request) {
  const answer = await sendOnce(request);
  return answer.error === 'ECONNRESET' && answer.reusedSocket ? sendOnce(request) : answer;
}

function sendOnce({ method = 'POST', path = '/calc', body = '', headers = {} }) {
  return new Promise((resolve) => {
    const bytes = Buffer.isBuffer(body) ? body : Buffer.from(body, 'latin1');
    const request = http.request(base + path, {
      method, agent,
      headers: method === 'GET' || method === 'HEAD' ? headers : {
        'Content-Type': 'application/x-www-form-urlencoded', 'Content-Length': bytes.length, ...headers,
      },
    }, (response) => {
      const chunks = [];
      response.on('data', (c) => chunks.push(c));
      response.on('end', () => resolve({ status: response.statusCode,
                                         body: Buffer.concat(chunks).toString('latin1') }));
      response.on('error', (e) => resolve({ error: e.code || e.message }));
    });
    request.on('error', (e) => resolve({ error: e.code || e.message, reusedSocket: request.reusedSocket }));
    request.end(method === 'GET' || method === 'HEAD' ? undefined : bytes);
  });
}

// Bytes straight on a TCP connection; resolves to the status of the answer, or 0 when the
// server closed the connection without one.
function sendRaw(bytes, waitMs = 3000) {
  return new Promise((resolve) => {
    const socket = net.createConnection(Number(url.port), url.hostname);
    let received = '';
    const finish = () => {
      socket.destroy();
      const m = /^HTTP\/1\.[01] (\d{3})/.exec(received);
      resolve({ status: m ? Number(m[1]) : 0, body: received });
    };
    socket.on('connect', () => socket.end(bytes));
    socket.on('data', (d) => { received += d.toString('latin1'); });
    socket.on('close', finish);
    socket.on('error', finish);
    setTimeout(finish, waitMs);
  });
}

// A deterministic stream of pseudo-random bytes.
function garbage(seed, length) {
  const bytes = Buffer.alloc(length);
  let state = seed * 2654435761 >>> 0 || 1;
  for (let i = 0; i < length; i++) {
    state ^= state << 13; state >>>= 0;
    state ^= state >>> 17;
    state ^= state << 5; state >>>= 0;
    bytes[i] = state & 0xff;
  }
  return bytes;
}

// The markup some requests carry must come back escaped, never as markup of the page.
const noMarkup = (r) => !/<script>alert|<img src=x/i.test(r.body ?? '');
const isPage = (r) => r.status === 200 && answerX(r.body) !== null && noMarkup(r);

// The malformed requests: one row per kind, each with the answers that are acceptable.
export const malformed = [
  ['bad percent escapes in the form', (i) => send({ body: `CALC=6*7%zz%4%%${i}%&nsig=0` }), isPage],
  // lighttpd refuses a URL with broken escapes itself; ostravel-link sees only valid ones.
  ['bad percent escapes in the query', (i) => send({ method: 'GET', path: `/calc?CALC=%G1%${i}%FF%00%2` }),
   (r) => r.status === 400],
  ['escapes of markup in the query', (i) => send({ method: 'GET', path: `/calc?CALC=1%2B${i}%25%3Cimg%20src%3Dx%3E%26%3D&nsig=0` }),
   isPage],
  ['escapes of control and high bytes in the form', (i) => send({ body: `CALC=1%2B${i}%FF%00%0D%0A%01%1F%7F&nsig=0` }),
   isPage],
  ['no CALC field', (i) => send({ body: `nsig=0&NM=1&M1=${i}` }), (r) => r.status === 400],
  ['empty body', () => send({ body: '' }), (r) => r.status === 400],
  ['binary garbage', (i) => send({ body: garbage(i + 1, 64 + (i % 512)) }),
   (r) => (r.status === 400 || r.status === 200) && noMarkup(r)],
  ['garbage shaped like fields', (i) => send({ body: `&&==&CALC&=${'&='.repeat(i % 50)}CALC==&%` }),
   (r) => (r.status === 400 || r.status === 200) && noMarkup(r)],
  ['markup in the entry line', (i) => send({ body: `CALC=${encodeURIComponent(`<script>alert(${i})</script><img src=x onerror=alert(1)>`)}` }),
   isPage],
  ['entry line that is no calculation', (i) => send({ body: `CALC=${encodeURIComponent(['((1+', '1/0', 'MW(Xx9)', '9^99999', ')))(((', '"unclosed', 'x=', '€ÿ\u0001'][i % 8])}&nsig=0` }),
   (r) => r.status === 200 && noMarkup(r)],
  ['absurd memory fields', (i) => send({ body: `CALC=M1%2B1&NM=${[99999, -3, 'abc', '1e308'][i % 4]}&M1=zz&N1=${'n'.repeat(i % 300)}&nsig=qq&x=--` }),
   (r) => (r.status === 200 || r.status === 400) && noMarkup(r)],
  ['too large for the gateway', () => send({ body: `CALC=1&pad=${'x'.repeat(300 * 1024)}` }), (r) => r.status === 413],
  ['too large for the web server', () => send({ body: `CALC=1&pad=${'x'.repeat(600 * 1024)}` }),
   (r) => r.status === 413 || r.error === 'ECONNRESET' || r.error === 'EPIPE'],
  ['wrong method', (i) => send({ method: ['PUT', 'DELETE', 'PATCH'][i % 3], body: 'CALC=1' }), (r) => r.status === 405],
  ['unknown method', () => send({ method: 'BREW', body: 'CALC=1' }), (r) => r.status === 405 || r.status === 501],
  ['header too large', () => send({ method: 'GET', path: '/calc?CALC=1', headers: { 'X-Pad': 'x'.repeat(70000) } }),
   (r) => r.status === 431 || r.status === 413 || r.status === 400 || r.error === 'ECONNRESET'],
  ['request line that is no HTTP', (i) => sendRaw(`GET /calc?CALC=1 BANANA/${i}\r\n\r\n`),
   (r) => r.status === 0 || (r.status >= 400 && r.status < 500)],
  ['body shorter than announced', () => sendRaw('POST /calc HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: 100\r\n\r\nCALC=1'),
   (r) => r.status === 0 || r.status === 400],
];

// Memory of a process from /proc: current and peak resident set, in KiB.
export function memoryOf(pid) {
  const status = readFileSync(`/proc/${pid}/status`, 'utf8');
  const kib = (name) => Number(new RegExp(`^${name}:\\s+(\\d+) kB`, 'm').exec(status)[1]);
  return { rss: kib('VmRSS'), hwm: kib('VmHWM') };
}

// Whether a process runs with AddressSanitizer, whose quarantine makes its memory grow.
export function sanitized(pid) {
  return /libasan/.test(readFileSync(`/proc/${pid}/maps`, 'utf8'));
}

// Sends `requests` requests from `clients` clients; every fourth is malformed. Returns the
// problems found and the memory of gatewayPid after each `sampleEvery` requests.
export async function mixedLoad({ requests, clients, gatewayPid, sampleEvery = 1000, log = () => {} }) {
  const problems = [];
  const samples = [];
  const kinds = new Map(malformed.map(([name]) => [name, 0]));
  let next = 0, done = 0, malformedCount = 0;
  const started = Date.now();
  const worker = async () => {
    while (next < requests) {
      const i = next++;
      if (i % 4 === 3) {
        const [name, make, acceptable] = malformed[(i >> 2) % malformed.length];
        const r = await make(i);
        malformedCount++;
        kinds.set(name, kinds.get(name) + 1);
        if (!acceptable(r)) problems.push(`${i} (${name}): ${r.error ?? r.status} ${String(r.body).slice(0, 120)}`);
      } else {
        // Memory lines and x travel with the request; a crossed answer gives another number.
        const fields = { NM: '1', M1: String(i), N1: `n${i}`, x: String(i), CALC: `M1*1000+X+${i % 7}`, nsig: '0' };
        const query = new URLSearchParams(fields).toString();
        const r = i % 2 === 0 ? await send({ body: query }) : await send({ method: 'GET', path: `/calc?${query}` });
        const expected = String(i * 1000 + i + (i % 7));
        if (r.status !== 200 || answerX(r.body) !== expected) {
          problems.push(`${i}: ${r.error ?? r.status} ${answerX(r.body ?? '')} instead of ${expected}`);
        }
      }
      if (++done % sampleEvery === 0) {
        const memory = memoryOf(gatewayPid);
        samples.push({ requests: done, ...memory, seconds: (Date.now() - started) / 1000 });
        log(`${done} requests, ${((Date.now() - started) / 1000).toFixed(1)} s: gateway VmRSS ${memory.rss} KiB, VmHWM ${memory.hwm} KiB`);
      }
    }
  };
  await Promise.all(Array.from({ length: clients }, worker));
  return { problems, samples, malformedCount, kinds, seconds: (Date.now() - started) / 1000 };
}
