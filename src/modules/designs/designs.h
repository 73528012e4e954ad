#pragma once

#include "core/project.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The starter designs shipped with the program (文件 → 从模板新建…):
// complete projects whose colours and shop name are shared values, each with
// a preview picture. They are resources of this library:
// ":/designs/<id>.orvanta" and ":/designs/<id>.png".
namespace orv::designs {

struct Design {
    QString id;          // "clothing": the names of its files
    QString title;       // as the choice lists it: "服装（含尺码表）"
    QString description; // one sentence of what the page holds

    QString projectPath() const; // ":/designs/<id>.orvanta"
    QString previewPath() const; // ":/designs/<id>.png"
    QByteArray projectBytes() const;
    QByteArray preview() const; // PNG, 240 wide
    // The project, read as a project file is (catalog::pages()); throws
    // Failure, which the tests make sure a shipped design never does.
    Project project() const;
};

// Every design, in the order the choice shows them.
const QList<Design> &all();
// The design with this id, or nullptr.
const Design *find(const QString &id);

} // namespace orv::designs
