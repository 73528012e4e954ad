#include "guanlianpage.h"

#include "app/mainwindow.h"
#include "app/radiogroup.h"
#include "guanlian.h"
#include "ui_guanlianpage.h"

namespace orv {

using namespace Qt::StringLiterals;

GuanlianPage::GuanlianPage(QWidget *parent)
    : ModulePage(guanlian::page(), parent)
    , m_ui(std::make_unique<Ui::GuanlianPage>())
{
    m_ui->setupUi(this);
    setObjectName(pageSpec().name);
    bindFields();
    m_ui->pgc2->setCurrentIndex(0);
    connect(m_ui->rgleixing, &RadioGroup::itemChosen, this, &GuanlianPage::chooseStyle);
}

GuanlianPage::~GuanlianPage() = default;

void GuanlianPage::chooseStyle(int style)
{
    emit metricsRequested(guanlian::withStyle(currentMetrics(), style));
}

Metrics GuanlianPage::currentMetrics() const
{
    if (const auto *mainWindow = qobject_cast<const MainWindow *>(window()))
        return mainWindow->metrics();
    return {};
}

void GuanlianPage::shopTypeChanged()
{
    // The window has reset the metrics already; only the choice goes.
    m_ui->rgleixing->setItemIndex(-1);
}

QString GuanlianPage::entryNameSuffix() const
{
    return guanlian::styleWord(m_ui->rgleixing->itemIndex());
}

QString GuanlianPage::addConfirmation() const
{
    return u"确定要添加该板块？"_s;
}

} // namespace orv
