#pragma once

#include "core/outputbuffer.h"
#include "core/project.h"
#include "render/pagerenderer.h"

#include <optional>

class QWidget;

namespace orv {

// What 文件 → 导出手机详情图片… draws: the module list's summary when the list
// has entries (at the widest entry's width), else the output buffer (at its
// fragment's width); nothing when both are empty.
struct PicturesSource {
    render::PageSource page;
    QString what; // the sentence the dialog shows about it
};
std::optional<PicturesSource> picturesSource(const Project &project, const OutputBuffer &buffer);

// The whole export in the window, returning when it ended: the dialog
// (folder, width, format, height limit; the last export's choice offered
// again, remembered in the settings file), the question before an earlier export's pictures
// in the folder are replaced, the rendering and writing (the window takes no input for the
// first half second, then a window-modal progress dialog shows "正在生成图片
// i / N" with a cancel button that leaves the folder as it was), the question
// when remote pictures did not load (continue or stop), the question when
// the pictures would write over files no earlier export listed (a seller's
// own 01.jpg; nothing is written unless 替换) and the final message
// with the folder and the count, offering to open the folder. projectPath
// (empty when unsaved) suggests the folder.
void exportPictures(QWidget *window, const Project &project, const OutputBuffer &buffer, const QString &projectPath,
                    const render::RenderOptions &renderOptions = {});

} // namespace orv
