#include "zidingyipage.h"

#include "ui_zidingyipage.h"
#include "zidingyi.h"

namespace orv {

ZidingyiPage::ZidingyiPage(QWidget *parent)
    : ModulePage(zidingyi::page(), parent)
    , m_ui(std::make_unique<Ui::ZidingyiPage>())
{
    m_ui->setupUi(this);
    setObjectName(pageSpec().name);
    bindFields();
}

ZidingyiPage::~ZidingyiPage() = default;

} // namespace orv
