#pragma once
// The DTMF dialog: six selectors, the ANI, stun, kill and PTT ID code boxes and the
// call list of 16 numbers with its cell editor. Loads on opening; only OK writes.
//
// Call list entries 9-16 lie in the radio's channel memory (current channel byte and
// channel bitmaps); the dialog says so, writes them only when the user changed them,
// and asks before it does.
#include "core/AppContext.h"
#include "core/Prompter.h"
#include "settings/DtmfRules.h"

#include <QDialog>
#include <QHash>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kestrel {

class FrmDTMF : public QDialog {
    Q_OBJECT
public:
    FrmDTMF(AppContext& app, Prompter& prompter, QWidget* parent = nullptr);

    // What the controls show (an open cell edit included).
    DtmfValues values() const;
    // Lays the cell editor over call list row `row` (0-15) and gives it the focus;
    // `typed` non-empty starts the editor with that text, caret after it.
    void BeginEdit(int row, const QString& typed = QString());

    QLabel* lblDTMF[11] = {};
    QComboBox* cboDTMF[6] = {};
    QLineEdit* txtDTMF[5] = {}; // 0 stun, 1 kill, 2 BOT, 3 EOT, 4 ANI
    QGroupBox* fraCallList = nullptr;
    QTableWidget* GridDTMF = nullptr;
    QLineEdit* txtInput = nullptr;
    QLabel* lblShared = nullptr; // the note about entries 9-16
    QPushButton* Command1[2] = {}; // 0 OK, 1 Cancel

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void setTexts();
    void setValues(const DtmfValues& v);
    bool codeBoxEvent(QLineEdit* box, QEvent* event);
    bool gridEvent(QEvent* event);
    bool editorEvent(QEvent* event);
    void EndEdit();
    void Command1_Click(int index);

    AppContext& m_app;
    Prompter& m_prompter;
    DtmfValues m_loaded;                 // what the view showed when it opened
    QHash<QLineEdit*, QString> m_remembered; // text of a code box when it got the focus
    QString m_savedCell;                 // cell text when editing began
    int m_editRow = -1;
    bool m_ending = false;
};

} // namespace kestrel
