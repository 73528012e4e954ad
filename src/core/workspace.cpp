#include "workspace.h"

#include "core/modulelistmodel.h"
#include "core/sharedvalues.h"
#include "core/summary.h"

#include <algorithm>

namespace orv {

using namespace Qt::StringLiterals;

Workspace::Workspace(QList<const PageSpec *> pages, const PageSpec &codePage, QObject *parent)
    : QObject(parent)
    , m_pages(std::move(pages))
    , m_codePage(codePage)
    , m_metrics(Metrics::forShop(Shop::Taobao))
    , m_list(new ModuleListModel(this))
{
    for (const PageSpec *page : std::as_const(m_pages))
        m_fields.insert(page->id, page->defaultState().fields);
    m_buffer.setChangeHandler([this] { emit bufferChanged(); });
}

Workspace::~Workspace() = default;

const PageSpec *Workspace::pageSpec(const QString &id) const
{
    const auto it
        = std::find_if(m_pages.cbegin(), m_pages.cend(), [&](const PageSpec *page) { return page->id == id; });
    return it == m_pages.cend() ? nullptr : *it;
}

QString Workspace::moduleName() const
{
    const PageSpec *page = pageSpec(m_currentPage);
    return page ? page->moduleName : u"版块名称"_s;
}

Project Workspace::project() const
{
    Project p = m_project;
    p.metrics = m_metrics;
    p.pages = m_fields;
    if (m_session) {
        p.metrics = m_session->metricsBefore;
        p.pages.insert(m_session->edit.pageId, m_session->fieldsBefore);
    }
    p.entries = m_list->entries();
    return p;
}

void Workspace::setProject(const Project &project)
{
    if (m_session) {
        m_session.reset();
        emit editChanged();
    }
    // What the window does not show itself (the sheet, the shared values)
    // is kept as the project has it.
    m_project = project;
    m_project.pages.clear();
    m_project.entries.clear();
    m_rowValues = {};
    putMetrics(project.metrics);
    for (const PageSpec *page : std::as_const(m_pages)) {
        // Fields the project leaves out are at their defaults.
        FieldValues values = page->defaultState().fields;
        const FieldValues stored = project.pages.value(page->id);
        for (auto it = stored.cbegin(); it != stored.cend(); ++it)
            values.insert(it.key(), it.value());
        putFields(page->id, values);
    }
    m_list->setEntries(project.entries);
    emit valuesChanged();
    m_buffer.clear();
    if (!project.entries.isEmpty())
        summarize();
}

SlotValues Workspace::slotValues() const
{
    const SlotValues shared = orv::slotValues(m_project.values);
    return m_rowValues ? firstOf(m_rowValues, shared) : shared;
}

void Workspace::setRowValues(SlotValues values)
{
    m_rowValues = std::move(values);
}

QStringList Workspace::pageCodes() const
{
    return orv::pageCodes(m_list->entries(), slotValues(), SlotMode::AsTyped);
}

void Workspace::applyChange(const Project &project, const QList<int> &rows)
{
    const bool valuesChange = m_project.values != project.values;
    m_project.values = project.values;
    for (auto it = project.pages.cbegin(); it != project.pages.cend(); ++it) {
        if (m_fields.contains(it.key()) && m_fields.value(it.key()) != it.value())
            putFields(it.key(), it.value());
    }
    for (const int row : rows) {
        if (row >= 0 && row < project.entries.size())
            m_list->replace(row, project.entries.at(row));
    }
    if (valuesChange)
        emit valuesChanged();
    emit pageChanged();
}

void Workspace::setField(const QString &pageId, const QString &key, const QString &text)
{
    const auto it = m_fields.find(pageId);
    if (it == m_fields.end() || !it->contains(key))
        return;
    it->insert(key, text);
    emit edited();
}

void Workspace::setFields(const QString &pageId, const FieldValues &values)
{
    const auto it = m_fields.find(pageId);
    if (it == m_fields.end())
        return;
    for (auto v = values.cbegin(); v != values.cend(); ++v)
        it->insert(v.key(), v.value());
    emit edited();
}

void Workspace::choosePage(const QString &pageId)
{
    if (pageSpec(pageId))
        putCurrentPage(pageId);
}

void Workspace::changeShop(Shop shop)
{
    putMetrics(Metrics::forShop(shop));
    for (const PageSpec *page : std::as_const(m_pages)) {
        FieldValues values = m_fields.value(page->id);
        bool reset = false;
        for (const FieldSpec &f : page->fields) {
            if (f.resetWithShop) {
                values.insert(f.key, f.defaultText);
                reset = true;
            }
        }
        if (reset)
            putFields(page->id, values);
    }
    emit edited();
}

void Workspace::applyChoice(const QString &pageId)
{
    const PageSpec *page = pageSpec(pageId);
    if (page && page->metricsOnChoice)
        putMetrics(page->metricsOnChoice(PageState{fields(pageId), m_metrics}));
}

void Workspace::setMetrics(const Metrics &metrics)
{
    putMetrics(metrics);
    emit edited();
}

void Workspace::setSheet(const QString &path)
{
    if (m_project.sheet == path)
        return;
    m_project.sheet = path;
    emit edited();
}

Generation Workspace::generate(const QString &pageId, const Services &services)
{
    const PageSpec *page = pageSpec(pageId);
    if (!page)
        return {Generation::Outcome::Cancelled, {}, false, {}};
    const FieldValues typed = fields(pageId);
    const FieldValues filled = fillFields(*page, typed, slotValues(), SlotMode::AsTyped);
    Generation run = orv::generate(*page, PageState{filled, m_metrics}, services);
    if (run.outcome == Generation::Outcome::Cancelled)
        return run;
    for (auto it = typed.cbegin(); it != typed.cend(); ++it) {
        if (hasSlots(it.value()))
            run.state.fields.insert(it.key(), it.value());
    }
    putFields(pageId, run.state.fields);
    putMetrics(run.state.metrics);
    if (run.outcome == Generation::Outcome::Fragment)
        m_buffer.setFragment(run.text, EntrySource{pageId, run.state.fields, run.state.metrics});
    return run;
}

ModuleEntry Workspace::entryToAdd(const QString &pageId) const
{
    const PageSpec *page = pageSpec(pageId);
    const QString suffix = page && page->entrySuffix ? page->entrySuffix(PageState{fields(pageId), {}}) : QString();
    return ModuleEntry{m_list->count() + 1, u"[ "_s + moduleName() + u" ] "_s + suffix, m_buffer.text(),
                       m_buffer.source()};
}

const QString &Workspace::summarize()
{
    m_buffer.setText(summaryText(pageCodes()));
    return m_buffer.text();
}

bool Workspace::editEntry(quint64 id)
{
    const int row = m_list->rowOf(id);
    if (row < 0)
        return false;
    const ModuleEntry &entry = m_list->entry(row);
    const PageSpec *target = entry.source ? pageSpec(entry.source->page) : &m_codePage;
    if (!target)
        return false;
    if (!m_session) {
        m_session = EditSession{
            {}, fields(target->id), m_metrics, m_currentPage.isEmpty() ? m_pages.value(0)->id : m_currentPage};
    } else if (m_session->edit.pageId != target->id) {
        // Another page now: the first one gets its own fields back, and 取消
        // gives this one back as it is.
        putFields(m_session->edit.pageId, m_session->fieldsBefore);
        m_session->fieldsBefore = fields(target->id);
    }
    m_session->edit = Edit{id, target->id, entry.number, entry.name};
    FieldValues values = target->defaultState().fields;
    if (entry.source) {
        for (auto it = entry.source->fields.cbegin(); it != entry.source->fields.cend(); ++it)
            values.insert(it.key(), it.value());
        putMetrics(entry.source->metrics);
    } else {
        values.insert(m_codePage.fields.first().key, entry.code);
    }
    putFields(target->id, values);
    putCurrentPage(target->id);
    emit editChanged();
    return true;
}

Workspace::Update Workspace::updateEdit(const Services &services)
{
    Update update;
    if (!m_session) {
        update.outcome = Update::Outcome::Gone;
        return update;
    }
    const Edit edit = m_session->edit;
    update.row = m_list->rowOf(edit.id);
    if (update.row < 0) {
        update.outcome = Update::Outcome::Gone;
        leaveEdit();
        return update;
    }
    update.entry = m_list->entry(update.row);
    if (update.entry.source) {
        update.run = generate(edit.pageId, services);
        if (update.run.outcome != Generation::Outcome::Fragment) {
            update.outcome = Update::Outcome::NotGenerated;
            return update;
        }
        const PageSpec &page = *pageSpec(edit.pageId);
        const EntrySource &source = *m_buffer.source();
        const QString suffix
            = page.entrySuffix ? page.entrySuffix(PageState{source.fields, source.metrics}) : QString();
        update.entry.name = u"[ "_s + page.moduleName + u" ] "_s + suffix;
        update.entry.code = m_buffer.text();
        update.entry.source = source;
    } else {
        // An entry without a page is code of its own: the code as edited.
        update.entry.code = fields(edit.pageId).value(m_codePage.fields.first().key);
    }
    update.outcome = Update::Outcome::Updated;
    leaveEdit();
    return update;
}

void Workspace::cancelEdit()
{
    if (m_session)
        leaveEdit();
}

void Workspace::leaveEdit()
{
    const EditSession session = *m_session;
    m_session.reset();
    putFields(session.edit.pageId, session.fieldsBefore);
    putMetrics(session.metricsBefore);
    putCurrentPage(session.pageBefore);
    emit editChanged();
}

void Workspace::putFields(const QString &pageId, const FieldValues &values)
{
    m_fields.insert(pageId, values);
    emit fieldsChanged(pageId);
}

void Workspace::putMetrics(const Metrics &metrics)
{
    m_metrics = metrics;
    emit metricsChanged();
}

void Workspace::putCurrentPage(const QString &pageId)
{
    m_currentPage = pageId;
    emit currentPageChanged();
}

} // namespace orv
