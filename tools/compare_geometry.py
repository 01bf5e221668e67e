#!/usr/bin/env python3
"""Compare `kestro report geometry` with a refinement's own _geom_bond and
_geom_angle loops.

usage: compare_geometry.py KESTRO CIF...

Rows are matched by labels (case ignored) and symmetry codes; a bond also
matches with its two atoms the other way round when both codes are '.', an
angle with its ends swapped. For each file: the CIF's bonds and angles, how
many we find, how many values agree at the CIF's printed precision, how many
s.u. lie within one unit of the CIF's last digit (of those the CIF gives),
and the rows of each kind that differ.
"""
import re
import shlex
import subprocess
import sys


def tokens(text):
    out = []
    for line in text.splitlines():
        if line.startswith(';'):
            out.append(None)  # text fields do not hold the loops compared
            continue
        line = line.split('#', 1)[0] if not re.search(r"'[^']*#", line) else line
        try:
            out.extend(shlex.split(line, posix=True))
        except ValueError:
            out.extend(line.split())
    return [t for t in out if t is not None]


def loops(text):
    """{first tag: (tags, rows)} of every loop."""
    toks = tokens(text)
    found = {}
    i = 0
    while i < len(toks):
        if toks[i].lower() == 'loop_':
            i += 1
            tags = []
            while i < len(toks) and toks[i].startswith('_'):
                tags.append(toks[i].lower())
                i += 1
            values = []
            while i < len(toks) and not toks[i].startswith('_') and toks[i].lower() != 'loop_' \
                    and not toks[i].lower().startswith('data_'):
                values.append(toks[i])
                i += 1
            rows = [values[k:k + len(tags)] for k in range(0, len(values) - len(tags) + 1, len(tags))]
            for tag in tags:
                found[tag] = (tags, rows)
        else:
            i += 1
    return found


def number(text):
    """(value, su, decimals) of '1.542(3)'; su None when not given."""
    m = re.match(r'^([-+]?\d*\.?\d*)(?:\((\d+)\))?$', text)
    if not m or m.group(1) in ('', '.', '-', '+'):
        return None
    value = m.group(1)
    decimals = len(value.split('.')[1]) if '.' in value else 0
    su = int(m.group(2)) * 10 ** -decimals if m.group(2) else None
    return float(value), su, decimals


def normal_code(code):
    """'8' is 8_555 and 1_555 the identity (operator 1 is x,y,z)."""
    if code in ('?', '.'):
        return '.'
    if '_' not in code:
        code += '_555'
    return '.' if code == '1_555' else code


def table(found, prefix, labels, value_tag, codes):
    if value_tag not in found:
        return {}
    tags, rows = found[value_tag]
    col = {t: k for k, t in enumerate(tags)}
    out = {}
    for row in rows:
        key_labels = tuple(row[col[prefix + l]].upper() for l in labels)
        key_codes = tuple(normal_code(row[col[prefix + c]] if prefix + c in col else '.') for c in codes)
        parsed = number(row[col[value_tag]])
        if parsed:
            out[(key_labels, key_codes)] = parsed
    return out


def find(ours, key, kind):
    if key in ours:
        return ours[key]
    labels, codes = key
    if kind == 'bond' and codes == ('.',):
        return ours.get(((labels[1], labels[0]), codes))
    if kind == 'angle':
        return ours.get(((labels[2], labels[1], labels[0]), (codes[1], codes[0])))
    return None


def compare(kestro, path):
    theirs_text = open(path, encoding='utf-8', errors='replace').read()
    result = subprocess.run([kestro, 'report', 'geometry', path, '-o', '-'], capture_output=True, text=True)
    theirs, ours = loops(theirs_text), loops(result.stdout)
    kinds = {
        'bond': ('_geom_bond_', ('atom_site_label_1', 'atom_site_label_2'), '_geom_bond_distance',
                 ('site_symmetry_2',)),
        'angle': ('_geom_angle_', ('atom_site_label_1', 'atom_site_label_2', 'atom_site_label_3'), '_geom_angle',
                  ('site_symmetry_1', 'site_symmetry_3')),
    }
    report = {}
    for kind, (prefix, labels, value_tag, codes) in kinds.items():
        t = table(theirs, prefix, labels, value_tag, codes)
        o = table(ours, prefix, labels, value_tag, codes)
        found = equal = su_given = su_close = near = 0
        missing, unequal, su_far = [], [], []
        for key, (value, su, decimals) in t.items():
            mine = find(o, key, kind)
            if mine is None:
                missing.append(key)
                continue
            found += 1
            if round(mine[0], decimals) == round(value, decimals) or abs(mine[0] - value) <= 0.5 * 10 ** -decimals + 1e-9:
                equal += 1
            else:
                unequal.append((key, value, mine[0]))
                near += abs(mine[0] - value) <= 10 ** -decimals + 1e-9
            if su is not None:
                su_given += 1
                unit = 10 ** -decimals
                if mine[1] is not None and abs(mine[1] - su) <= unit + 1e-12:
                    su_close += 1
                else:
                    su_far.append((key, su, mine[1]))
        report[kind] = (len(t), found, equal, su_given, su_close, missing, unequal, su_far, len(o), near)
    return report


def main():
    kestro, files = sys.argv[1], sys.argv[2:]
    totals = {'bond': [0] * 6, 'angle': [0] * 6}
    for path in files:
        report = compare(kestro, path)
        name = path.rsplit('/', 1)[-1]
        parts = []
        for kind in ('bond', 'angle'):
            n, found, equal, su_given, su_close, missing, unequal, su_far, ours, near = report[kind]
            for k, v in enumerate((n, found, equal, su_given, su_close, near)):
                totals[kind][k] += v
            parts.append(f'{kind}s {found}/{n} found, {equal} equal, s.u. {su_close}/{su_given} within 1 (ours {ours})')
        print(f'{name}: ' + '; '.join(parts))
        if True:
            for kind in ('bond', 'angle'):
                _, _, _, _, _, missing, unequal, su_far, _, _ = report[kind]
                for key in missing[:3]:
                    print(f'    {kind} missing {key}')
                for key, theirs, mine in unequal[:3]:
                    print(f'    {kind} {key}: CIF {theirs}, ours {mine:.5f}')
                for key, theirs, mine in su_far[:3]:
                    print(f'    {kind} {key}: CIF s.u. {theirs:g}, ours {mine}')
    for kind in ('bond', 'angle'):
        n, found, equal, su_given, su_close, near = totals[kind]
        print(f'total {kind}s: {found}/{n} found, {equal} equal, {near} more within one unit of the last digit, '
              f's.u. {su_close}/{su_given} within one unit')


if __name__ == '__main__':
    main()
