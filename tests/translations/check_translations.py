#!/usr/bin/env python3
"""Checks the editor's translation catalogues against the code.

  check_translations.py LUPDATE CATALOGUE.ts SOURCE_DIR...

lupdate collects the texts the code marks for translation into a scratch
copy of the catalogue (as `cmake --build build --target quorrel_lupdate`
would). Fails when a text has no finished translation, or when a
translation drops or adds a placeholder (%1, %L2, %n) or a keyboard
accelerator (a single "&"; "&&" is a literal ampersand).

  check_translations.py --desktop ENTRY.desktop METAINFO.xml MIME.xml
fails when the desktop entry's GenericName, Comment or Keywords, the
metainfo's summary or keywords, or the MIME type's comment has no German.

  check_translations.py --self-test
checks that the rules above catch what they should.
"""
import collections
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

PLACEHOLDER = re.compile(r'%L?(\d{1,2}|n)')


def placeholders(text):
    return collections.Counter(PLACEHOLDER.findall(text))


def accelerators(text):
    return len(re.findall(r'&(?!&)', text.replace('&&', '')))


def problems(ts_path):
    """Every fault of the catalogue, one line each."""
    found = []
    root = ET.parse(ts_path).getroot()
    for context in root.iter('context'):
        name = context.findtext('name')
        for message in context.iter('message'):
            source = message.findtext('source') or ''
            translation = message.find('translation')
            where = '%s: %r' % (name, source)
            kind = translation.get('type') if translation is not None else 'missing'
            if kind in ('vanished', 'obsolete'):
                continue
            text = (translation.text or '') if translation is not None else ''
            if message.get('numerus') == 'yes' and translation is not None:
                forms = [f.text or '' for f in translation.iter('numerusform')]
                text = forms[0] if forms and all(forms) else ''
            if kind in ('unfinished', 'missing') or not text:
                found.append('no German translation: ' + where)
                continue
            if placeholders(source) != placeholders(text):
                found.append('placeholders differ: %s -> %r' % (where, text))
            if accelerators(source) != accelerators(text):
                found.append('accelerator lost or added: %s -> %r' % (where, text))
    return found


def check(lupdate, catalogue, sources):
    with tempfile.TemporaryDirectory() as scratch:
        copy = os.path.join(scratch, os.path.basename(catalogue))
        shutil.copyfile(catalogue, copy)
        run = subprocess.run([lupdate, '-locations', 'none', '-no-obsolete', '-extensions', 'cpp,h', *sources,
                              '-ts', copy], capture_output=True, text=True, timeout=300)
        if run.returncode != 0:
            print(run.stdout, run.stderr)
            return 1
        faults = problems(copy)
        total = sum(1 for _ in ET.parse(copy).getroot().iter('message'))
    for fault in faults:
        print(fault)
    print('%d texts, %d faults' % (total, len(faults)))
    return 1 if faults or total == 0 else 0


def desktop_files(entry, metainfo, mime):
    faults = []
    lines = open(entry, encoding='utf-8').read().splitlines()
    keys = {line.split('=', 1)[0] for line in lines if '=' in line}
    for key in ('GenericName', 'Comment', 'Keywords'):
        if key in keys and key + '[de]' not in keys:
            faults.append('%s: no %s[de]' % (entry, key))
    lang = '{http://www.w3.org/XML/1998/namespace}lang'
    root = ET.parse(metainfo).getroot()
    for tag in ('summary', 'keywords/keyword'):
        if not any(e.get(lang) == 'de' for e in root.findall(tag)):
            faults.append('%s: no German %s' % (metainfo, tag))
    ns = '{http://www.freedesktop.org/standards/shared-mime-info}'
    for mime_type in ET.parse(mime).getroot().iter(ns + 'mime-type'):
        if not any(e.get(lang) == 'de' for e in mime_type.findall(ns + 'comment')):
            faults.append('%s: no German comment' % mime)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


def self_test():
    cases = [
        ('Save changes to %1?', 'Änderungen an %1 speichern?', True),
        ('Save changes to %1?', 'Änderungen speichern?', False),
        ('Writing %1 (%2 x %3)', 'Schreibe %1 (%3 x %2)', True),
        ('%1 of %2', '%1 von %1', False),
        ('&Open...', 'Ö&ffnen...', True),
        ('&Open...', 'Öffnen...', False),
        ('Black && white', 'Schwarz && weiß', True),
        ('Black && white', 'Schwarz & weiß', False),
        ('Open', '', False),
    ]
    failed = 0
    for source, translation, good in cases:
        with tempfile.NamedTemporaryFile('w', suffix='.ts', delete=False, encoding='utf-8') as f:
            esc = lambda s: s.replace('&', '&amp;').replace('<', '&lt;')
            kind = '' if translation else ' type="unfinished"'
            f.write('<?xml version="1.0" encoding="utf-8"?>\n<TS version="2.1" language="de_DE"><context>'
                    '<name>C</name><message><source>%s</source><translation%s>%s</translation></message>'
                    '</context></TS>\n' % (esc(source), kind, esc(translation)))
        ok = not problems(f.name)
        os.unlink(f.name)
        if ok != good:
            print('self-test: %r -> %r judged %s' % (source, translation, 'good' if ok else 'bad'))
            failed += 1
    return 1 if failed else 0


if __name__ == '__main__':
    if sys.argv[1:] == ['--self-test']:
        sys.exit(self_test())
    if sys.argv[1:2] == ['--desktop'] and len(sys.argv) == 5:
        sys.exit(desktop_files(*sys.argv[2:]))
    if len(sys.argv) < 4:
        print(__doc__)
        sys.exit(2)
    sys.exit(check(sys.argv[1], sys.argv[2], sys.argv[3:]))
