#pragma once

#include "core/picturemeasurer.h"

#include <QPointer>
#include <QWidget>

#include <memory>

namespace orv {

// Runs another measurer off the window's thread while the window keeps
// painting. For the first half second the window takes no input, as during
// any short action; after that a window-modal progress dialog shows
// "正在获取图片 i / N" with a cancel button, which ends the batch with Cancelled.
class ProgressMeasurer : public PictureMeasurer {
public:
    ProgressMeasurer(std::unique_ptr<PictureMeasurer> inner, QWidget *window);
    ~ProgressMeasurer() override;

    QList<MeasuredPicture> measureAll(const QStringList &urls, const Progress &progress = {},
                                      const std::atomic_bool *cancel = nullptr) override;

    static QString progressText(int done, int total);

private:
    std::unique_ptr<PictureMeasurer> m_inner;
    QPointer<QWidget> m_window;
};

} // namespace orv
