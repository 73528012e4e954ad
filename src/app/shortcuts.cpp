#include "shortcuts.h"

#include <QHash>

namespace orv::shortcuts {

using namespace Qt::StringLiterals;

QKeySequence module(qsizetype index)
{
    static const QList<Qt::Key> keys{Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5,    Qt::Key_6,
                                     Qt::Key_7, Qt::Key_8, Qt::Key_9, Qt::Key_0, Qt::Key_Minus};
    if (index < 0 || index >= keys.size())
        return {};
    return QKeySequence(Qt::CTRL | keys.at(index));
}

QChar moduleMnemonic(const QString &pageId)
{
    // The first free letter of each module's pinyin name.
    static const QHash<QString, QChar> letters{
        {u"tsguanlian"_s, u'G'}, {u"tsfengetiao"_s, u'F'}, {u"tsyouhuiquan"_s, u'Y'}, {u"tsdapei"_s, u'D'},
        {u"tscanshu"_s, u'C'},   {u"tschima"_s, u'M'},     {u"tszhanshi"_s, u'Z'},    {u"tsxijie"_s, u'X'},
        {u"tsyangshi"_s, u'S'},  {u"tsjiaoliu"_s, u'J'},   {u"tszidingyi"_s, u'H'},
    };
    return letters.value(pageId);
}

QList<QKeySequence> generate()
{
    return {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)};
}

QList<QKeySequence> add()
{
    return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Enter)};
}

QKeySequence summarize()
{
    return QKeySequence(Qt::Key_F5);
}

QKeySequence extract()
{
    return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C);
}

QString withKey(const QString &caption, const QKeySequence &key)
{
    return u"%1 (%2)"_s.arg(caption, key.toString(QKeySequence::NativeText));
}

} // namespace orv::shortcuts
