#include "controls/PanelEx.h"

#include <QGroupBox>

namespace zbpg {
namespace {

// Containers whose children belong to the form's layout; the children of other controls
// (a spin box's editor, a list's viewport) are their own business.
bool isPlainContainer(const QWidget* widget) {
    const QMetaObject* meta = widget->metaObject();
    return qobject_cast<const TPanelEx*>(widget) || qobject_cast<const QGroupBox*>(widget) ||
           meta == &QWidget::staticMetaObject || meta == &QFrame::staticMetaObject;
}

// Sets every child explicitly, so that enabling again also enables children that were
// disabled on their own before.
void enableChildren(QWidget* container, bool value) {
    for (QObject* object : container->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child)
            continue;
        child->setEnabled(value);
        if (qobject_cast<QGroupBox*>(child))
            child->update(); // the caption greys at once
        if (isPlainContainer(child))
            enableChildren(child, value);
    }
}

} // namespace

TPanelEx::TPanelEx(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::NoFrame);
}

bool TPanelEx::Enabled() const {
    // Qt sets WA_Disabled also when a parent is disabled; only WA_ForceDisabled records a
    // setEnabled(false) on the panel itself.
    return !testAttribute(Qt::WA_ForceDisabled);
}

void TPanelEx::SetEnabled(bool value) {
    if (value == Enabled())
        return;
    QWidget::setEnabled(value);
    if (FUpdateParent) {
        if (QWidget* parent = parentWidget()) {
            parent->setEnabled(value);
            parent->update();
        }
    }
    enableChildren(this, value);
}

} // namespace zbpg
