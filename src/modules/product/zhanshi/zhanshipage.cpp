#include "zhanshipage.h"

#include "ui_zhanshipage.h"
#include "zhanshi.h"

namespace orv {

ZhanshiPage::ZhanshiPage(QWidget *parent)
    : ModulePage(zhanshi::page(), parent)
    , m_ui(std::make_unique<Ui::ZhanshiPage>())
{
    m_ui->setupUi(this);
    setObjectName(pageSpec().name);
    bindFields();
}

ZhanshiPage::~ZhanshiPage() = default;

} // namespace orv
