#pragma once

#include "core/page.h"
#include "core/project.h"
#include "core/regenerate.h"

#include <QObject>

#include <optional>

class QUndoStack;
class QWidget;

namespace orv {

class ColourFields;
class PictureMeasurer;
class Workspace;

// The shop's look in the window: 编辑 → 店铺风格… and 替换颜色…, a block saved
// from the module list (保存为块…) and inserted into it (插入块…), and the
// starter designs of 文件 → 从模板新建…. Each change to the work is one step
// on the undo stack; the workspace then shows the page again.
class LookActions : public QObject {
    Q_OBJECT

public:
    LookActions(Workspace *workspace, QUndoStack *undoStack, ColourFields *colourFields, PictureMeasurer *measurer,
                QWidget *window);

    void editStyle();
    void replaceColours();
    // row: the entry selected in the module list, or -1.
    void saveBlock(int row);
    void insertBlock();
    // The starter design the user chose, made for the shop chosen with it;
    // nothing when cancelled.
    std::optional<Project> chooseDesign();

signals:
    // The list took a block: the page is to be shown.
    void pageChanged();

private:
    Services services() const;
    // One undo step from before to the change, after saying which entries
    // could not be made again.
    void apply(const Project &before, const ProjectChange &change, const QString &text);

    Workspace *m_workspace;
    QUndoStack *m_undoStack;
    ColourFields *m_colourFields;
    PictureMeasurer *m_measurer;
    QWidget *m_window;
};

} // namespace orv
