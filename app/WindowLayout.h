#pragma once
// The main window at any size: at its template size every control is where the template puts
// it; a larger window gives the extra width and height to the list, moves the controls right
// of the list (the command buttons) by the extra width so that they keep their distance from
// the right edge, and leaves the rows above the list in place (those that follow the right
// edge grow with it). The template size is the least
// size. The window's size, position and maximized state are kept in the settings (group
// "Window", beside the column widths in "ListCtrls").
#include <QHash>
#include <QRect>
#include <QSet>
#include <QSize>

class QWidget;

class WindowLayout {
public:
    // Takes the controls' present places as their places at the template size, which is the
    // window's present size; `stretching` is the list.
    WindowLayout(QWidget* window, QWidget* stretching);

    const QSize& TemplateSize() const { return m_templateSize; }
    // Rows above or below the list that reach to its right edge and keep doing so: their width
    // grows with the window's.
    void FollowRightEdge(QWidget* control) { m_following.insert(control); }
    // How much wider and higher than its template size the window is now (never negative).
    QSize Extra() const;
    // Places the controls for the window's present size (call on every resize).
    void Apply();

    void RestoreGeometry();
    void SaveGeometry() const;

private:
    QWidget* m_window;
    QWidget* m_stretching;
    QSize m_templateSize;
    QHash<QWidget*, QRect> m_places;  // at the template size
    QSet<QWidget*> m_following;
};
