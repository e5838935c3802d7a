#pragma once
// "Compare With File…": every difference between the open image and a chosen file,
// in a sortable table (where, field, the open image's text, the file's text), with a
// button that copies the list as text.
#include "core/AppContext.h"
#include "core/ImageDescription.h"
#include "core/Prompter.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

namespace kestrel {

class frmCompare : public QDialog {
    Q_OBJECT
public:
    // `fileName` is what the summary calls the file.
    frmCompare(const QList<ImageDifference>& differences, const QString& fileName, Language language,
               QWidget* parent = nullptr);

    // The lines of the table in its current order, as Copy puts them on the clipboard.
    QString text() const;

    QLabel* lblSummary;
    QTableWidget* tblDiff;
    QPushButton* cmdCopy;
    QPushButton* cmdClose;

private:
    QList<ImageDifference> m_differences;
    Language m_language;
};

// The command: asks for a file, compares and shows the dialog. A file that cannot be
// loaded is reported and nothing else happens.
void CompareWithFile(const AppContext& app, Prompter& prompter, QWidget* parent);

} // namespace kestrel
