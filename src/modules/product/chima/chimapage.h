#pragma once

#include "app/modulepage.h"

#include <memory>

namespace Ui {
class ChimaPage;
}

namespace orv {

class ChimaPage : public ModulePage {
    Q_OBJECT

public:
    explicit ChimaPage(QWidget *parent = nullptr);
    ~ChimaPage() override;

private:
    std::unique_ptr<Ui::ChimaPage> m_ui;
};

} // namespace orv
