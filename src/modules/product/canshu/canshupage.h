#pragma once

#include "app/modulepage.h"

#include <memory>

namespace Ui {
class CanshuPage;
}

namespace orv {

class CanshuPage : public ModulePage {
    Q_OBJECT

public:
    explicit CanshuPage(QWidget *parent = nullptr);
    ~CanshuPage() override;

    // The lines of mmocanshu as the memo lays them out at its current width:
    // a line wider than the field gives one line per wrapped part.
    QStringList displayedLines(const QString &field, const QString &text) const override;

private:
    std::unique_ptr<Ui::CanshuPage> m_ui;
};

} // namespace orv
