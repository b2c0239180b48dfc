// Formula throughput of the npm package mf-parser for bench/compare: the molar mass of every
// formula of a corpus file, timed inside the process.
//
//   node mf_parser_throughput.mjs MODULE_DIR CORPUS [--masses] [--exact]
//
// Prints "formulas/s N" (best of several passes, at least one second in all) and, with
// --masses, "formula<TAB>mass" per formula first. With --exact the mass is the monoisotopic
// one.
import { createRequire } from 'node:module';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';

const [moduleDir, corpusFile, ...options] = process.argv.slice(2);
const { MF } = createRequire(join(moduleDir, 'noop.js'))('mf-parser');
const corpus = readFileSync(corpusFile, 'latin1').split('\n').map((l) => l.trim()).filter(Boolean);
const info = options.includes('--exact') ? 'monoisotopicMass' : 'mass';
const mass = (formula) => new MF(formula).getInfo()[info];

if (options.includes('--masses')) {
  const lines = corpus.map((f) => { try { return `${f}\t${mass(f)}`; } catch { return `${f}\t0`; } });
  console.log(lines.join('\n'));
}
let best = 0, sink = 0;
const start = process.hrtime.bigint();
for (let pass = 0; pass < 3 || process.hrtime.bigint() - start < 1_000_000_000n; pass++) {
  const passStart = process.hrtime.bigint();
  for (const f of corpus) sink += mass(f);
  const seconds = Number(process.hrtime.bigint() - passStart) / 1e9;
  best = Math.max(best, corpus.length / seconds);
}
console.log(`formulas/s ${best.toFixed(0)}`);
console.error(`${corpus.length} formulas (checksum ${sink.toPrecision(6)})`);
