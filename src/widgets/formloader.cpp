#include "formloader.h"

#include "widgets/radiogroup.h"

#include <QFile>
#include <QUiLoader>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

class FormLoader : public QUiLoader {
public:
    QWidget *createWidget(const QString &className, QWidget *parent, const QString &name) override
    {
        if (className == u"orv::RadioGroup"_s) {
            auto *group = new RadioGroup(parent);
            group->setObjectName(name);
            return group;
        }
        return QUiLoader::createWidget(className, parent, name);
    }
};

} // namespace

QWidget *loadForm(const QString &resourcePath, QWidget *parent)
{
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("Cannot open the form %s: %s", qPrintable(resourcePath), qPrintable(file.errorString()));
        return nullptr;
    }
    FormLoader loader;
    QWidget *form = loader.load(&file, parent);
    if (!form)
        qWarning("Cannot build the form %s: %s", qPrintable(resourcePath), qPrintable(loader.errorString()));
    return form;
}

} // namespace orv
