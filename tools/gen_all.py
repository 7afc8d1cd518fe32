#!/usr/bin/python3
"""Regenerates every table of data/ (the build itself never runs Python)."""
import gen_frames
import gen_glycol
import gen_glycols
import gen_oils
import gen_steel
import gen_water

if __name__ == "__main__":
    for gen in (gen_water, gen_glycol, gen_glycols, gen_oils, gen_steel, gen_frames):
        gen.main()
