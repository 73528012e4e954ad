#pragma once

#include "core/generation.h"
#include "core/moduleentry.h"
#include "core/outputbuffer.h"
#include "core/page.h"
#include "core/project.h"
#include "core/regenerate.h"
#include "core/slots.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

namespace orv {

class ModuleListModel;

// The work in the window: every module page's fields, the shop type and
// layout metrics, the output buffer, the module list, the module chosen last
// and the entry being edited. The window shows this state and forwards the
// user's actions here; it keeps none of it in its widgets. Changes to the
// module list itself go through the window's undo stack (the commands work on
// list()); everything else changes here.
class Workspace : public QObject {
    Q_OBJECT

public:
    // pages: every module page, in navigation order; codePage: the page whose
    // one field is code as the user writes it, where an entry no page made
    // is edited.
    Workspace(QList<const PageSpec *> pages, const PageSpec &codePage, QObject *parent = nullptr);
    ~Workspace() override;

    const QList<const PageSpec *> &pages() const { return m_pages; }
    const PageSpec *pageSpec(const QString &id) const;

    // A page's fields as the user left them; during an edit, the edited
    // entry's page holds the entry's fields.
    FieldValues fields(const QString &pageId) const { return m_fields.value(pageId); }
    const Metrics &metrics() const { return m_metrics; }
    OutputBuffer &buffer() { return m_buffer; }
    const OutputBuffer &buffer() const { return m_buffer; }
    ModuleListModel *list() const { return m_list; }
    // The project's shared values (the shop's look).
    const SharedValues &values() const { return m_project.values; }

    // The page chosen last (navigation, the 版块 menu, an edit), or empty
    // before the first; its module's name names the entries 添加 makes.
    QString currentPage() const { return m_currentPage; }
    QString moduleName() const;

    // The work as a project. During an edit, the edited page and the metrics
    // are as they were before it: the entry's fields are on loan.
    Project project() const;
    // Takes a project (opened, recovered or new): any edit ends, the fields,
    // metrics and list become the project's, and the buffer holds the
    // project's page as 汇总 makes it (empty without entries).
    void setProject(const Project &project);

    // ---- The user's changes
    // The user typed or chose in a page's form.
    void setField(const QString &pageId, const QString &key, const QString &text);
    void setFields(const QString &pageId, const FieldValues &values);
    // The user chose a module: it becomes the current page.
    void choosePage(const QString &pageId);
    // The shop type: its metrics, and every field that depends on the shop
    // back to its default.
    void changeShop(Shop shop);
    // The user chose an item of a radio group on a page: the metrics that
    // choice writes, if the page writes any.
    void applyChoice(const QString &pageId);
    void setMetrics(const Metrics &metrics);
    // The product sheet the project uses (批量生成), an absolute path.
    void setSheet(const QString &path);

    // ---- Slots ("{{主色}}", "{{宝贝名称}}")
    // The values slots take in the window: the product row shown (a sheet's
    // row, see setRowValues), then the project's shared values; a slot with
    // neither stays as typed.
    SlotValues slotValues() const;
    // The cells of the product row the design is shown with; none (unset)
    // shows the slots as typed.
    void setRowValues(SlotValues values);
    // What each entry puts on the page, in list order: its code, or for an
    // entry without a page its code with the slots filled.
    QStringList pageCodes() const;
    // A change of the project made as one step (shared values changed, a
    // colour replaced, a block's values added): its shared values, its
    // pages' fields and these rows of the list become the project's.
    // Undone by applying the project before with the same rows.
    void applyChange(const Project &project, const QList<int> &rows);

    // ---- Actions; they return what the window has to show.
    // 生成: runs the page's generator on its fields, their slots filled
    // (slotValues()), and the metrics. Unless cancelled, what the generator
    // cleaned or wrote stays (also when it fails), except in fields holding
    // slots, which stay as typed; a fragment goes into the buffer with its
    // source, the fields as typed.
    Generation generate(const QString &pageId, const Services &services);
    // The entry 添加 adds after the user confirmed: the buffer's text and
    // source, named "[ module ] " and the page's suffix, numbered after the
    // list's entries.
    ModuleEntry entryToAdd(const QString &pageId) const;
    // 汇总: the buffer holds every entry's page code (pageCodes()) followed
    // by CR LF.
    const QString &summarize();

    // ---- Editing an entry of the module list on its page. Meanwhile the
    // page holds the entry's fields (an entry without a page: its code in
    // the code page) and the metrics the entry's; 更新 or 取消 give the page,
    // the metrics and the current page back as they were.
    struct Edit {
        quint64 id = 0; // the entry's content id in the list
        QString pageId;
        int number = 0;
        QString name;
    };
    // The edit going on, or nullptr.
    const Edit *editing() const { return m_session ? &m_session->edit : nullptr; }
    // Starts (or moves) the edit to the entry with this content id; false
    // when no entry has it.
    bool editEntry(quint64 id);

    // What 更新 came to.
    struct Update {
        enum class Outcome {
            Updated,      // row and entry: the list's row gets entry; the edit ended
            Gone,         // the entry is no longer in the list; the edit ended
            NotGenerated, // run says why (a failure, a reminder, cancelled); the edit goes on
        };
        Outcome outcome = Outcome::Updated;
        int row = -1;
        ModuleEntry entry;
        Generation run;
    };
    // 更新: the edited page generates again (an entry without a page takes the
    // code as edited). The caller puts the entry in the list.
    Update updateEdit(const Services &services);
    // 取消.
    void cancelEdit();

signals:
    // The output buffer's text or source changed.
    void bufferChanged();
    // The workspace set a page's fields (not the user's typing): its form
    // shows them now.
    void fieldsChanged(const QString &pageId);
    void metricsChanged();
    // The current page changed (and with it the module name).
    void currentPageChanged();
    // An edit began, moved to another entry or ended.
    void editChanged();
    // The user changed a field, the shop type or the metrics: the work is
    // unsaved.
    void edited();
    // The shared values changed.
    void valuesChanged();
    // A change of the whole page (applyChange): what it shows is not what
    // the buffer and the preview show any more.
    void pageChanged();

private:
    void putFields(const QString &pageId, const FieldValues &values);
    void putMetrics(const Metrics &metrics);
    void putCurrentPage(const QString &pageId);
    void leaveEdit();

    struct EditSession {
        Edit edit;
        FieldValues fieldsBefore;
        Metrics metricsBefore;
        QString pageBefore;
    };

    QList<const PageSpec *> m_pages;
    const PageSpec &m_codePage;
    // The rest of the project (its sheet, its shared values) as it came.
    Project m_project;
    SlotValues m_rowValues;
    QHash<QString, FieldValues> m_fields;
    Metrics m_metrics;
    OutputBuffer m_buffer;
    ModuleListModel *m_list;
    QString m_currentPage;
    std::optional<EditSession> m_session;
};

} // namespace orv
