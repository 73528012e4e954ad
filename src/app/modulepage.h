#pragma once

#include "core/page.h"

#include <QWidget>

namespace orv {

// The page of one module in the page control. A subclass lays out the fields
// (a .ui form) and calls bindFields(); the page then takes its defaults and
// choices from the module's description and reads and writes field texts by
// component name. Memo texts cross this boundary as CR LF texts.
class ModulePage : public QWidget {
    Q_OBJECT

public:
    explicit ModulePage(const PageSpec &pageSpec, QWidget *parent = nullptr);

    const PageSpec &pageSpec() const { return m_spec; }

    FieldValues values() const;
    QString value(const QString &field) const;
    void setValue(const QString &field, const QString &text);
    void setValues(const FieldValues &values);

    // The lines of a memo as it displays them, long lines wrapped.
    virtual QStringList displayedLines(const QString &field, const QString &text) const;

    // The shop type changed; the metrics have been reset already.
    virtual void shopTypeChanged() {}

    // The word appended to a module entry's name when this page adds it.
    virtual QString entryNameSuffix() const { return {}; }
    virtual QString addConfirmation() const;

signals:
    void generateRequested();
    void addRequested();
    // The page wrote layout metrics of its own (a style choice).
    void metricsRequested(const orv::Metrics &metrics);

protected:
    // Applies the field defaults and choice items, names the buttons and
    // gives every labelled field its label as accessible name.
    void bindFields();

private:
    QWidget *fieldWidget(const QString &name) const;

    const PageSpec &m_spec;
};

} // namespace orv
