// XLSX through orcus's import interface: an import factory of our own keeps
// the shared strings, the number formats of the cell styles and the cells of
// the one sheet asked for; the numbers are shown by their formats at the end,
// when the styles (read after the sheets) are known.

#include "core/failure.h"
#include "numberformat.h"
#include "workbook.h"

#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>

#include <QDateTime>
#include <QHash>

#include <vector>

namespace orv::sheets {

using namespace Qt::StringLiterals;
namespace iface = orcus::spreadsheet::iface;
using orcus::spreadsheet::col_t;
using orcus::spreadsheet::color_elem_t;
using orcus::spreadsheet::row_t;

namespace {

QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// orcus's shared strings go nowhere: it gives an empty one as the one before
// it, so the strings are read from sharedStrings.xml (xlsxStrings) instead.
class NoStrings : public iface::import_shared_strings {
public:
    size_t append(std::string_view) override { return m_count++; }
    size_t add(std::string_view) override { return m_count++; }
    void set_segment_font(size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(color_elem_t, color_elem_t, color_elem_t, color_elem_t) override {}
    void append_segment(std::string_view) override {}
    size_t commit_segments() override { return m_count++; }

private:
    size_t m_count = 0;
};

// Only the number formats and which one each cell style uses.
class Styles : public iface::import_styles {
public:
    QString formatOf(size_t xf) const
    {
        if (xf >= m_cellFormats.size())
            return {};
        const size_t id = m_cellFormats[xf];
        return m_codes.contains(id) ? m_codes.value(id) : builtInFormat(int(id));
    }

    void set_number_format_identifier(size_t id) override { m_id = id; }
    void set_number_format_code(std::string_view s) override { m_code = text(s); }
    size_t commit_number_format() override
    {
        m_codes.insert(m_id, std::exchange(m_code, QString()));
        return m_id;
    }
    void set_xf_number_format(size_t index) override { m_xfFormat = index; }
    size_t commit_cell_xf() override
    {
        m_cellFormats.push_back(std::exchange(m_xfFormat, 0));
        return m_cellFormats.size() - 1;
    }
    size_t commit_cell_style_xf() override { return std::exchange(m_xfFormat, 0), 0; }
    size_t commit_dxf() override { return std::exchange(m_xfFormat, 0), 0; }

    // The rest of the styles does not change a cell's text.
    void set_font_count(size_t) override {}
    void set_font_bold(bool) override {}
    void set_font_italic(bool) override {}
    void set_font_name(std::string_view) override {}
    void set_font_size(double) override {}
    void set_font_underline(orcus::spreadsheet::underline_t) override {}
    void set_font_underline_width(orcus::spreadsheet::underline_width_t) override {}
    void set_font_underline_mode(orcus::spreadsheet::underline_mode_t) override {}
    void set_font_underline_type(orcus::spreadsheet::underline_type_t) override {}
    void set_font_underline_color(color_elem_t, color_elem_t, color_elem_t, color_elem_t) override {}
    void set_font_color(color_elem_t, color_elem_t, color_elem_t, color_elem_t) override {}
    void set_strikethrough_style(orcus::spreadsheet::strikethrough_style_t) override {}
    void set_strikethrough_type(orcus::spreadsheet::strikethrough_type_t) override {}
    void set_strikethrough_width(orcus::spreadsheet::strikethrough_width_t) override {}
    void set_strikethrough_text(orcus::spreadsheet::strikethrough_text_t) override {}
    size_t commit_font() override { return 0; }
    void set_fill_count(size_t) override {}
    void set_fill_pattern_type(orcus::spreadsheet::fill_pattern_t) override {}
    void set_fill_fg_color(color_elem_t, color_elem_t, color_elem_t, color_elem_t) override {}
    void set_fill_bg_color(color_elem_t, color_elem_t, color_elem_t, color_elem_t) override {}
    size_t commit_fill() override { return 0; }
    void set_border_count(size_t) override {}
    void set_border_style(orcus::spreadsheet::border_direction_t, orcus::spreadsheet::border_style_t) override {}
    void set_border_color(orcus::spreadsheet::border_direction_t, color_elem_t, color_elem_t, color_elem_t,
                          color_elem_t) override
    {
    }
    void set_border_width(orcus::spreadsheet::border_direction_t, double, orcus::length_unit_t) override {}
    size_t commit_border() override { return 0; }
    void set_cell_hidden(bool) override {}
    void set_cell_locked(bool) override {}
    void set_cell_print_content(bool) override {}
    void set_cell_formula_hidden(bool) override {}
    size_t commit_cell_protection() override { return 0; }
    void set_number_format_count(size_t) override {}
    void set_cell_xf_count(size_t) override {}
    void set_cell_style_xf_count(size_t) override {}
    void set_dxf_count(size_t) override {}
    void set_xf_font(size_t) override {}
    void set_xf_fill(size_t) override {}
    void set_xf_border(size_t) override {}
    void set_xf_protection(size_t) override {}
    void set_xf_style_xf(size_t) override {}
    void set_xf_apply_alignment(bool) override {}
    void set_xf_horizontal_alignment(orcus::spreadsheet::hor_alignment_t) override {}
    void set_xf_vertical_alignment(orcus::spreadsheet::ver_alignment_t) override {}
    void set_cell_style_count(size_t) override {}
    void set_cell_style_name(std::string_view) override {}
    void set_cell_style_xf(size_t) override {}
    void set_cell_style_builtin(size_t) override {}
    void set_cell_style_parent_name(std::string_view) override {}
    size_t commit_cell_style() override { return 0; }

private:
    QHash<size_t, QString> m_codes;
    std::vector<size_t> m_cellFormats;
    size_t m_id = 0;
    QString m_code;
    size_t m_xfFormat = 0;
};

class Settings : public iface::import_global_settings {
public:
    QDate origin{1899, 12, 30};

    void set_origin_date(int year, int month, int day) override { origin = QDate(year, month, day); }
    void set_default_formula_grammar(orcus::spreadsheet::formula_grammar_t grammar) override { m_grammar = grammar; }
    orcus::spreadsheet::formula_grammar_t get_default_formula_grammar() const override { return m_grammar; }
    void set_character_set(orcus::character_set_t) override {}

private:
    orcus::spreadsheet::formula_grammar_t m_grammar = orcus::spreadsheet::formula_grammar_t::xlsx;
};

// "A1" and "$B$7" (a range's first cell for "A1:C9"); anything else is A1.
class Resolver : public iface::import_reference_resolver {
public:
    orcus::spreadsheet::src_address_t resolve_address(std::string_view address) override
    {
        orcus::spreadsheet::src_address_t a{0, 0, 0};
        size_t i = 0;
        long column = 0;
        long row = 0;
        if (i < address.size() && address[i] == '$')
            ++i;
        for (; i < address.size() && address[i] >= 'A' && address[i] <= 'Z' && column < 20000; ++i)
            column = column * 26 + (address[i] - 'A' + 1);
        if (i < address.size() && address[i] == '$')
            ++i;
        for (; i < address.size() && address[i] >= '0' && address[i] <= '9' && row < 2000000; ++i)
            row = row * 10 + (address[i] - '0');
        a.column = col_t(std::max(column - 1, 0L));
        a.row = row_t(std::max(row - 1, 0L));
        return a;
    }
    orcus::spreadsheet::src_range_t resolve_range(std::string_view range) override
    {
        const size_t colon = range.find(':');
        const orcus::spreadsheet::src_address_t first = resolve_address(range.substr(0, colon));
        const orcus::spreadsheet::src_address_t last
            = colon == std::string_view::npos ? first : resolve_address(range.substr(colon + 1));
        return {first, last};
    }
};

struct Cell {
    enum Kind { Empty, Text, Number, Bool, DateTime } kind = Empty;
    double number = 0;
    QString text;
    size_t xf = 0;
};

// A formula's cached result is the cell's value.
class Formula : public iface::import_formula {
public:
    explicit Formula(std::map<quint64, Cell> &cells)
        : m_cells(cells)
    {
    }
    void set_position(row_t row, col_t col) override { m_key = cellKey(quint32(row), quint32(col)); }
    void set_formula(orcus::spreadsheet::formula_grammar_t, std::string_view) override {}
    void set_shared_formula_index(size_t) override {}
    void set_result_string(std::string_view value) override { m_result = {Cell::Text, 0, text(value)}; }
    void set_result_value(double value) override { m_result = {Cell::Number, value, {}}; }
    void set_result_bool(bool value) override { m_result = {Cell::Bool, double(value), {}}; }
    void set_result_empty() override { m_result = {}; }
    void commit() override
    {
        Cell &cell = m_cells[m_key];
        const size_t xf = cell.xf;
        cell = std::exchange(m_result, Cell());
        cell.xf = xf;
    }

private:
    std::map<quint64, Cell> &m_cells;
    quint64 m_key = 0;
    Cell m_result;
};

class SheetCells : public iface::import_sheet {
public:
    SheetCells(const QStringList &strings, bool wanted)
        : m_strings(strings)
        , m_wanted(wanted)
        , m_formula(cells)
    {
    }

    std::map<quint64, Cell> cells;

    iface::import_formula *get_formula() override { return m_wanted ? &m_formula : nullptr; }
    void set_auto(row_t row, col_t col, std::string_view s) override { put(row, col, {Cell::Text, 0, text(s)}); }
    void set_string(row_t row, col_t col, orcus::spreadsheet::string_id_t id) override
    {
        put(row, col, {Cell::Text, 0, m_strings.value(qsizetype(id))});
    }
    void set_value(row_t row, col_t col, double value) override { put(row, col, {Cell::Number, value, {}}); }
    void set_bool(row_t row, col_t col, bool value) override { put(row, col, {Cell::Bool, double(value), {}}); }
    void set_date_time(row_t row, col_t col, int year, int month, int day, int hour, int minute, double second) override
    {
        const QDateTime when(QDate(year, month, day), QTime(hour, minute, int(second)));
        put(row, col,
            {Cell::DateTime, 0,
             when.time() == QTime(0, 0) ? when.toString(u"yyyy-MM-dd"_s) : when.toString(u"yyyy-MM-dd HH:mm:ss"_s)});
    }
    void set_format(row_t row, col_t col, size_t xf) override
    {
        if (m_wanted && row >= 0 && col >= 0)
            at(row, col).xf = xf;
    }
    void set_format(row_t, col_t, row_t, col_t, size_t) override {}
    void fill_down_cells(row_t, col_t, row_t) override {}
    orcus::spreadsheet::range_size_t get_sheet_size() const override { return {1048576, 16384}; }

private:
    Cell &at(row_t row, col_t col)
    {
        if (qsizetype(cells.size()) >= maxWorkbookCells)
            throw Failure(u"it holds more than %1 cells"_s.arg(maxWorkbookCells));
        return cells[cellKey(quint32(row), quint32(col))];
    }
    void put(row_t row, col_t col, Cell value)
    {
        if (!m_wanted || row < 0 || col < 0)
            return;
        Cell &cell = at(row, col);
        value.xf = cell.xf;
        cell = std::move(value);
    }

    const QStringList &m_strings;
    const bool m_wanted;
    Formula m_formula;
};

class Factory : public iface::import_factory {
public:
    Factory(QString wanted, const QStringList &strings)
        : m_wanted(std::move(wanted))
        , m_strings(strings)
    {
    }

    iface::import_global_settings *get_global_settings() override { return &settings; }
    iface::import_shared_strings *get_shared_strings() override { return &m_noStrings; }
    iface::import_styles *get_styles() override { return &styles; }
    iface::import_reference_resolver *get_reference_resolver(orcus::spreadsheet::formula_ref_context_t) override
    {
        return &m_resolver;
    }
    iface::import_sheet *append_sheet(orcus::spreadsheet::sheet_t, std::string_view name) override
    {
        names.append(text(name));
        const bool wanted = chosen < 0 && (m_wanted.isEmpty() || trimmedName(names.last()) == m_wanted);
        if (wanted)
            chosen = int(names.size() - 1);
        m_sheets.push_back(std::make_unique<SheetCells>(m_strings, wanted));
        return m_sheets.back().get();
    }
    iface::import_sheet *get_sheet(std::string_view name) override
    {
        const qsizetype index = names.indexOf(text(name));
        return index < 0 ? nullptr : m_sheets[size_t(index)].get();
    }
    iface::import_sheet *get_sheet(orcus::spreadsheet::sheet_t index) override
    {
        return index >= 0 && size_t(index) < m_sheets.size() ? m_sheets[size_t(index)].get() : nullptr;
    }
    void finalize() override {}

    const SheetCells *sheet() const { return chosen < 0 ? nullptr : m_sheets[size_t(chosen)].get(); }

    Settings settings;
    Styles styles;
    QStringList names;
    int chosen = -1;

private:
    const QString m_wanted;
    const QStringList &m_strings;
    NoStrings m_noStrings;
    Resolver m_resolver;
    std::vector<std::unique_ptr<SheetCells>> m_sheets;
};

QString shown(const Cell &cell, const Styles &styles, QDate origin)
{
    switch (cell.kind) {
    case Cell::Empty:
        break;
    case Cell::Text:
    case Cell::DateTime:
        return cell.text;
    case Cell::Number:
        return formatNumber(cell.number, styles.formatOf(cell.xf), origin);
    case Cell::Bool:
        return cell.number != 0 ? u"TRUE"_s : u"FALSE"_s;
    }
    return {};
}

} // namespace

WorkbookSheet readXlsx(const QByteArray &data, const QString &sheetName, const QStringList &strings)
{
    Factory factory(trimmedName(sheetName), strings);
    orcus::orcus_xlsx reader(&factory);
    reader.read_stream(std::string_view(data.constData(), size_t(data.size())));
    const SheetCells *sheet = factory.sheet();
    if (!sheet)
        failUnknownSheet(sheetName, factory.names);
    WorkbookSheet result{factory.names[factory.chosen], {}};
    for (const auto &[key, cell] : sheet->cells) {
        QString text = shown(cell, factory.styles, factory.settings.origin);
        if (!text.isEmpty())
            result.cells.emplace(key, std::move(text));
    }
    return result;
}

} // namespace orv::sheets
