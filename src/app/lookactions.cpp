#include "lookactions.h"

#include "core/block.h"
#include "core/blocklibrary.h"
#include "core/colours.h"
#include "core/failure.h"
#include "core/linelist.h"
#include "core/modulelistmodel.h"
#include "core/valuechange.h"
#include "core/workspace.h"
#include "modules/catalog.h"
#include "modules/designs/designs.h"
#include "modules/pagewidth.h"
#include "render/thumbnail.h"
#include "widgets/blocklibrarydialog.h"
#include "widgets/colourfields.h"
#include "widgets/designsdialog.h"
#include "widgets/dialogs.h"
#include "widgets/modulelistcommands.h"
#include "widgets/replacecolourdialog.h"
#include "widgets/saveblockdialog.h"
#include "widgets/sharedvaluesdialog.h"

#include <QApplication>
#include <QUndoStack>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

// Remote pictures of a block's preview get this long to load.
constexpr int previewPictureTimeoutMs = 3000;

QString failuresText(const QStringList &failures)
{
    QStringList shown = failures.mid(0, 5);
    if (failures.size() > shown.size())
        shown.append(u"……等共 %1 个"_s.arg(failures.size()));
    return shown.join(u'\n');
}

} // namespace

LookActions::LookActions(Workspace *workspace, QUndoStack *undoStack, ColourFields *colourFields,
                         PictureMeasurer *measurer, QWidget *window)
    : QObject(window)
    , m_workspace(workspace)
    , m_undoStack(undoStack)
    , m_colourFields(colourFields)
    , m_measurer(measurer)
    , m_window(window)
{
}

// Entries made again take a memo's lines as its text has them, as the
// command line does.
Services LookActions::services() const
{
    Services services;
    services.measurer = m_measurer;
    services.displayedLines = [](const QString &, const QString &text) { return splitLines(text); };
    return services;
}

void LookActions::apply(const Project &before, const ProjectChange &change, const QString &text)
{
    if (change.cancelled)
        return;
    if (!change.failures.isEmpty()) {
        dialogs::inform(m_window, u"以下版块无法重新生成，保留原来的代码：\n"_s + failuresText(change.failures));
    }
    m_undoStack->push(new ChangeProjectCommand(m_workspace, before, change.project, change.rows, text));
}

void LookActions::editStyle()
{
    const Project project = m_workspace->project();
    const auto uses = [&project](const QString &name) { return int(entriesUsing(project.entries, {name}).size()); };
    SharedValuesDialog dialog(
        project.values, uses, [this](const QColor &colour) { return m_colourFields->ask(colour); }, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const SharedValuesDialog::Change wanted = dialog.change();
    if (wanted.values == project.values && wanted.renames.isEmpty())
        return;
    ProjectChange change;
    try {
        change = changeSharedValues(project, wanted.values, wanted.renames, catalog::pages(), services());
    } catch (const Failure &failure) {
        dialogs::showError(m_window, failure.message());
        return;
    }
    apply(project, change, u"店铺风格"_s);
}

void LookActions::replaceColours()
{
    const Project project = m_workspace->project();
    const QList<ColourUse> colours = coloursInUse(project, catalog::pages());
    if (colours.isEmpty()) {
        dialogs::inform(m_window, u"项目的颜色字段中没有颜色。"_s);
        return;
    }
    ReplaceColourDialog dialog(
        colours, project.values, [this](const QColor &colour) { return m_colourFields->ask(colour); }, m_window);
    if (dialog.exec() != QDialog::Accepted || !dialog.request())
        return;
    const ColourRequest &request = *dialog.request();
    ProjectChange change;
    try {
        change = request.kind == ColourRequest::Kind::Replace
                     ? replaceColour(project, request.colour, request.text, catalog::pages(), services())
                     : bindColour(project, request.colour, request.text, catalog::pages(), services());
    } catch (const Failure &failure) {
        dialogs::showError(m_window, failure.message());
        return;
    }
    apply(project, change, u"替换颜色"_s);
}

void LookActions::saveBlock(int row)
{
    const Project project = m_workspace->project();
    if (project.entries.isEmpty()) {
        dialogs::inform(m_window, u"版块列表是空的，没有可以保存的版块。"_s);
        return;
    }
    BlockLibrary library(BlockLibrary::defaultFolder(), catalog::pages());
    SaveBlockDialog dialog(project.entries, row, library, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QList<ModuleEntry> chosen;
    QStringList codes;
    const QStringList pageCodes = m_workspace->pageCodes();
    for (const int at : dialog.rows()) {
        chosen.append(project.entries.at(at));
        codes.append(pageCodes.value(at));
    }
    Block block = makeBlock(dialog.name(), chosen, project);
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        render::ThumbnailOptions options;
        options.pictureTimeoutMs = previewPictureTimeoutMs;
        block.preview
            = render::thumbnailPng(codes, pagewidth::summaryWidth(chosen, project.metrics.totalWidth), options);
    } catch (const Failure &) {
        // Saved without its picture.
    }
    QApplication::restoreOverrideCursor();
    try {
        library.save(block, dialog.replaces());
    } catch (const Failure &failure) {
        dialogs::showError(m_window, failure.message());
        return;
    }
    dialogs::inform(m_window,
                    u"已把 %1 个版块保存为块“%2”，可以用“插入块…”放进任何项目。"_s.arg(chosen.size()).arg(block.name));
}

void LookActions::insertBlock()
{
    BlockLibrary library(BlockLibrary::defaultFolder(), catalog::pages());
    BlockLibraryDialog dialog(library, m_window);
    if (dialog.exec() != QDialog::Accepted || !dialog.block())
        return;
    const Project project = m_workspace->project();
    const BlockInsertion insertion = orv::insertBlock(*dialog.block(), project, catalog::pages(), services());
    if (insertion.cancelled)
        return;
    if (!insertion.failures.isEmpty())
        dialogs::inform(m_window, u"以下版块无法重新生成，保留块中原来的代码：\n"_s + failuresText(insertion.failures));
    const QString text = u"插入块"_s;
    m_undoStack->beginMacro(text);
    if (!insertion.missingValues.isEmpty()) {
        // The block's values the project lacks come with it, so that its
        // entries keep their look.
        Project after = project;
        after.values += insertion.missingValues;
        m_undoStack->push(new ChangeProjectCommand(m_workspace, project, after, {}, text));
    }
    ModuleListModel *list = m_workspace->list();
    for (const ModuleEntry &entry : insertion.entries)
        m_undoStack->push(new InsertEntryCommand(list, list->count(), entry, text));
    m_undoStack->endMacro();
    emit pageChanged();
}

std::optional<Project> LookActions::chooseDesign()
{
    QList<DesignChoice> choices;
    for (const designs::Design &design : designs::all())
        choices.append({design.id, design.title, design.description, design.preview()});
    DesignsDialog dialog(choices, m_workspace->metrics().shop, m_window);
    if (dialog.exec() != QDialog::Accepted || dialog.designId().isEmpty())
        return std::nullopt;
    const designs::Design *design = designs::find(dialog.designId());
    if (!design)
        return std::nullopt;
    ProjectChange change;
    try {
        change = regenerateProject(design->project(), dialog.shop(), catalog::pages(), services());
    } catch (const Failure &failure) {
        dialogs::showError(m_window, failure.message());
        return std::nullopt;
    }
    if (change.cancelled)
        return std::nullopt;
    if (!change.failures.isEmpty())
        dialogs::inform(m_window, u"以下版块无法生成：\n"_s + failuresText(change.failures));
    return change.project;
}

} // namespace orv
