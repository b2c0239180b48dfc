#!/usr/bin/env node
// Writes data/ISOTOPES.TXT, the isotope table that exact masses, isotope labels and molar-mass
// uncertainties are computed from.
//
//   scripts/isotope-data.mjs [OUTPUT]      (default: data/ISOTOPES.TXT beside this script)
//
// Isotope masses and representative isotopic compositions come from the npm package
// chemical-elements (MIT licence), which carries the NIST compilation "Atomic Weights and
// Isotopic Compositions for All Elements": relative atomic masses of the Atomic Mass
// Evaluation, isotopic compositions of the IUPAC Commission on Isotopic Abundances and Atomic
// Weights (CIAAW). The package is fetched with npm into a temporary folder.
//
// The standard atomic weights with their uncertainties are the IUPAC (CIAAW) abridged table to
// five significant figures (2021), the values the delivered TOLVANE.INI holds; the intervals
// are those of the full table for the elements whose atomic weight varies in nature.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

// Raise the edition whenever the numbers of the table change: a user's data folder holds a
// copy of the table, which the program replaces only with a delivered one of a higher edition.
const edition = 1;
const packageName = 'chemical-elements';
const packageVersion = '2.3.3';
const here = dirname(fileURLToPath(import.meta.url));
const output = process.argv[2] ?? join(here, '..', 'data', 'ISOTOPES.TXT');

// symbol: [abridged standard atomic weight, its uncertainty, interval low, interval high]
// Elements without a standard atomic weight (no stable isotope with a characteristic
// terrestrial composition) are absent.
const standardWeights = {
  H: ['1.0080', '0.0002', '1.00784', '1.00811'], He: ['4.0026', '0.0001'],
  Li: ['6.94', '0.06', '6.938', '6.997'], Be: ['9.0122', '0.0001'],
  B: ['10.81', '0.02', '10.806', '10.821'], C: ['12.011', '0.002', '12.0096', '12.0116'],
  N: ['14.007', '0.001', '14.00643', '14.00728'], O: ['15.999', '0.001', '15.99903', '15.99977'],
  F: ['18.998', '0.001'], Ne: ['20.180', '0.001'], Na: ['22.990', '0.001'],
  Mg: ['24.305', '0.002', '24.304', '24.307'], Al: ['26.982', '0.001'],
  Si: ['28.085', '0.001', '28.084', '28.086'], P: ['30.974', '0.001'],
  S: ['32.06', '0.02', '32.059', '32.076'], Cl: ['35.45', '0.01', '35.446', '35.457'],
  Ar: ['39.95', '0.16', '39.792', '39.963'], K: ['39.098', '0.001'], Ca: ['40.078', '0.004'],
  Sc: ['44.956', '0.001'], Ti: ['47.867', '0.001'], V: ['50.942', '0.001'],
  Cr: ['51.996', '0.001'], Mn: ['54.938', '0.001'], Fe: ['55.845', '0.002'],
  Co: ['58.933', '0.001'], Ni: ['58.693', '0.001'], Cu: ['63.546', '0.003'],
  Zn: ['65.38', '0.02'], Ga: ['69.723', '0.001'], Ge: ['72.630', '0.008'],
  As: ['74.922', '0.001'], Se: ['78.971', '0.008'], Br: ['79.904', '0.003', '79.901', '79.907'],
  Kr: ['83.798', '0.002'], Rb: ['85.468', '0.001'], Sr: ['87.62', '0.01'], Y: ['88.906', '0.001'],
  Zr: ['91.224', '0.002'], Nb: ['92.906', '0.001'], Mo: ['95.95', '0.01'], Ru: ['101.07', '0.02'],
  Rh: ['102.91', '0.01'], Pd: ['106.42', '0.01'], Ag: ['107.87', '0.01'], Cd: ['112.41', '0.01'],
  In: ['114.82', '0.01'], Sn: ['118.71', '0.01'], Sb: ['121.76', '0.01'], Te: ['127.60', '0.03'],
  I: ['126.90', '0.01'], Xe: ['131.29', '0.01'], Cs: ['132.91', '0.01'], Ba: ['137.33', '0.01'],
  La: ['138.91', '0.01'], Ce: ['140.12', '0.01'], Pr: ['140.91', '0.01'], Nd: ['144.24', '0.01'],
  Sm: ['150.36', '0.02'], Eu: ['151.96', '0.01'], Gd: ['157.25', '0.03'], Tb: ['158.93', '0.01'],
  Dy: ['162.50', '0.01'], Ho: ['164.93', '0.01'], Er: ['167.26', '0.01'], Tm: ['168.93', '0.01'],
  Yb: ['173.05', '0.02'], Lu: ['174.97', '0.01'], Hf: ['178.49', '0.01'], Ta: ['180.95', '0.01'],
  W: ['183.84', '0.01'], Re: ['186.21', '0.01'], Os: ['190.23', '0.03'], Ir: ['192.22', '0.01'],
  Pt: ['195.08', '0.02'], Au: ['196.97', '0.01'], Hg: ['200.59', '0.01'],
  Tl: ['204.38', '0.01', '204.382', '204.385'], Pb: ['207.2', '1.1', '206.14', '207.94'],
  Bi: ['208.98', '0.01'], Th: ['232.04', '0.01'], Pa: ['231.04', '0.01'], U: ['238.03', '0.01'],
};

const work = mkdtempSync(join(tmpdir(), 'isotope-data-'));
let elements;
try {
  execFileSync('npm', ['install', '--prefix', work, '--no-save', '--no-audit', '--no-fund',
    '--loglevel=error', `${packageName}@${packageVersion}`], { stdio: 'inherit' });
  elements = createRequire(join(work, 'noop.js'))(packageName).elementsAndIsotopes;
} finally {
  rmSync(work, { recursive: true, force: true });
}

const lines = [
  '# Ostravel isotope data: isotope masses, isotopic compositions and standard atomic weights.',
  '#',
  '# Isotope masses (u, relative to 12C = 12 exactly) are those of the Atomic Mass Evaluation and',
  '# the isotopic compositions (amount fractions) the representative ones of IUPAC (CIAAW), as',
  '# compiled by NIST in "Atomic Weights and Isotopic Compositions for All Elements"; taken from',
  `# the npm package ${packageName} ${packageVersion} (MIT licence, cheminfo).`,
  '# Standard atomic weights and uncertainties: IUPAC (CIAAW) abridged table, 2021; intervals',
  '# from the full table for elements whose atomic weight varies in nature.',
  '# Written by scripts/isotope-data.mjs; do not edit by hand.',
  '#',
  '# [StandardAtomicWeights] lines: symbol, value, uncertainty, interval low, interval high',
  '# [Isotopes] lines: symbol, mass number, mass in u, natural abundance (empty when none)',
  '# Fields are separated by tabs. The edition rises whenever the numbers change, so that a',
  "# newer delivered table replaces an older copy in a user's data folder.",
  '',
  '[Edition]',
  String(edition),
  '',
  '[StandardAtomicWeights]',
];
for (const element of elements) {
  const weight = standardWeights[element.symbol];
  if (weight) lines.push([element.symbol, ...weight].join('\t'));
}
lines.push('', '[Isotopes]');
for (const element of elements) {
  for (const isotope of element.isotopes) {
    lines.push([element.symbol, isotope.nominal, isotope.mass, isotope.abundance ?? ''].join('\t'));
  }
}
writeFileSync(output, lines.join('\n') + '\n', 'latin1');
console.log(`${output}: ${Object.keys(standardWeights).length} standard atomic weights, ` +
            `${elements.reduce((n, e) => n + e.isotopes.length, 0)} isotopes`);
