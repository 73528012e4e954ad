#include "jiaoliupage.h"

#include "jiaoliu.h"
#include "ui_jiaoliupage.h"

namespace orv {

JiaoliuPage::JiaoliuPage(QWidget *parent)
    : ModulePage(jiaoliu::page(), parent)
    , m_ui(std::make_unique<Ui::JiaoliuPage>())
{
    m_ui->setupUi(this);
    setObjectName(pageSpec().name);
    bindFields();
}

JiaoliuPage::~JiaoliuPage() = default;

} // namespace orv
