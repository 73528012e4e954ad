#include "modulelistpanel.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace orv {

using namespace Qt::StringLiterals;

ModuleListPanel::ModuleListPanel(MainWindow *window, QWidget *parent)
    : QWidget(parent)
    , m_window(window)
    , m_model(new QStandardItemModel(0, 3, this))
{
    setObjectName(u"pnl9"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *heading = new QLabel(u"版块列表"_s, this);
    heading->setAlignment(Qt::AlignCenter);
    heading->setFixedHeight(33);
    heading->setContentsMargins(5, 0, 5, 5);
    layout->addWidget(heading);

    m_model->setHorizontalHeaderLabels({u"编号"_s, u"版块名"_s, u"代码"_s});
    m_list = new QTableView(this);
    m_list->setObjectName(u"lv1"_s);
    m_list->setAccessibleName(u"版块列表"_s);
    m_list->setModel(m_model);
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(24);
    m_list->setColumnWidth(0, 40);
    m_list->setColumnWidth(1, 160);
    m_list->setColumnWidth(2, 40);
    auto *listRow = new QHBoxLayout;
    listRow->setContentsMargins(5, 0, 5, 0);
    listRow->addWidget(m_list);
    layout->addLayout(listRow, 1);

    auto *buttons = new QWidget(this);
    buttons->setFixedHeight(48);
    m_summary = new QPushButton(u"汇总"_s, buttons);
    m_summary->setObjectName(u"btn2"_s);
    m_summary->setGeometry(43, 8, 90, 33);
    m_extract = new QPushButton(u"提取代码"_s, buttons);
    m_extract->setObjectName(u"btntiqu"_s);
    m_extract->setGeometry(151, 8, 90, 33);
    layout->addWidget(buttons);
}

} // namespace orv
