#include "yangshipage.h"

#include "ui_yangshipage.h"
#include "yangshi.h"

namespace orv {

YangshiPage::YangshiPage(QWidget *parent)
    : ModulePage(yangshi::page(), parent)
    , m_ui(std::make_unique<Ui::YangshiPage>())
{
    m_ui->setupUi(this);
    setObjectName(pageSpec().name);
    bindFields();
}

YangshiPage::~YangshiPage() = default;

} // namespace orv
