#include "designs.h"

#include "modules/catalog.h"

#include <QFile>

namespace orv::designs {

using namespace Qt::StringLiterals;

namespace {

QByteArray resource(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QString Design::projectPath() const
{
    return u":/designs/%1.orvanta"_s.arg(id);
}

QString Design::previewPath() const
{
    return u":/designs/%1.png"_s.arg(id);
}

QByteArray Design::projectBytes() const
{
    return resource(projectPath());
}

QByteArray Design::preview() const
{
    return resource(previewPath());
}

Project Design::project() const
{
    return parseProject(projectBytes(), catalog::pages(), projectPath());
}

const QList<Design> &all()
{
    static const QList<Design> designs{
        {u"clothing"_s, u"服装（含尺码表）"_s, u"店铺页头、优惠券、商品大图、尺码表和买家须知，适合服装鞋帽。"_s},
        {u"food"_s, u"食品（含参数与须知）"_s, u"店铺页头、产品参数、商品大图、分割标题和买家须知，适合食品特产。"_s},
        {u"electronics"_s, u"数码（含细节与套餐）"_s, u"店铺页头、产品参数、细节图文和搭配套餐，适合数码家电。"_s},
        {u"minimal"_s, u"简洁"_s, u"一个标题和几张大图，从最少的模块开始。"_s},
    };
    return designs;
}

const Design *find(const QString &id)
{
    for (const Design &design : all()) {
        if (design.id == id)
            return &design;
    }
    return nullptr;
}

} // namespace orv::designs
