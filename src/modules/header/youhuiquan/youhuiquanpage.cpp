#include "youhuiquanpage.h"

#include "youhuiquan.h"
#include "ui_youhuiquanpage.h"

namespace orv {

YouhuiquanPage::YouhuiquanPage(QWidget *parent)
    : ModulePage(youhuiquan::page(), parent)
    , m_ui(std::make_unique<Ui::YouhuiquanPage>())
{
    m_ui->setupUi(this);
    setObjectName(pageSpec().name);
    bindFields();
}

YouhuiquanPage::~YouhuiquanPage() = default;

} // namespace orv
