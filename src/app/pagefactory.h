#pragma once

#include "core/page.h"

class QWidget;

namespace orv {

class ModulePage;

// The window's page for a module; a bare page for a module not built yet.
ModulePage *createModulePage(const PageSpec &pageSpec, QWidget *parent);

} // namespace orv
