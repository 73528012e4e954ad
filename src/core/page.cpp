#include "page.h"

namespace orv {

using namespace Qt::StringLiterals;

QString fieldKindName(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Edit:
        return u"edit"_s;
    case FieldKind::Memo:
        return u"memo"_s;
    case FieldKind::Combo:
        return u"combo"_s;
    case FieldKind::Radio:
        return u"radio"_s;
    case FieldKind::Colour:
        return u"colour"_s;
    }
    return {};
}

QString PageState::field(const QString &key) const
{
    Q_ASSERT_X(fields.contains(key), "PageState::field", qPrintable(key));
    return fields.value(key);
}

void PageState::setField(const QString &key, const QString &text)
{
    fields.insert(key, text);
}

int PageState::radioIndex(const QString &key) const
{
    bool ok = false;
    const int index = field(key).toInt(&ok);
    return ok ? index : -1;
}

const FieldSpec *PageSpec::field(const QString &key) const
{
    for (const FieldSpec &f : fields) {
        if (f.key == key)
            return &f;
    }
    return nullptr;
}

const FieldSpec *PageSpec::fieldByKeyOrName(const QString &keyOrName) const
{
    if (const FieldSpec *byKey = field(keyOrName))
        return byKey;
    for (const FieldSpec &f : fields) {
        if (f.name == keyOrName)
            return &f;
    }
    return nullptr;
}

PageState PageSpec::defaultState(const Metrics &metrics) const
{
    PageState state;
    state.metrics = metrics;
    for (const FieldSpec &f : fields)
        state.fields.insert(f.key, f.defaultText);
    return state;
}

} // namespace orv
