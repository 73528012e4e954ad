#include "keyboardmenu.h"

#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

class KeyboardMenu : public QObject {
public:
    KeyboardMenu(QAbstractItemView *view, QMenu *menu)
        : QObject(view)
        , m_view(view)
        , m_menu(menu)
    {
        setObjectName(view->objectName() + u"KeyboardMenu"_s);
        view->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_view)
            return false;
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
            if ((key->key() == Qt::Key_Menu && modifiers == Qt::NoModifier)
                || (key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
                popup();
                return true;
            }
        } else if (event->type() == QEvent::ContextMenu) {
            if (static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
                popup();
                return true;
            }
        }
        return false;
    }

private:
    void popup()
    {
        const QModelIndex current = m_view->currentIndex();
        QPoint at(4, 4);
        if (current.isValid()) {
            const QRect rect = m_view->visualRect(current);
            if (m_view->viewport()->rect().intersects(rect))
                at = rect.bottomLeft() + QPoint(4, 0);
        }
        m_menu->popup(m_view->viewport()->mapToGlobal(at));
    }

    QAbstractItemView *m_view;
    QMenu *m_menu;
};

} // namespace

void openMenuFromKeyboard(QAbstractItemView *view, QMenu *menu)
{
    new KeyboardMenu(view, menu);
}

} // namespace orv
