#pragma once

#include "app/modulepage.h"

#include <memory>

namespace Ui {
class YangshiPage;
}

namespace orv {

class YangshiPage : public ModulePage {
    Q_OBJECT

public:
    explicit YangshiPage(QWidget *parent = nullptr);
    ~YangshiPage() override;

private:
    std::unique_ptr<Ui::YangshiPage> m_ui;
};

} // namespace orv
