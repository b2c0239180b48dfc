#!/usr/bin/env python3
"""Writes the formula corpus that bench/compare gives Ostravel and its peers: 10,000 realistic
molecular formulas, one a line, the same on every run (fixed seed).

Only syntax that every program compared reads the same way: element symbols with counts
(integers, and a few fractional counts of non-stoichiometric solids) and nested parentheses
with counts. Hydrates are written as a group, CuSO4(H2O)5, since the dot notation means a
decimal point to one peer and a mixture "+" a charge to another.

    formula_corpus.py [COUNT] > corpus.txt
"""
import random
import re
import sys

# Real compounds: salts, acids, minerals, coordination compounds, organics, biomolecules.
BASE = [
    "H2O", "CO2", "NaCl", "KCl", "C6H12O6", "H2SO4", "HNO3", "H3PO4", "CaCO3", "NH3",
    "CH3COOH", "C2H5OH", "KMnO4", "K2Cr2O7", "Fe2O3", "Fe3O4", "Ca(OH)2", "Mg(OH)2",
    "Al2(SO4)3", "(NH4)2SO4", "Ca3(PO4)2", "Pb(NO3)2", "K4(Fe(CN)6)", "K3(Fe(CN)6)",
    "C12H22O11", "C8H10N4O2", "C9H8O4", "Cu(NH3)4SO4", "NaHCO3", "Na2CO3", "Na2S2O3",
    "Na2B4O7", "KAl(SO4)2", "Mg3(Si4O10)(OH)2", "Ca5(PO4)3(OH)", "Ba(OH)2", "UO2(NO3)2",
    "C6H5NO2", "(CH3)3COH", "C27H46O", "C20H25N3O", "C10H16N5O13P3", "C55H72MgN4O5",
    "C63H88CoN14O14P", "Co(NH3)6Cl3", "Pt(NH3)2Cl2", "Ni(CO)4", "Fe(C5H5)2",
    "Cr(C6H6)2", "Zn(C2H3O2)2", "Cu2(OH)2CO3", "Be3Al2(SiO3)6", "Al2Si2O5(OH)4",
    "KAlSi3O8", "NaAlSi3O8", "CaMg(CO3)2", "Mg2SiO4", "ZrSiO4", "TiO2", "SiO2",
    "YBa2Cu3O7", "Bi2Sr2CaCu2O8", "LiFePO4", "LiCoO2", "Li4Ti5O12", "CdTe", "GaAs",
    "InP", "CH3(CH2)16COOH", "C3H5(OH)3", "CH3CH(OH)COOH", "HOOC(CH2)4COOH",
    "(C6H10O5)10", "C2H4(NH2)2", "Na3C6H5O7", "C17H35COONa", "KNaC4H4O6", "Ag(NH3)2NO3",
    "HgCl2", "Hg2Cl2", "SnCl4", "SbCl5", "WO3", "MoS2", "Re2O7", "OsO4", "IrCl3",
    "AuCl3", "Tl2SO4", "Cs2CO3", "RbI", "SrCl2", "Gd2O3", "Nd2Fe14B", "SmCo5",
    "La(NO3)3", "Ce(SO4)2", "Eu2O3", "Yb2O3", "Er2O3", "ThO2", "Fe0.95O", "La0.7Sr0.3MnO3",
]
# Water of crystallisation that real salts carry.
HYDRATED = ["CuSO4", "MgSO4", "Na2CO3", "CoCl2", "FeSO4", "KAl(SO4)2", "Na2S2O3", "BaCl2",
            "CaSO4", "ZnSO4", "NiCl2", "Ba(OH)2", "UO2(NO3)2", "Na2B4O7", "Cr(NO3)3",
            "Al(NO3)3", "MnCl2", "SrCl2", "AlCl3", "CaCl2"]


def vary(rng, formula):
    """A variation of a real formula, as a chemist types formulas every day."""
    kind = rng.randrange(6)
    if kind == 0:  # a salt with its water of crystallisation
        return rng.choice(HYDRATED) + "(H2O)" + str(rng.randint(1, 12))
    if kind == 1 and "." not in formula:  # another count, as in a homologous compound
        counts = list(re.finditer(r"\d+", formula))
        if counts:
            m = rng.choice(counts)
            return formula[:m.start()] + str(rng.randint(2, 12)) + formula[m.end():]
    if kind == 2:  # a repeating unit
        return "(" + formula + ")" + str(rng.randint(2, 6))
    if kind == 3:  # an adduct with ligands or solvent
        return formula + rng.choice(["(NH3)", "(CO)", "(C2H5OH)", "(C5H5N)", "(CH3CN)"]) + \
            str(rng.randint(1, 6))
    if kind == 4:  # a chain compound: alkyl halides, alcohols, amines, acids
        n = rng.randint(1, 40)
        return "C" + str(n) + "H" + str(2 * n + 1) + rng.choice(["Cl", "Br", "I", "F", "OH",
                                                                   "NH2", "COOH", "SH"])
    return formula


def main():
    count = int(sys.argv[1]) if len(sys.argv) > 1 else 10000
    rng = random.Random(20240607)
    for _ in range(count):
        print(vary(rng, rng.choice(BASE)))


if __name__ == "__main__":
    main()
