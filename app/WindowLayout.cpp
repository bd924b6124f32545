#include "app/WindowLayout.h"

#include <QSettings>
#include <QWidget>

namespace {
const QString kGeometryKey = QStringLiteral("Window/geometry");
QSettings Settings() {
    return QSettings(QStringLiteral("Ardwen"), QStringLiteral("Quillmere"));
}
}  // namespace

WindowLayout::WindowLayout(QWidget* window, QWidget* stretching)
    : m_window(window), m_stretching(stretching), m_templateSize(window->size()) {
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->property("ctlId").isValid()) m_places.insert(child, child->geometry());
    window->setMinimumSize(m_templateSize);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

QSize WindowLayout::Extra() const {
    return {qMax(0, m_window->width() - m_templateSize.width()),
            qMax(0, m_window->height() - m_templateSize.height())};
}

void WindowLayout::Apply() {
    const int dw = Extra().width();
    const int dh = Extra().height();
    const QRect list = m_places.value(m_stretching);
    for (auto it = m_places.cbegin(); it != m_places.cend(); ++it) {
        QRect place = it.value();
        if (it.key() == m_stretching)
            place.adjust(0, 0, dw, dh);
        else {
            if (place.left() >= list.left() + list.width()) place.translate(dw, 0);
            if (place.top() >= list.top() + list.height()) place.translate(0, dh);
            if (m_following.contains(it.key())) place.adjust(0, 0, dw, 0);
        }
        it.key()->setGeometry(place);
    }
}

void WindowLayout::RestoreGeometry() {
    const QByteArray geometry = Settings().value(kGeometryKey).toByteArray();
    if (!geometry.isEmpty()) m_window->restoreGeometry(geometry);
}

void WindowLayout::SaveGeometry() const {
    Settings().setValue(kGeometryKey, m_window->saveGeometry());
}
