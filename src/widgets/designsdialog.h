#pragma once

#include "core/metrics.h"

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QListWidget;

namespace orv {

class RadioGroup;

// A starter design as the choice shows it.
struct DesignChoice {
    QString id;
    QString title;
    QString description;
    QByteArray preview; // PNG
};

// 文件 → 从模板新建…: the starter designs as a grid of their pictures with
// titles, the chosen one's description below, and the shop to make it for.
// 创建 (Enter, a double-click) closes it with the choice.
class DesignsDialog : public QDialog {
    Q_OBJECT

public:
    // The first design is chosen first; shop is the one chosen first.
    DesignsDialog(const QList<DesignChoice> &designs, Shop shop, QWidget *parent = nullptr);

    QString designId() const; // empty when none is chosen
    Shop shop() const;

private:
    void showDescription();

    QList<DesignChoice> m_designs;
    QListWidget *m_list;
    QLabel *m_description;
    RadioGroup *m_shop;
};

} // namespace orv
