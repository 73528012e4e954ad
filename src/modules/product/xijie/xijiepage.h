#pragma once

#include "app/modulepage.h"

#include <memory>

namespace Ui {
class XijiePage;
}

namespace orv {

class XijiePage : public ModulePage {
    Q_OBJECT

public:
    explicit XijiePage(QWidget *parent = nullptr);
    ~XijiePage() override;

private:
    std::unique_ptr<Ui::XijiePage> m_ui;
};

} // namespace orv
