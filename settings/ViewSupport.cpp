#include "settings/ViewSupport.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStringList>

namespace kestrel::settings {

QString ArrayName(const char* name, int index) { return QString::fromLatin1(name) + QString::number(index); }

bool IsEnter(const QKeyEvent* key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }
bool IsEscape(const QKeyEvent* key) { return key->key() == Qt::Key_Escape; }

void FillList(QComboBox* list, const QStringList& items) {
    const int position = list->currentIndex();
    list->clear();
    list->addItems(items);
    if (position >= 0 && position < items.size())
        list->setCurrentIndex(position);
}

bool FilterTypedKey(QLineEdit* box, QKeyEvent* key, const CharFilter& filter, bool clipboard) {
    const QString text = key->text();
    if (key->modifiers() & Qt::ControlModifier) {
        if (text.isEmpty())
            return false;
        const bool clipboardKey = key->key() == Qt::Key_C || key->key() == Qt::Key_V || key->key() == Qt::Key_X;
        return !(clipboard && clipboardKey);
    }
    if (text.isEmpty() || !text.at(0).isPrint())
        return false;
    const std::optional<QChar> accepted = filter(text.at(0));
    if (!accepted)
        return true;
    if (*accepted == text.at(0))
        return false;
    box->insert(QString(*accepted));
    return true;
}

QValidator::State CleaningValidator::validate(QString& input, int& pos) const {
    const QString cleaned = m_clean(input);
    if (cleaned != input) {
        pos = int(m_clean(input.left(pos)).size());
        input = cleaned;
    }
    return Acceptable;
}

} // namespace kestrel::settings
