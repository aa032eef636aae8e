#!/usr/bin/env python3
"""LibreOffice reads back the formatting of the faithful conversion.

usage: readback.py ZENTORO MODEL_JSON MAKE_DEVICE_DOCUMENT CORPUS_DIR DOCUMENT.wrd...

Converts the device document that MAKE_DEVICE_DOCUMENT writes, each
DOCUMENT and every .wrd of CORPUS_DIR (when it is there) with
`zentoro --faithful`, has one headless LibreOffice run turn the RTF files
into flat ODT, and compares what LibreOffice shows with the model that
MODEL_JSON prints: per paragraph (body, header, footer) the alignment,
indents, spacing, tab stops and bullet; per character bold, italic,
underline, font, size, colour and position (superscript, subscript). Prints the share of matches per property and the
first differences; exits 1 when any property falls short of 100%, 77 (skip)
without soffice.
"""
import glob, json, os, re, shutil, subprocess, sys, tempfile
import xml.etree.ElementTree as ET

SKIP = 77
NS = {
    'office': 'urn:oasis:names:tc:opendocument:xmlns:office:1.0',
    'style': 'urn:oasis:names:tc:opendocument:xmlns:style:1.0',
    'text': 'urn:oasis:names:tc:opendocument:xmlns:text:1.0',
    'fo': 'urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0',
    'svg': 'urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0',
}
TWIPS_PER = {'in': 1440.0, 'cm': 1440 / 2.54, 'mm': 144 / 2.54, 'pt': 20.0}
LENGTH_TOLERANCE = 2  # twips: LibreOffice stores lengths to 0.0001 in
PARAGRAPH_PROPERTIES = ['align', 'left', 'right', 'first', 'before', 'after', 'tabs', 'bullet']
CHARACTER_PROPERTIES = ['bold', 'italic', 'underline', 'font', 'size', 'colour', 'position']


def q(name):
    prefix, local = name.split(':')
    return '{%s}%s' % (NS[prefix], local)


def twips(value):
    if value is None:
        return None
    for unit, factor in TWIPS_PER.items():
        if value.endswith(unit):
            return float(value[:-len(unit)]) * factor
    return None


class Styles:
    """Named styles of every family, their parents and the defaults."""

    def __init__(self, root):
        self.styles = {}
        self.defaults = {}
        self.lists = {}
        self.faces = {}
        for face in root.iter(q('style:font-face')):
            self.faces[face.get(q('style:name'))] = (face.get(q('svg:font-family')) or '').strip("'")
        for element in root.iter(q('style:style')):
            self.styles[(element.get(q('style:family')), element.get(q('style:name')))] = element
        for element in root.iter(q('style:default-style')):
            self.defaults[element.get(q('style:family'))] = element
        for element in root.iter(q('text:list-style')):
            self.lists[element.get(q('style:name'))] = element

    def chain(self, family, name, with_default=True):
        seen = set()
        while name and (family, name) in self.styles and name not in seen:
            seen.add(name)
            element = self.styles[(family, name)]
            yield element
            name = element.get(q('style:parent-style-name'))
        if with_default and family in self.defaults:
            yield self.defaults[family]

    def find(self, elements, kind, attribute):
        for element in elements:
            properties = element.find(q(kind))
            if properties is not None and properties.get(q(attribute)) is not None:
                return properties.get(q(attribute))
        return None

    def tab_stops(self, elements):
        for element in elements:
            properties = element.find(q('style:paragraph-properties'))
            stops = properties.find(q('style:tab-stops')) if properties is not None else None
            if stops is not None:
                return [[round(twips(s.get(q('style:position')))), s.get(q('style:type')) or 'left']
                        for s in stops.findall(q('style:tab-stop'))]
        return []

    def bullet(self, list_name):
        element = self.lists.get(list_name)
        level = element.find(q('text:list-level-style-bullet')) if element is not None else None
        return level.get(q('text:bullet-char')) if level is not None else None


def position_of(text_position):
    """'super 58%', 'sub 58%', or a signed percentage of raise."""
    word = (text_position or '0%').split(' ')[0]
    if word in ('super', 'sub'):
        return word
    raised = float(word.rstrip('%') or 0)
    return 'super' if raised > 0 else 'sub' if raised < 0 else ''


def two_spaces(characters):
    """LibreOffice reads two spaces in a row in RTF as space, six-per-em
    space, space, six-per-em space; without the six-per-em spaces they are
    the text's two spaces (no document's text holds U+2006)."""
    return [(c, properties) for c, properties in characters if c != '\u2006']


def paragraph_of(styles, p, list_name):
    chain = list(styles.chain('paragraph', p.get(q('text:style-name'))))
    def prop(attribute):
        return styles.find(chain, 'style:paragraph-properties', attribute)
    align = {'start': 'left', 'left': 'left', 'center': 'center', 'end': 'right', 'right': 'right',
             'justify': 'justify'}.get(prop('fo:text-align') or 'start', prop('fo:text-align'))
    if list_name is None:
        list_name = next((e.get(q('style:list-style-name')) for e in chain if e.get(q('style:list-style-name'))), None)
    result = {'align': align, 'tabs': styles.tab_stops(chain),
              'bullet': styles.bullet(list_name) if list_name else None}
    for key, attribute in [('left', 'fo:margin-left'), ('right', 'fo:margin-right'), ('first', 'fo:text-indent'),
                           ('before', 'fo:margin-top'), ('after', 'fo:margin-bottom')]:
        result[key] = twips(prop(attribute)) or 0.0
    characters = []

    def character(span_chain):
        elements = span_chain + chain
        def text_prop(attribute):
            return styles.find(elements, 'style:text-properties', attribute)
        face = text_prop('style:font-name')
        return {'bold': text_prop('fo:font-weight') == 'bold',
                'italic': text_prop('fo:font-style') == 'italic',
                'underline': (text_prop('style:text-underline-style') or 'none') != 'none',
                'font': styles.faces.get(face, face) if face else (text_prop('fo:font-family') or '').strip("'"),
                'size': float((text_prop('fo:font-size') or '0pt').rstrip('pt') or 0),
                'colour': (text_prop('fo:color') or '#000000').lower(),
                'position': position_of(text_prop('style:text-position'))}

    def walk(element, span_chain):
        if element.text:
            properties = character(span_chain)
            characters.extend((c, properties) for c in element.text)
        for child in element:
            tag = child.tag
            if tag == q('text:span'):
                walk(child, list(styles.chain('text', child.get(q('text:style-name')), False)) + span_chain)
            elif tag == q('text:tab'):
                characters.append(('\t', character(span_chain)))
            elif tag == q('text:line-break'):
                characters.append(('\n', character(span_chain)))
            elif tag == q('text:s'):
                characters.extend((' ', character(span_chain)) for _ in range(int(child.get(q('text:c')) or 1)))
            elif tag.startswith('{%s}' % NS['text']) and tag not in (q('text:bookmark'), q('text:soft-page-break')):
                walk(child, span_chain)
            if child.tail:
                properties = character(span_chain)
                characters.extend((c, properties) for c in child.tail)
    walk(p, [])
    result['characters'] = two_spaces(characters)
    return result


def paragraphs_in(styles, container):
    found = []
    def visit(element, list_name):
        for child in element:
            if child.tag in (q('text:p'), q('text:h')):
                found.append(paragraph_of(styles, child, list_name))
            elif child.tag == q('text:list'):
                visit(child, child.get(q('text:style-name')) or list_name)
            elif child.tag in (q('text:list-item'), q('text:list-header'), q('text:section')):
                visit(child, list_name)
    if container is not None:
        visit(container, None)
    return found


def read_fodt(path):
    root = ET.parse(path).getroot()
    styles = Styles(root)
    body = root.find('.//' + q('office:text'))
    master = root.find('.//' + q('style:master-page'))
    stories = {'body': paragraphs_in(styles, body)}
    for story in ('header', 'footer'):
        stories[story] = paragraphs_in(styles, master.find(q('style:' + story)) if master is not None else None)
    return stories


def model_paragraphs(paragraphs):
    """The model's paragraphs as LibreOffice lays them out: a page break
    starts a new paragraph, and a line break is a line break."""
    laid_out = []
    for p in paragraphs:
        pieces = [[]]
        for run in p['runs']:
            properties = {k: run[k] for k in CHARACTER_PROPERTIES}
            properties['size'] = round(run['size'] / 10 + 1e-9) / 2 if run['size'] % 10 != 5 else (run['size'] + 5) // 10 / 2
            # A field shows what LibreOffice makes of it, not the device's
            # last expansion: it stands as one wildcard character.
            if run['field']:
                pieces[-1].append((None, properties))
                continue
            for c in run['text']:
                if c == '\f':
                    pieces.append([])
                else:
                    pieces[-1].append(('\n' if c == '\u2028' else c, properties))
        pieces = [piece for i, piece in enumerate(pieces) if piece or i == 0 or len(pieces) == 1]
        if not pieces[0] and len(pieces) > 1:
            pieces = pieces[1:]
        for piece in pieces:
            laid_out.append(dict(p, characters=piece))
    return laid_out


def matches(key, expected, actual):
    if key in ('left', 'right', 'first', 'before', 'after'):
        return abs(expected - actual) <= LENGTH_TOLERANCE
    if key == 'tabs':
        return len(expected) == len(actual) and all(
            abs(e[0] - a[0]) <= LENGTH_TOLERANCE and e[1] == a[1] for e, a in zip(expected, actual))
    return expected == actual


def compare(name, model, seen, tally, differences):
    for story in ('body', 'header', 'footer'):
        expected_paragraphs = model_paragraphs(model[story])
        actual_paragraphs = seen[story]
        if len(expected_paragraphs) != len(actual_paragraphs):
            differences.append('%s %s: %d paragraphs, LibreOffice shows %d' %
                               (name, story, len(expected_paragraphs), len(actual_paragraphs)))
        for index, expected in enumerate(expected_paragraphs):
            actual = actual_paragraphs[index] if index < len(actual_paragraphs) else None
            for key in PARAGRAPH_PROPERTIES:
                ok = actual is not None and matches(key, expected[key], actual[key])
                tally.setdefault(key, [0, 0])
                tally[key][0] += ok
                tally[key][1] += 1
                if not ok:
                    differences.append('%s %s paragraph %d %s: model %r, LibreOffice %r' % (
                        name, story, index, key, expected[key], actual[key] if actual else None))
            # Where each of the model's characters stands in LibreOffice's text.
            pattern = ''.join('(.*?)' if c is None else re.escape(c) for c, _ in expected['characters'])
            actual_text = ''.join(c for c, _ in actual['characters']) if actual else ''
            found = re.fullmatch(pattern, actual_text, re.S) if actual else None
            if actual is not None and not found:
                differences.append('%s %s paragraph %d text: model %r, LibreOffice %r' % (
                    name, story, index, ''.join(c or '<field>' for c, _ in expected['characters']), actual_text))
            at, group = 0, 1
            for position, (c, properties) in enumerate(expected['characters']):
                if c is None:
                    at = found.end(group) if found else at
                    group += 1
                    continue
                for key in CHARACTER_PROPERTIES:
                    ok = found is not None and properties[key] == actual['characters'][at][1][key]
                    tally.setdefault(key, [0, 0])
                    tally[key][0] += ok
                    tally[key][1] += 1
                    if not ok and found and len(differences) < 400:
                        differences.append('%s %s paragraph %d character %d %r %s: model %r, LibreOffice %r' % (
                            name, story, index, position, c, key, properties[key], actual['characters'][at][1][key]))
                at += 1


def main(argv):
    if len(argv) < 5:
        print(__doc__)
        return 2
    zentoro, model_json, make_device_document, corpus = argv[1:5]
    soffice = os.environ.get('SOFFICE') or shutil.which('soffice')
    if not soffice:
        print('soffice is not on the PATH: formatting read-back skipped')
        return SKIP
    work = tempfile.mkdtemp(prefix='zentoro-formatting-')
    device = os.path.join(work, 'device.wrd')
    subprocess.run([make_device_document, device], check=True)
    documents = [device] + argv[5:]
    if os.path.isdir(corpus):
        documents += sorted(glob.glob(os.path.join(corpus, '*.wrd')))
    else:
        print('no corpus folder at %s: reading back the built documents only' % corpus)
    try:
        models, rtfs = {}, []
        for document in documents:
            name = os.path.splitext(os.path.basename(document))[0]
            rtf = os.path.join(work, name + '.rtf')
            subprocess.run([zentoro, '--faithful', '-o', rtf, document], check=True, stdout=subprocess.DEVNULL)
            models[name] = json.loads(subprocess.run([model_json, document], check=True,
                                                     capture_output=True).stdout.decode('utf-8'))
            rtfs.append(rtf)
        out = os.path.join(work, 'fodt')
        subprocess.run(['timeout', '300', soffice, '-env:UserInstallation=file://' + os.path.join(work, 'profile'),
                        '--headless', '--convert-to', 'fodt', '--outdir', out] + rtfs,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        tally, differences = {}, []
        for name, model in models.items():
            path = os.path.join(out, name + '.fodt')
            if not os.path.exists(path):
                differences.append('%s: LibreOffice wrote nothing' % name)
                continue
            compare(name, model, read_fodt(path), tally, differences)
        print('%d documents read back by LibreOffice' % len(models))
        for key in PARAGRAPH_PROPERTIES + CHARACTER_PROPERTIES:
            good, total = tally.get(key, [0, 0])
            kind = 'paragraphs' if key in PARAGRAPH_PROPERTIES else 'characters'
            print('  %-9s %6.2f%%  (%d of %d %s)' % (key, 100.0 * good / total if total else 100.0, good, total, kind))
        for line in differences[:60]:
            print('  ' + line)
        complete = all(good == total for good, total in tally.values())
        return 0 if complete and not differences else 1
    finally:
        if not os.environ.get('ZENTORO_KEEP_READBACK'):
            shutil.rmtree(work, ignore_errors=True)
        else:
            print('kept in %s' % work)


if __name__ == '__main__':
    sys.exit(main(sys.argv))
