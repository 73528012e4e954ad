#pragma once

#include "app/modulepage.h"

#include <memory>

namespace Ui {
class GuanlianPage;
}

namespace orv {

// The related-sales page. Besides its fields it has the style choice, which
// writes the card metrics, and an add step that names the style.
class GuanlianPage : public ModulePage {
    Q_OBJECT

public:
    explicit GuanlianPage(QWidget *parent = nullptr);
    ~GuanlianPage() override;

    void shopTypeChanged() override;
    QString entryNameSuffix() const override;
    QString addConfirmation() const override;

private:
    void chooseStyle(int style);
    Metrics currentMetrics() const;

    std::unique_ptr<Ui::GuanlianPage> m_ui;
};

} // namespace orv
