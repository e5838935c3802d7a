#include "shell/WindowCare.h"

#include <QAccessibleWidget>
#include <QAbstractItemView>
#include <QApplication>
#include <QBoxLayout>
#include <QLineEdit>
#include <QComboBox>
#include <QLabel>
#include <QDialog>
#include <QEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QKeyEvent>
#include <QShortcut>
#include <QTimer>
#include <QToolBar>

namespace kestrel {

namespace {
const char* const Scrolls = "kestrelScrolls";
const char* const NameFromLabel = "kestrelNameFromLabel";
} // namespace

namespace {
class ComboBoxAccessible : public QAccessibleWidget {
public:
    explicit ComboBoxAccessible(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}
    QComboBox* list() const { return static_cast<QComboBox*>(object()); }

    QString text(QAccessible::Text t) const override {
        const QString shown = list()->isEditable() && list()->lineEdit() ? list()->lineEdit()->text() : list()->currentText();
        if (t == QAccessible::Value)
            return shown;
        if (t == QAccessible::Name) {
            const QString own = QAccessibleWidget::text(t); // its name, else its label's text
            return own.isEmpty() ? shown : own;
        }
        return QAccessibleWidget::text(t);
    }
    // The drop-down list, as Qt's own combo box interface has it.
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == list()->view() ? 0 : -1;
    }
    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name == showMenuAction() || name == pressAction())
            list()->showPopup();
        else
            QAccessibleWidget::doAction(name);
    }
};

QAccessibleInterface* ComboBoxFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("QComboBox"))
        if (auto* list = qobject_cast<QComboBox*>(object))
            return new ComboBoxAccessible(list);
    // Qt's own tool bar interface keeps the title the bar had when first asked for as its
    // name for good, so the bar would stay in the first language: this one asks each time.
    if (className == QLatin1String("QToolBar"))
        if (auto* bar = qobject_cast<QToolBar*>(object))
            return new QAccessibleWidget(bar, QAccessible::ToolBar);
    return nullptr;
}
} // namespace

void InstallComboBoxNames() {
    static bool installed = false;
    if (!installed)
        QAccessible::installFactory(ComboBoxFactory);
    installed = true;
}

void NameListsByTheirLabels(QWidget* root) {
    for (QLabel* label : root->findChildren<QLabel*>()) {
        auto* list = qobject_cast<QComboBox*>(label->buddy());
        if (!list)
            continue;
        const QString own = list->accessibleName();
        if (!own.isEmpty() && own != list->property(NameFromLabel).toString())
            continue; // named on purpose
        QString name = label->text();
        name.replace(QLatin1String("&&"), QLatin1String("\x01")).remove(QLatin1Char('&'));
        name.replace(QLatin1Char('\x01'), QLatin1Char('&'));
        name = name.trimmed();
        if (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xFF1A)))
            name.chop(1);
        list->setProperty(NameFromLabel, name);
        if (name != own)
            list->setAccessibleName(name);
    }
}

bool ScrollWhenTooLarge(QDialog* dialog) {
    auto* box = qobject_cast<QBoxLayout*>(dialog->layout());
    if (!box || box->sizeConstraint() == QLayout::SetFixedSize || dialog->property(Scrolls).toBool())
        return false;
    const QRect screen = dialog->screen()->availableGeometry();
    // Room for the title bar and the frame the window manager adds.
    const int frame = dialog->style()->pixelMetric(QStyle::PM_TitleBarHeight) + 16;
    const QSize hint = dialog->sizeHint();
    if (hint.height() + frame <= screen.height() && hint.width() + 16 <= screen.width())
        return false;

    // Moving a field to a new parent hides it: those shown now are shown again below.
    QList<QWidget*> shown;
    for (QWidget* w : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!w->isWindow() && !w->isHidden())
            shown << w;
    auto* body = new QWidget;
    body->setObjectName(QStringLiteral("scrolledContent"));
    auto* inner = new QBoxLayout(box->direction(), body);
    inner->setContentsMargins(box->contentsMargins());
    inner->setSpacing(box->spacing());
    while (box->count() > 0) {
        const int stretch = box->stretch(0);
        QLayoutItem* item = box->takeAt(0);
        if (QWidget* w = item->widget()) {
            inner->addWidget(w, stretch, item->alignment());
            delete item;
        } else if (QLayout* l = item->layout()) {
            l->setParent(nullptr);
            inner->addLayout(l, stretch);
        } else if (item->spacerItem()) {
            inner->addItem(item);
            inner->setStretch(inner->count() - 1, stretch);
        } else {
            delete item;
        }
    }
    delete box;
    auto* area = new QScrollArea(dialog);
    area->setObjectName(QStringLiteral("scrollArea"));
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setFocusPolicy(Qt::NoFocus); // Tab goes through the fields, the area follows the focus
    area->setWidget(body);
    for (QWidget* w : std::as_const(shown))
        w->show();
    auto* outer = new QVBoxLayout(dialog);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(area);
    area->show(); // at once, not when the layout gets round to it
    dialog->setProperty(Scrolls, true);
    dialog->setMinimumSize(0, 0);
    const int bar = area->verticalScrollBar()->sizeHint().width();
    const QSize size(qMin(hint.width() + bar + 4, screen.width() - 16), qMin(hint.height(), screen.height() - frame));
    dialog->resize(size);
    dialog->move(screen.left() + (screen.width() - size.width()) / 2, screen.top() + (screen.height() - size.height() - frame) / 2);
    return true;
}

namespace {
// Not hidden on purpose (fields just moved into a scroll area are hidden until shown again).
bool Shown(QWidget* w, QWidget* root) {
    for (QWidget* p = w; p && p != root; p = p->parentWidget())
        if (p->isHidden() && p->testAttribute(Qt::WA_WState_ExplicitShowHide))
            return false;
    return true;
}

// The first control Tab reaches in `dialog`.
QWidget* FirstField(QDialog* dialog) {
    for (QWidget* w = dialog->nextInFocusChain(); w && w != dialog; w = w->nextInFocusChain())
        if (w->window() == dialog && (w->focusPolicy() & Qt::TabFocus) && Shown(w, dialog) && w->isEnabled())
            return w;
    return nullptr;
}
} // namespace

bool WindowCare::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+Enter works the dialog's own Ctrl+Enter shortcut (OK where Enter moves on to the
    // next field) from any field, before the field's own key handling sees an Enter.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers().testFlag(Qt::ControlModifier))
            if (auto* dialog = qobject_cast<QDialog*>(w->window()))
                for (QShortcut* s : dialog->findChildren<QShortcut*>(Qt::FindDirectChildrenOnly))
                    if (s->isEnabled() && s->keys().contains(QKeySequence(key->keyCombination()))) {
                        emit s->activated();
                        return true;
                    }
        return QObject::eventFilter(watched, event);
    }
    if (event->type() != QEvent::Show && event->type() != QEvent::Hide)
        return QObject::eventFilter(watched, event);
    auto* dialog = qobject_cast<QDialog*>(watched);
    if (!dialog || event->spontaneous())
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::Show) {
        NameListsByTheirLabels(dialog);
        ScrollWhenTooLarge(dialog);
        QWidget* had = QApplication::focusWidget();
        if (had && had->window() != dialog)
            m_focusBefore.insert(dialog, had);
        // After the fields moved into a scroll area have been shown again.
        QTimer::singleShot(0, dialog, [dialog] {
            if (!dialog->focusWidget())
                if (QWidget* first = FirstField(dialog))
                    first->setFocus(Qt::TabFocusReason);
        });
    } else if (const QPointer<QWidget> had = m_focusBefore.take(dialog)) {
        // Once the dialog is gone, the control that had the focus gets it again (Qt may leave
        // it nowhere, and a desktop without a window manager does not even give back the
        // window's activation).
        QTimer::singleShot(0, had, [had, dialog = QPointer<QDialog>(dialog)] {
            QWidget* now = QApplication::focusWidget();
            if (!had->isVisible() || (now && now->window() != dialog))
                return;
            had->window()->activateWindow();
            had->setFocus(Qt::OtherFocusReason);
        });
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kestrel
