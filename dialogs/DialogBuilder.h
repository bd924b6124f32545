#pragma once
// Builds a dialog's controls from its template: kinds, captions, positions (dialog units
// turned into pixels), styles, radio groups and the tab order.
#include <QHash>
#include <QList>
#include <functional>

#include "dialogs/DialogUnits.h"
#include "res/DialogTemplate.h"

class QDialog;
class QWidget;
class QButtonGroup;

class DialogBuilder {
public:
    // Makes the widget for a control kind the builder does not know (the list view).
    using Factory = std::function<QWidget*(const ControlTemplate&, QWidget* parent)>;

    // Builds into `dialog`: caption, font, fixed size, controls. `top` pixels are left free
    // above the client area (for a menu bar).
    DialogBuilder(QDialog* dialog, const DialogTemplate& tmpl, int top = 0, const Factory& factory = {});

    QWidget* Control(int id) const { return m_controls.value(id, nullptr); }
    template <class T>
    T* Get(int id) const {
        return qobject_cast<T*>(Control(id));
    }
    const DialogUnits& Units() const { return m_units; }
    const QList<QWidget*>& TabOrder() const { return m_tabOrder; }
    const QList<QButtonGroup*>& RadioGroups() const { return m_radioGroups; }

private:
    DialogUnits m_units;
    QHash<int, QWidget*> m_controls;
    QList<QWidget*> m_tabOrder;
    QList<QButtonGroup*> m_radioGroups;
};
