#include "cli.h"

#include "cli/arguments.h"
#include "cli/commands.h"
#include "core/failure.h"
#include "core/textinput.h"
#include "modules/catalog.h"

namespace orv::cli {

using namespace Qt::StringLiterals;

QString helpText(const QList<const PageSpec *> &pages)
{
    QString text
        = uR"(Usage: orvanta-cli generate PAGE [--shop taobao|tmall] [--set NAME=VALUE]... [--set-file NAME=PATH]...
       orvanta-cli fields PAGE
       orvanta-cli build PROJECT [--regenerate] [--shop taobao|tmall] [--style FILE]
       orvanta-cli check [FILE|-] [--shop taobao|tmall] [--pictures] [--json]
       orvanta-cli render PROJECT --out DIR [--width N] [--format jpg|png]
                          [--max-height 2000|2500] [--keep-going]
                          [--overwrite] [--timeout SECONDS]
       orvanta-cli render PROJECT --manifest-only [--width N] [--max-height 2000|2500]
       orvanta-cli merge PROJECT SHEET --out DIR [--key COLUMN] [--rows LIST]
                         [--check] [--shop taobao|tmall] [--encoding NAME]
                         [--sheet NAME] [--overwrite]
                         [--write-sheet OUT [--column NAME]] [--style FILE]
                         [--render [--width N] [--format jpg|png]
                          [--max-height 2000|2500] [--keep-going] [--timeout SECONDS]]
       orvanta-cli --help | --version

generate builds the HTML fragment of one module page, exactly as the window's
generate button does, and writes it to standard output as UTF-8 with nothing
added.

  --shop taobao|tmall   the shop type: total width 750 (taobao, the default)
                        or 790 (tmall)
  --set NAME=VALUE      the text of the page's field NAME (its key, such as
                        amounts, or its component name, such as mmojine);
                        every field not set keeps its start-up default;
                        later options win
  --set-file NAME=PATH  the same, with VALUE the whole content of a UTF-8 file
                        (a byte-order mark dropped, at most 16 MiB)

Multi-line fields take every line break as CR LF. Radio groups take the
chosen item's index (-1, no item chosen, where the group starts that way).
"fields PAGE" lists the page's fields (name, kind, default, items, key,
label) as JSON.

build writes the page of a project file (.orvanta, as the window saves it)
exactly as the window's 汇总 puts it together: every entry's code followed by
CR LF.
  --regenerate          generates every entry that came from a page afresh
                        from its stored fields, their slots ({{主色}}) filled
                        with the project's shared values (entries without a
                        page keep their code, its slots filled); a failing
                        entry fails the command, a slot without a value is
                        an error before anything is made
  --shop taobao|tmall   with --regenerate: lays every such entry out for
                        this shop type instead of its stored one
  --style FILE          with --regenerate: the style file's values
                        (.orvanta-style) over the project's shared values
  Example: orvanta-cli build examples/sample.orvanta --regenerate --shop tmall > page.html

check reads the HTML of a description (FILE, or standard input when FILE is
- or missing; UTF-8, a byte-order mark dropped, at most 16 MiB) and writes what
the platform's editor would refuse or spoil, one finding a line:
LINE:COLUMN SEVERITY RULE MESSAGE, SEVERITY one of error, warning and info,
COLUMN counting UTF-16 units. The HTML is never changed.
  --shop taobao|tmall   the page width: 750 (taobao, the default) or 790
  --pictures            also fetches every picture (each address once): dead
                        links, formats other than JPEG, PNG, GIF, BMP and
                        WebP, pictures wider than the page, and what the
                        mobile description refuses
  --json                the findings as a JSON array of objects with line,
                        column, offset, severity, severityName, rule, message
                        and hint
  Example: orvanta-cli build shop.orvanta | orvanta-cli check - --shop tmall

render draws the page of a project file as the preview shows it (the entries'
summary, remote pictures loaded) and writes it as pictures for the mobile
description: 01.jpg, 02.jpg, ... in DIR (made if missing), each at most 2000
pixels high (or 2500) and 3 MiB, cut between entries where an entry fits and
never through a link when a cut above it fits; slices.json, the manifest of
the pictures with the page's links as hot areas (docs/slices-format.md); and
pictures.txt listing them (name, width x height, bytes), which is also
written to standard output. Links the phone would lose (under 10 pixels
high, overlapping another link) are named on standard error. The page is
drawn at its width: 750 for a Taobao shop, 790 for a Tmall one (the size
table, buyer notice and custom HTML are 750 wide in either).
  --out DIR             the folder for the pictures (required)
  --width N             scales the pictures to N pixels wide, 480 to 1500
                        (default: the page width)
  --format jpg|png      JPEG (default; quality lowered from 90 until a
                        picture fits 3 MiB) or PNG (a picture whose PNG
                        exceeds 3 MiB is written as JPEG, with a warning)
  --max-height 2000|2500
                        a picture's height limit: 2000 (default) fits the
                        newer description editor and the older mobile
                        description, 2500 only the older one
  --manifest-only       draws and cuts the page but writes no picture and no
                        folder: slices.json goes to standard output (without
                        the pictures' bytes); takes no --out
  --keep-going          writes the pictures even when remote pictures of the
                        page fail to load (they are named on standard error)
  --overwrite           replaces the pictures of an earlier export in DIR
                        (pictures.txt and what it lists) as a whole; without
                        it such a folder is refused and nothing is written. A
                        file no export listed that the pictures would write
                        over is refused even then
  --timeout SECONDS     the time remote pictures get to load, in all
                        (default 30)
  No display is needed: the browser engine draws off screen.
  Example: orvanta-cli render examples/sample.orvanta --out pictures --width 1242 --keep-going

merge makes one page per product row of SHEET (CSV, XLSX or ODS) from the
design PROJECT, whose fields hold slots: {{COLUMN}} is replaced by the row's
cell of that column (the name compared without blanks at either end), or
without such a column by the project's shared value of that name, {{{{
writes a literal {{. Each page is what build --regenerate makes with the
row's values. It writes DIR/KEY.html per row and DIR/index.csv (row, key,
file, characters, errors, warnings, message, pictures; UTF-8 with a
byte-order mark), with --render also each row's pictures in DIR/KEY/.
A row that fails is listed there with its message and the others go on. The
set is put in place when it is whole: a run that fails or is interrupted
(Ctrl+C) leaves DIR as it was.
  --out DIR             the folder for the pages (required; made if missing)
  --key COLUMN          the column that names each row's file (default:
                        outer_id or 商家编码 when the sheet has one, else the
                        row number); names are made safe and unique
  --rows LIST           only these product rows, counted from 1 (the first
                        row after the column names): 1-20,35
  --check               runs the page check on every page: its errors and
                        warnings go into index.csv, and a page with an
                        error fails its row (takes far longer)
  --shop taobao|tmall   lays every page entry out for this shop type
  --encoding NAME       a CSV sheet's encoding: utf-8, utf-16le, utf-16be,
                        gbk or gb18030 (default: detected)
  --sheet NAME          the sheet of a workbook (default: the first)
  --overwrite           replaces an earlier merge in DIR (the pages its
                        index.csv lists, and the files this one writes);
                        without it such a folder is refused; other files stay
  --write-sheet OUT     also writes the sheet to OUT with each merged row's
                        page in its description column (description/宝贝描述
                        of the listing tool's layout), in the sheet's own
                        encoding and layout; never the input file
  --column NAME         with --write-sheet: the column for the pages
  --style FILE          the style file's values (.orvanta-style) over the
                        project's shared values, which fill the slots the
                        sheet has no column for (a column wins)
  --render              also draws each row's page as pictures into DIR/KEY/
                        (01.jpg..., pictures.txt, slices.json), as render
                        does, the browser engine started once for the run;
                        --width, --format, --max-height, --keep-going and
                        --timeout as for render; a row whose pictures fail
                        fails
  Example: orvanta-cli merge design.orvanta products.csv --out pages --check

Exit status: 0 success (for check: no error found, warnings may be); 1 a
generator failed or reminded (its message on standard error, for build with
the entry's number and name), check found an error, render failed (a
picture of the page did not load, or drawing, encoding or writing failed;
nothing is written then), or for merge a row failed or the pages could not
be written; 2 usage error, a project file, style file, sheet or checked
file that cannot be read, a slot that no column of the sheet or shared value
fills, or for render and merge a DIR holding an earlier set without
--overwrite (for render also files the pictures would write over); 130 merge
interrupted.

Pages:
)"_s;
    for (const PageSpec *page : pages)
        text += u"  "_s + page->id.leftJustified(14) + page->moduleName + u'\n';
    return text;
}

Result run(const QList<QByteArray> &arguments, const Context &context)
{
    QStringList decoded;
    decoded.reserve(arguments.size());
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        try {
            decoded.append(strictUtf8(arguments.at(i), u"argument %1"_s.arg(i + 1)));
        } catch (const Failure &failure) {
            return {UsageError, {}, (programName + u": "_s + failure.message() + u'\n').toUtf8()};
        }
    }
    return run(decoded, context);
}

Result run(const QStringList &arguments, const Context &context)
{
    const QList<const PageSpec *> &pages = context.pages.isEmpty() ? catalog::pages() : context.pages;
    try {
        const QString command = arguments.value(0);
        const QStringList rest = arguments.mid(1);
        if (command == u"--help"_s || command == u"-h"_s || command == u"help"_s) {
            if (!rest.isEmpty())
                usageError(u"%1 takes no arguments"_s.arg(command));
            return {Success, helpText(pages).toUtf8(), {}};
        }
        if (command == u"--version"_s) {
            if (!rest.isEmpty())
                usageError(u"%1 takes no arguments"_s.arg(command));
            return {Success, (programName + u' ' + QStringLiteral(ORVANTA_VERSION) + u'\n').toUtf8(), {}};
        }
        if (command == u"generate"_s)
            return generate(pages, rest, context);
        if (command == u"fields"_s)
            return fields(pages, rest);
        if (command == u"build"_s)
            return build(pages, rest, context);
        if (command == u"check"_s)
            return check(rest, context);
        if (command == u"render"_s)
            return render(pages, rest, context);
        if (command == u"merge"_s)
            return merge(pages, rest, context);
        const QString commands = u"generate, fields, build, check, render, merge, --help and --version"_s;
        if (arguments.isEmpty())
            usageError(u"no command given; the commands are "_s + commands);
        usageError(u"unknown command %1; the commands are %2"_s.arg(quoted(command), commands));
    } catch (const UsageFailure &failure) {
        const QString hint = failure.hint ? u"\nTry 'orvanta-cli --help'."_s : QString();
        return {UsageError, {}, (programName + u": "_s + failure.message + hint + u'\n').toUtf8()};
    }
}

} // namespace orv::cli
