// Small helpers shared by the load, fault and benchmark scripts.
import http from 'node:http';
import net from 'node:net';

export const base = process.env.BASE_URL;
export const agent = new http.Agent({ keepAlive: true, maxSockets: 64 });

// One POST of the calculator form (to another server with `server`); resolves to
// { status, body, ms }. A kept-alive connection that the server closed as idle just as the
// request went out ends in ECONNRESET before anything was read; such a request is sent once
// more on a new connection, as browsers do.
export function post(fields, { path = '/calc', server = base } = {}) {
  return postOnce(fields, path, server).catch((e) =>
    e.reusedSocket && e.code === 'ECONNRESET' ? postOnce(fields, path, server) : Promise.reject(e));
}

function postOnce(fields, path, server) {
  const body = new URLSearchParams(fields).toString();
  return new Promise((resolve, reject) => {
    const started = process.hrtime.bigint();
    const request = http.request(server + path, {
      method: 'POST', agent,
      headers: { 'Content-Type': 'application/x-www-form-urlencoded', 'Content-Length': Buffer.byteLength(body) },
    }, (response) => {
      const chunks = [];
      response.on('data', (c) => chunks.push(c));
      response.on('end', () => resolve({
        status: response.statusCode,
        body: Buffer.concat(chunks).toString('latin1'),
        ms: Number(process.hrtime.bigint() - started) / 1e6,
      }));
    });
    request.on('error', (e) => reject(Object.assign(e, { reusedSocket: request.reusedSocket })));
    request.end(body);
  });
}

// The text of <output id="x"> of an answer page.
export function answerX(body) {
  const m = /<output id="x">([^<]*)<\/output>/.exec(body);
  return m ? m[1] : null;
}

// A frame of the channel: length of type and payload (big-endian), type, payload.
export function frame(type, payload = '') {
  const data = Buffer.from(payload, 'latin1');
  const header = Buffer.alloc(5);
  header.writeUInt32BE(data.length + 1, 0);
  header.write(type, 4, 'latin1');
  return Buffer.concat([header, data]);
}

// Connects to the channel, writes bytes, and resolves to { closed, frames } after the gateway
// closes the connection or waitMs passes.
export function talk(bytes, waitMs = 1500) {
  return new Promise((resolve, reject) => {
    const socket = net.createConnection(process.env.OSTRAVEL_CHANNEL);
    let received = Buffer.alloc(0);
    let done = false;
    const finish = (closed) => {
      if (done) return;
      done = true;
      socket.destroy();
      const frames = [];
      while (received.length >= 4 && received.length >= 4 + received.readUInt32BE(0)) {
        const length = received.readUInt32BE(0);
        frames.push({ type: received.toString('latin1', 4, 5), payload: received.toString('latin1', 5, 4 + length) });
        received = received.subarray(4 + length);
      }
      resolve({ closed, frames });
    };
    socket.on('connect', () => { for (const b of [].concat(bytes)) socket.write(b); });
    socket.on('data', (d) => { received = Buffer.concat([received, d]); });
    socket.on('close', () => finish(true));
    socket.on('error', (e) => (done ? null : reject(e)));
    setTimeout(() => finish(false), waitMs);
  });
}

export function percentile(sorted, p) {
  return sorted[Math.min(sorted.length - 1, Math.floor(p * sorted.length))];
}
