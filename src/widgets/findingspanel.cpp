#include "findingspanel.h"

#include "widgets/findingsmodel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace orv {

using namespace Qt::StringLiterals;

FindingsPanel::FindingsPanel(QWidget *parent)
    : QWidget(parent)
    , m_model(new FindingsModel(this))
{
    setObjectName(u"findingsPanel"_s);
    // Room for a few findings whatever the splitter it sits in did before.
    setMinimumHeight(140);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    auto *header = new QHBoxLayout;
    m_title = new QLabel(this);
    m_title->setObjectName(u"findingsTitle"_s);
    header->addWidget(m_title, 1);
    m_pictures = new QPushButton(u"检查图片"_s, this);
    m_pictures->setObjectName(u"btnCheckPictures"_s);
    m_pictures->setToolTip(u"下载每张图片的文件头：失效的链接、格式、宽度和手机详情的要求"_s);
    connect(m_pictures, &QPushButton::clicked, this, &FindingsPanel::picturesRequested);
    header->addWidget(m_pictures);
    auto *close = new QPushButton(u"关闭"_s, this);
    close->setObjectName(u"btnCloseFindings"_s);
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
    header->addWidget(close);
    layout->addLayout(header);

    m_list = new QTableView(this);
    m_list->setObjectName(u"findingsList"_s);
    m_list->setAccessibleName(u"检查结果"_s);
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(22);
    m_list->horizontalHeader()->setSectionResizeMode(FindingsModel::MessageColumn, QHeaderView::Stretch);
    m_list->setColumnWidth(FindingsModel::SeverityColumn, 70);
    m_list->setColumnWidth(FindingsModel::RuleColumn, 120);
    m_list->setColumnWidth(FindingsModel::EntryColumn, 140);
    m_list->setColumnWidth(FindingsModel::LineColumn, 50);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = m_list->selectionModel()->selectedRows();
        if (!rows.isEmpty())
            emit findingSelected(rows.constFirst().row());
    });
    connect(m_list, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { emit findingActivated(index.row()); });
    layout->addWidget(m_list, 1);
    showStale();
}

void FindingsPanel::showFindings(const QList<check::Finding> &findings, int pageWidth, bool picturesChecked)
{
    m_model->setFindings(findings);
    QString title = u"检查结果（页面宽 %1 像素）：%2"_s.arg(pageWidth).arg(FindingsModel::countText(findings));
    if (picturesChecked)
        title += u"，已检查图片"_s;
    m_title->setText(title);
    m_pictures->setEnabled(!picturesChecked);
    show();
}

void FindingsPanel::showStale()
{
    m_model->setFindings({});
    m_title->setText(u"代码已改变，请重新检查"_s);
    m_pictures->setEnabled(false);
}

} // namespace orv
