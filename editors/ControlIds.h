#pragma once
// Every control of the editors carries its numeric id as object name, so
// code and tests address controls the same way ("2011", "3200", ...).

#include <QString>
#include <QWidget>

namespace quorrel::editors {

inline void SetControlId(QWidget* widget, int id)
{
    widget->setObjectName(QString::number(id));
}

template <typename T>
T* FindControl(const QWidget* parent, int id)
{
    return parent->findChild<T*>(QString::number(id));
}

} // namespace quorrel::editors
