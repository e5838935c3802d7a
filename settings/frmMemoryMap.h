#pragma once
// The memory map dialog: a hexadecimal editor over the whole image for service work.
// The grid `msgMemory` has a header row ("0"-"F") and a label column ("000"-"1FF")
// around 512 x 16 byte cells; OK writes every cell back into the image.
#include "core/AppContext.h"
#include "core/Prompter.h"
#include "settings/MemoryMapModel.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace kestrel {

class frmMemoryMap : public QDialog {
    Q_OBJECT
public:
    frmMemoryMap(AppContext& app, Prompter& prompter, QWidget* parent = nullptr);

    MemoryMapModel& cells() { return m_model; }
    MapCell currentCell() const;
    // Makes `cell` current and lays the cell editor over it with the focus; a non-empty
    // `typed` starts the editor with that text, caret after it.
    void BeginEdit(const MapCell& cell, const QString& typed = QString());

    QTableView* msgMemory = nullptr;
    QLineEdit* TxtAddr = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* LblValue = nullptr;
    QLineEdit* txtMemory = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cellEntered(const MapCell& cell);
    void commitEdit();
    void cancelEdit();
    void leaveAddress();
    void fitColumns();
    bool gridEvent(QEvent* event);
    bool editorEvent(QEvent* event);
    bool addressEvent(QEvent* event);
    void cmdOK_Click();

    AppContext& m_app;
    Prompter& m_prompter;
    MemoryMapModel m_model;
    MapCell m_editCell;
    QString m_savedCell;    // the cell's text when editing began (Esc puts it back)
    QString m_savedAddress; // the address box's text when it got the focus
    bool m_closingEditor = false;
};

} // namespace kestrel
