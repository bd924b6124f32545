#include "dialogs/DialogBuilder.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

namespace {
QFont TemplateFont(const DialogTemplate& tmpl) {
    QFont font(QString::fromStdString(tmpl.fontFace), tmpl.fontPoints);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
}  // namespace

DialogBuilder::DialogBuilder(QDialog* dialog, const DialogTemplate& tmpl, int top, const Factory& factory)
    : m_units(TemplateFont(tmpl)) {
    // A caption with the system menu and close box (and a minimise box where the template has
    // one); the size is fixed.
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (tmpl.minimizeBox) flags |= Qt::WindowMinimizeButtonHint;
    dialog->setWindowFlags(flags);
    dialog->setFont(TemplateFont(tmpl));
    // In a dialog with a default button a focused push button takes Enter itself and Enter
    // elsewhere presses the (first) default button; without one, no button takes Enter.
    const bool hasDefault =
        std::any_of(tmpl.controls.begin(), tmpl.controls.end(),
                    [](const ControlTemplate& c) { return c.kind == ControlKind::DefPushButton; });
    bool defaultPlaced = false;
    dialog->setWindowTitle(QString::fromStdString(tmpl.caption));
    dialog->setFixedSize(m_units.X(tmpl.width), m_units.Y(tmpl.height) + top);

    QButtonGroup* group = nullptr;
    bool previousWasRadio = false;
    for (const ControlTemplate& c : tmpl.controls) {
        const QString caption = QString::fromStdString(c.caption);
        QWidget* w = nullptr;
        switch (c.kind) {
            case ControlKind::PushButton:
            case ControlKind::DefPushButton: {
                auto* b = new QPushButton(caption, dialog);
                b->setAutoDefault(hasDefault);
                if (c.kind == ControlKind::DefPushButton && !defaultPlaced) {
                    b->setDefault(true);
                    defaultPlaced = true;
                }
                w = b;
                break;
            }
            case ControlKind::Edit:
                w = new QLineEdit(dialog);
                break;
            case ControlKind::MultiLineEdit: {
                auto* e = new QPlainTextEdit(dialog);
                e->setLineWrapMode(QPlainTextEdit::NoWrap);
                e->setTabChangesFocus(true);
                if (c.style & StyleVScroll) e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
                w = e;
                break;
            }
            case ControlKind::Label: {
                auto* l = new QLabel(caption, dialog);
                l->setWordWrap(true);
                l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                l->setTextFormat(Qt::PlainText);
                w = l;
                break;
            }
            case ControlKind::RadioButton: {
                auto* r = new QRadioButton(caption, dialog);
                r->setAutoExclusive(false);
                if (!group || !previousWasRadio || (c.style & StyleGroup)) {
                    group = new QButtonGroup(dialog);
                    group->setExclusive(true);
                    m_radioGroups.append(group);
                }
                group->addButton(r, c.id);
                w = r;
                break;
            }
            case ControlKind::CheckBox:
                w = new QCheckBox(caption, dialog);
                break;
            case ControlKind::ListView:
                w = factory ? factory(c, dialog) : new QWidget(dialog);
                break;
        }
        previousWasRadio = c.kind == ControlKind::RadioButton;
        const QRect r = m_units.Rect(c.x, c.y, c.width, c.height);
        w->setGeometry(r.translated(0, top));
        w->setProperty("ctlId", c.id);
        if (c.id != -1) {
            w->setObjectName(QStringLiteral("ctl%1").arg(c.id));
            m_controls.insert(c.id, w);
        }
        if (c.kind != ControlKind::Label) {
            w->setFocusPolicy((c.style & StyleTabStop) ? Qt::StrongFocus : Qt::ClickFocus);
            m_tabOrder.append(w);
        }
        if (c.style & StyleDisabled) w->setEnabled(false);
    }
    for (int i = 1; i < m_tabOrder.size(); ++i) QWidget::setTabOrder(m_tabOrder[i - 1], m_tabOrder[i]);
}
