#pragma once

#include "core/check/pagecheck.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTableView;

namespace orv {

class FindingsModel;

// The findings of a page check under the preview: a title with the counts and
// the page width, the list, and the buttons 检查图片 and 关闭. A stale check
// (the buffer changed) shows an empty list and asks for a new check.
class FindingsPanel : public QWidget {
    Q_OBJECT

public:
    explicit FindingsPanel(QWidget *parent = nullptr);

    FindingsModel *model() const { return m_model; }
    QTableView *list() const { return m_list; }

    // Shows the findings of a check of a page this wide; whether its pictures
    // were fetched says whether 检查图片 still has something to add.
    void showFindings(const QList<check::Finding> &findings, int pageWidth, bool picturesChecked);
    void showStale();

signals:
    // The user selected a finding (or double-clicked it).
    void findingSelected(int row);
    void findingActivated(int row);
    void picturesRequested();

private:
    FindingsModel *m_model;
    QLabel *m_title;
    QTableView *m_list;
    QPushButton *m_pictures;
};

} // namespace orv
