#!/usr/bin/env python3
# Runs each story case (a folder with in.xml, prices/, script.txt, case.json and
# differences.txt) with pelmar-cli and counts the listed fields that now hold
# the independently expected value. Usage: compare-cases.py PELMAR_CLI CASES_DIR
import json, os, re, subprocess, sys, tempfile
cli, root = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
def records(path):
    text = open(path, encoding='latin-1').read()
    sets = re.findall(r'<DataSet_(\d+)>(.*?)</DataSet_\1>', text, re.S)
    out = {}
    for n, body in sets:
        counts = {}
        for kind, rec in re.findall(r'<(\w+Rec)>(.*?)</\1>', body, re.S):
            i = counts.get(kind, 0); counts[kind] = i + 1
            for f, v in re.findall(r'<(\w+)>([^<]*)</\1>', rec):
                out[(int(n), kind, i, f)] = v
    return out
def same(a, b):
    try: return abs(float(a.replace(',', '.')) - float(b.replace(',', '.'))) < 0.00005
    except ValueError: return a == b
for case in sorted(os.listdir(root)):
    d = os.path.join(root, case)
    if not os.path.isdir(d): continue
    meta = json.load(open(os.path.join(d, 'case.json')))
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, 'out.xml')
        env = dict(os.environ, HOME=tmp, XDG_CONFIG_HOME=tmp, QT_QPA_PLATFORM='offscreen')
        subprocess.run([cli, 'run', os.path.join(d, 'in.xml'), '--script', os.path.join(d, 'script.txt'),
                        '--today', meta['today'], '--prices', os.path.join(d, 'prices'),
                        '--lang', 'en' if meta['lang'] == 'ENU' else 'nl', '--save', out],
                       env=env, cwd=tmp, capture_output=True)
        got = records(out) if os.path.exists(out) else {}
    ok = total = 0
    for line in open(os.path.join(d, 'differences.txt')):
        m = re.match(r'dataset (\d+) / (\w+) (\d+) / (\w+): (.*) \(expected\) vs ', line)
        if not m: continue
        total += 1
        v = got.get((int(m[1]), m[2], int(m[3]), m[4]))
        ok += v is not None and same(v, m[5])
    print(f'{case}: {ok}/{total} fields as expected')
