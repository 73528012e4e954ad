#include "page.h"

namespace orv {

QString fieldKindName(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Edit:
        return QStringLiteral("edit");
    case FieldKind::Memo:
        return QStringLiteral("memo");
    case FieldKind::Combo:
        return QStringLiteral("combo");
    case FieldKind::Radio:
        return QStringLiteral("radio");
    case FieldKind::Colour:
        return QStringLiteral("colour");
    }
    return {};
}

Metrics Metrics::forShop(int shopType)
{
    Metrics m;
    m.shopType = shopType;
    m.totalWidth = shopType == 1 ? QStringLiteral("790") : QStringLiteral("750");
    return m;
}

QString PageState::field(const QString &name) const
{
    Q_ASSERT_X(fields.contains(name), "PageState::field", qPrintable(name));
    return fields.value(name);
}

void PageState::setField(const QString &name, const QString &text)
{
    fields.insert(name, text);
}

int PageState::radioIndex(const QString &name) const
{
    bool ok = false;
    const int index = field(name).toInt(&ok);
    return ok ? index : -1;
}

const FieldSpec *PageSpec::findField(const QString &fieldName) const
{
    for (const FieldSpec &f : fields) {
        if (f.name == fieldName)
            return &f;
    }
    return nullptr;
}

PageState PageSpec::defaultState(const Metrics &metrics) const
{
    PageState state;
    state.metrics = metrics;
    for (const FieldSpec &f : fields)
        state.fields.insert(f.name, f.defaultText);
    return state;
}

} // namespace orv
