#include "designsdialog.h"

#include "widgets/previewgrid.h"
#include "widgets/radiogroup.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {

using namespace Qt::StringLiterals;

DesignsDialog::DesignsDialog(const QList<DesignChoice> &designs, Shop shop, QWidget *parent)
    : QDialog(parent)
    , m_designs(designs)
    , m_list(new QListWidget(this))
    , m_description(new QLabel(this))
    , m_shop(new RadioGroup(this))
{
    setObjectName(u"frmdesigns"_s);
    setWindowTitle(u"从模板新建"_s);

    m_list->setObjectName(u"lstdesigns"_s);
    makePreviewGrid(m_list);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (const DesignChoice &design : designs) {
        auto *item = new QListWidgetItem(previewIcon(design.preview, u"无预览"_s), design.title, m_list);
        item->setToolTip(design.description);
    }
    auto *listLabel = new QLabel(u"模板(&D)："_s, this);
    listLabel->setBuddy(m_list);

    m_description->setObjectName(u"lbldescription"_s);
    m_description->setWordWrap(true);
    m_description->setMinimumHeight(2 * m_description->fontMetrics().lineSpacing());
    m_description->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_shop->setObjectName(u"rgshop"_s);
    m_shop->setTitle(u"店铺类型"_s);
    m_shop->setItems({u"淘宝店(&T)"_s, u"天猫店(&M)"_s});
    m_shop->setItemIndex(shop == Shop::Tmall ? 1 : 0);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *create = buttons->button(QDialogButtonBox::Ok);
    create->setText(u"创建"_s);
    create->setObjectName(u"btncreate"_s);
    create->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"取消"_s);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(u"btncancel"_s);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(listLabel);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_description);
    layout->addWidget(m_shop);
    layout->addWidget(buttons);
    // The designs side by side.
    m_list->setMinimumWidth(int(qMax<qsizetype>(3, designs.size())) * m_list->gridSize().width() + 24);

    connect(m_list, &QListWidget::currentRowChanged, this, &DesignsDialog::showDescription);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::currentRowChanged, create,
            [this, create] { create->setEnabled(!designId().isEmpty()); });
    if (!designs.isEmpty())
        m_list->setCurrentRow(0);
    create->setEnabled(!designId().isEmpty());
    showDescription();
    m_list->setFocus();
}

QString DesignsDialog::designId() const
{
    const int row = m_list->currentRow();
    return row < 0 ? QString() : m_designs[row].id;
}

Shop DesignsDialog::shop() const
{
    return m_shop->itemIndex() == 1 ? Shop::Tmall : Shop::Taobao;
}

void DesignsDialog::showDescription()
{
    const int row = m_list->currentRow();
    m_description->setText(row < 0 ? QString() : m_designs[row].description);
}

} // namespace orv
