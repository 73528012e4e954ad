#pragma once

#include <QFrame>

class QLabel;

namespace orv {

// Shown while an entry of the module list is edited on its page: which entry,
// and "更新" (its code and fields become what the page now generates) or
// "取消" (the entry stays as it was).
class EditBar : public QFrame {
    Q_OBJECT

public:
    explicit EditBar(QWidget *parent = nullptr);

    void showFor(int number, const QString &name);

    // Its height does not follow its width (the label wraps within it): a
    // column that scrolls would otherwise lay everything out at its
    // preferred height.
    bool hasHeightForWidth() const override { return false; }

signals:
    void updateRequested();
    void cancelRequested();

private:
    QLabel *m_label;
};

} // namespace orv
