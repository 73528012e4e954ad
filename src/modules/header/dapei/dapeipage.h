#pragma once

#include "app/modulepage.h"

#include <memory>

namespace Ui {
class DapeiPage;
}

namespace orv {

class DapeiPage : public ModulePage {
    Q_OBJECT

public:
    explicit DapeiPage(QWidget *parent = nullptr);
    ~DapeiPage() override;

private:
    std::unique_ptr<Ui::DapeiPage> m_ui;
};

} // namespace orv
