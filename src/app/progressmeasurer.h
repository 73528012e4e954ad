#pragma once

#include "core/picturemeasurer.h"

#include <QPointer>
#include <QWidget>

#include <memory>

namespace orv {

// Runs another measurer off the window's thread while the window keeps
// painting. For the first half second the window takes no input, as during
// any short action; after that a window-modal progress dialog shows the
// progress ("正在获取图片 i / N" while generating, "正在检查图片 i / N" for
// the page check) with a cancel button, which ends the batch with Cancelled.
class ProgressMeasurer : public PictureMeasurer {
public:
    // progressFormat holds %1 (pictures done) and %2 (all of them).
    ProgressMeasurer(std::unique_ptr<PictureMeasurer> inner, QWidget *window,
                     QString progressFormat = QStringLiteral("正在获取图片 %1 / %2"));
    ~ProgressMeasurer() override;

    QList<MeasuredPicture> measureAll(const QStringList &urls, const Progress &progress = {},
                                      const std::atomic_bool *cancel = nullptr) override;

    QString progressText(int done, int total) const;

private:
    std::unique_ptr<PictureMeasurer> m_inner;
    QPointer<QWidget> m_window;
    QString m_progressFormat;
};

} // namespace orv
