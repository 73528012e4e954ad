#include "dapeipage.h"

#include "dapei.h"
#include "ui_dapeipage.h"

namespace orv {

DapeiPage::DapeiPage(QWidget *parent)
    : ModulePage(dapei::page(), parent)
    , m_ui(std::make_unique<Ui::DapeiPage>())
{
    m_ui->setupUi(this);
    setObjectName(pageSpec().name);
    bindFields();
}

DapeiPage::~DapeiPage() = default;

} // namespace orv
