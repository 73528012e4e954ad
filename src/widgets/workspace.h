#pragma once

#include <QString>

namespace orv {

class OutputBuffer;

// What the module-list panel needs of the window it sits in.
class Workspace {
public:
    virtual OutputBuffer &buffer() = 0;
    // The current module's name, as the status strip shows it.
    virtual QString moduleName() const = 0;
    // Writes a text to the preview file and shows it, leaving the buffer
    // alone; a failure shows in the standard error box.
    virtual void preview(const QString &text) = 0;
    // Asked before 提取代码 copies the buffer: false leaves the clipboard
    // alone (the window's check may show what is wrong and ask first).
    virtual bool confirmCopy() { return true; }

protected:
    ~Workspace() = default;
};

} // namespace orv
