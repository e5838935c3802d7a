#include "channels/FrmBatch.h"

#include "core/Frequency.h"
#include "core/StringTable.h"
#include "core/Tone.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QShortcut>
#include <QStyle>

namespace kestrel {

namespace {

template <typename W>
W* Make(QWidget* parent, const char* name) {
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// Option pairs are ascending (id 0) / descending (id 1).
BatchDirection DirectionOf(const QButtonGroup* group) {
    return group->checkedId() == 1 ? BatchDirection::Descending : BatchDirection::Ascending;
}

void CheckId(QButtonGroup* group, int id) {
    if (QAbstractButton* b = group->button(id))
        b->setChecked(true);
}

int IdOf(BatchDirection d) { return d == BatchDirection::Descending ? 1 : 0; }

bool IsEnter(const QKeyEvent* k) { return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter; }

} // namespace

FrmBatch::FrmBatch(AppContext& app, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_app(app), m_prompter(prompter) {
    setObjectName(QStringLiteral("FrmBatch"));
    setModal(true);
    buildControls();
    RefreshFace();
    setValues(DefaultBatchValues(m_app.band));
}

void FrmBatch::buildControls() {
    auto* grid = new QGridLayout;

    // Created in reading order, which is also the keyboard order.
    lblArea = Make<QLabel>(this, "lblArea");
    optAll = Make<QRadioButton>(this, "optAll");
    optFrom = Make<QRadioButton>(this, "optFrom");
    txtFirst = Make<QLineEdit>(this, "txtFirst");
    lblTo = Make<QLabel>(this, "lblTo");
    txtLast = Make<QLineEdit>(this, "txtLast");
    grid->addWidget(lblArea, 0, 0);
    grid->addWidget(optAll, 0, 1);
    grid->addWidget(optFrom, 0, 2);
    grid->addWidget(txtFirst, 0, 3);
    grid->addWidget(lblTo, 0, 5);
    grid->addWidget(txtLast, 0, 6);

    lblRx = Make<QLabel>(this, "lblRx");
    lblRxStart = Make<QLabel>(this, "lblRxStart");
    txtRxStart = Make<QLineEdit>(this, "txtRxStart");
    lblRxStep = Make<QLabel>(this, "lblRxStep");
    txtRxStep = Make<QLineEdit>(this, "txtRxStep");
    optRxAsc = Make<QRadioButton>(this, "optRxAsc");
    optRxDesc = Make<QRadioButton>(this, "optRxDesc");
    grid->addWidget(lblRx, 1, 0);
    grid->addWidget(lblRxStart, 1, 2);
    grid->addWidget(txtRxStart, 1, 3);
    grid->addWidget(lblRxStep, 1, 5);
    grid->addWidget(txtRxStep, 1, 6);
    grid->addWidget(optRxAsc, 1, 7);
    grid->addWidget(optRxDesc, 1, 8);

    lblTx = Make<QLabel>(this, "lblTx");
    optTxDefault = Make<QRadioButton>(this, "optTxDefault");
    optTxOffset = Make<QRadioButton>(this, "optTxOffset");
    txtOffset = Make<QLineEdit>(this, "txtOffset");
    optPlus = Make<QRadioButton>(this, "optPlus");
    optMinus = Make<QRadioButton>(this, "optMinus");
    optTxStart = Make<QRadioButton>(this, "optTxStart");
    txtTxStart = Make<QLineEdit>(this, "txtTxStart");
    lblTxStep = Make<QLabel>(this, "lblTxStep");
    txtTxStep = Make<QLineEdit>(this, "txtTxStep");
    optTxAsc = Make<QRadioButton>(this, "optTxAsc");
    optTxDesc = Make<QRadioButton>(this, "optTxDesc");
    grid->addWidget(lblTx, 2, 0);
    grid->addWidget(optTxDefault, 2, 1);
    grid->addWidget(optTxOffset, 2, 2);
    grid->addWidget(txtOffset, 2, 3);
    grid->addWidget(optPlus, 2, 7);
    grid->addWidget(optMinus, 2, 8);
    grid->addWidget(optTxStart, 3, 2);
    grid->addWidget(txtTxStart, 3, 3);
    grid->addWidget(lblTxStep, 3, 5);
    grid->addWidget(txtTxStep, 3, 6);
    grid->addWidget(optTxAsc, 3, 7);
    grid->addWidget(optTxDesc, 3, 8);

    lblDecode = Make<QLabel>(this, "lblDecode");
    lblDecodeStart = Make<QLabel>(this, "lblDecodeStart");
    cboDecode = Make<QComboBox>(this, "cboDecode");
    chkDecodeRandom = Make<QCheckBox>(this, "chkDecodeRandom");
    lblDecodeInterval = Make<QLabel>(this, "lblDecodeInterval");
    txtDecodeInterval = Make<QLineEdit>(this, "txtDecodeInterval");
    optDecodeAsc = Make<QRadioButton>(this, "optDecodeAsc");
    optDecodeDesc = Make<QRadioButton>(this, "optDecodeDesc");
    grid->addWidget(lblDecode, 4, 0);
    grid->addWidget(lblDecodeStart, 4, 2);
    grid->addWidget(cboDecode, 4, 3);
    grid->addWidget(chkDecodeRandom, 4, 4);
    grid->addWidget(lblDecodeInterval, 4, 5);
    grid->addWidget(txtDecodeInterval, 4, 6);
    grid->addWidget(optDecodeAsc, 4, 7);
    grid->addWidget(optDecodeDesc, 4, 8);

    lblEncode = Make<QLabel>(this, "lblEncode");
    optEncodeDefault = Make<QRadioButton>(this, "optEncodeDefault");
    optEncodeOwn = Make<QRadioButton>(this, "optEncodeOwn");
    cboEncode = Make<QComboBox>(this, "cboEncode");
    chkEncodeRandom = Make<QCheckBox>(this, "chkEncodeRandom");
    lblEncodeInterval = Make<QLabel>(this, "lblEncodeInterval");
    txtEncodeInterval = Make<QLineEdit>(this, "txtEncodeInterval");
    optEncodeAsc = Make<QRadioButton>(this, "optEncodeAsc");
    optEncodeDesc = Make<QRadioButton>(this, "optEncodeDesc");
    grid->addWidget(lblEncode, 5, 0);
    grid->addWidget(optEncodeDefault, 5, 1);
    grid->addWidget(optEncodeOwn, 5, 2);
    grid->addWidget(cboEncode, 5, 3);
    grid->addWidget(chkEncodeRandom, 5, 4);
    grid->addWidget(lblEncodeInterval, 5, 5);
    grid->addWidget(txtEncodeInterval, 5, 6);
    grid->addWidget(optEncodeAsc, 5, 7);
    grid->addWidget(optEncodeDesc, 5, 8);

    lblScan = Make<QLabel>(this, "lblScan");
    cboScan = Make<QComboBox>(this, "cboScan");
    lblPower = Make<QLabel>(this, "lblPower");
    cboPower = Make<QComboBox>(this, "cboPower");
    lblLockout = Make<QLabel>(this, "lblLockout");
    cboLockout = Make<QComboBox>(this, "cboLockout");
    grid->addWidget(lblScan, 6, 0);
    grid->addWidget(cboScan, 6, 1);
    grid->addWidget(lblPower, 6, 2);
    grid->addWidget(cboPower, 6, 3);
    grid->addWidget(lblLockout, 6, 5);
    grid->addWidget(cboLockout, 6, 6);

    lblName = Make<QLabel>(this, "lblName");
    txtName = Make<QLineEdit>(this, "txtName");
    chkNamed = Make<QCheckBox>(this, "chkNamed");
    grid->addWidget(lblName, 7, 0);
    grid->addWidget(txtName, 7, 1);
    grid->addWidget(chkNamed, 7, 2, 1, 2);

    cmdApply = Make<QPushButton>(this, "cmdApply");
    cmdClose = Make<QPushButton>(this, "cmdClose");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdApply);
    buttons->addWidget(cmdClose);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addLayout(buttons);

    const QList<QWidget*> order{optAll, optFrom, txtFirst, txtLast, txtRxStart, txtRxStep, optRxAsc, optRxDesc,
                                optTxDefault, optTxOffset, txtOffset, optPlus, optMinus, optTxStart, txtTxStart,
                                txtTxStep, optTxAsc, optTxDesc, cboDecode, chkDecodeRandom, txtDecodeInterval,
                                optDecodeAsc, optDecodeDesc, optEncodeDefault, optEncodeOwn, cboEncode,
                                chkEncodeRandom, txtEncodeInterval, optEncodeAsc, optEncodeDesc, cboScan, cboPower,
                                cboLockout, txtName, chkNamed, cmdApply, cmdClose};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    auto group = [this](std::initializer_list<QAbstractButton*> members) {
        auto* g = new QButtonGroup(this);
        int id = 0;
        for (QAbstractButton* b : members)
            g->addButton(b, id++);
        return g;
    };
    grpRange = group({optAll, optFrom});
    grpRxDirection = group({optRxAsc, optRxDesc});
    grpTransmit = group({optTxDefault, optTxOffset, optTxStart});
    grpSign = group({optPlus, optMinus});
    grpTxDirection = group({optTxAsc, optTxDesc});
    grpDecodeDirection = group({optDecodeAsc, optDecodeDesc});
    grpEncodeMode = group({optEncodeDefault, optEncodeOwn});
    grpEncodeDirection = group({optEncodeAsc, optEncodeDesc});

    fillToneList(cboDecode);
    fillToneList(cboEncode);
    for (QComboBox* list : {cboScan, cboPower})
        list->addItems({QString(), QString()});
    cboLockout->addItems({QString(), QString(), QString()});

    m_boxKinds = {{txtFirst, BatchField::ChannelNumber},     {txtLast, BatchField::ChannelNumber},
                  {txtRxStart, BatchField::Frequency},       {txtOffset, BatchField::Frequency},
                  {txtTxStart, BatchField::Frequency},       {txtRxStep, BatchField::Step},
                  {txtTxStep, BatchField::Step},             {txtDecodeInterval, BatchField::Interval},
                  {txtEncodeInterval, BatchField::Interval}, {txtName, BatchField::ChannelName}};
    for (auto it = m_boxKinds.cbegin(); it != m_boxKinds.cend(); ++it) {
        QLineEdit* box = it.key();
        const BatchField kind = it.value();
        box->setMaxLength(MaxLengthOf(kind));
        // A frequency shows whole ("136.00000") in any font and scale, a spare digit for the
        // frame and the text cursor.
        if (kind == BatchField::Frequency)
            box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("8888.88888")) +
                                 2 * box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box));
        box->installEventFilter(this);
        connect(box, &QLineEdit::textChanged, this, [this, box, kind] { textChangedIn(box, kind); });
    }
    for (QWidget* w : order) {
        if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QPushButton*>(w))
            w->installEventFilter(this);
    }

    connect(grpRange, &QButtonGroup::idClicked, this, [this] { modeChosen(BatchMode::Range); });
    connect(grpTransmit, &QButtonGroup::idClicked, this, [this] { modeChosen(BatchMode::Transmit); });
    connect(grpEncodeMode, &QButtonGroup::idClicked, this, [this] { modeChosen(BatchMode::Encode); });
    connect(chkDecodeRandom, &QCheckBox::toggled, this, [this] { updateEnabling(); });
    connect(chkEncodeRandom, &QCheckBox::toggled, this, [this] { updateEnabling(); });
    // Enter moves on to the next field here; Ctrl+Enter presses Apply as a click would.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Enter))})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [button = cmdApply] {
            button->setFocus(Qt::ShortcutFocusReason);
            button->click();
        });
    connect(cmdApply, &QPushButton::clicked, this, &FrmBatch::Apply);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
}

void FrmBatch::fillToneList(QComboBox* list) {
    QStringList tones = m_app.toneTable;
    if (tones.size() != ToneCount)
        tones = BuildToneTable(m_app.language);
    list->addItems(tones);
}

void FrmBatch::RefreshFace() {
    const Language lang = m_app.language;
    auto text = [lang](int number) { return LoadText(number, lang); };
    const QString mhz = QStringLiteral("(Mhz)");
    const QString khz = QStringLiteral("(KHz)");
    const QString colon = QStringLiteral(":");

    setWindowTitle(text(1410));
    lblArea->setText(text(1200));
    optAll->setText(text(1201));
    optFrom->setText(text(1202));
    lblTo->setText(text(1203));

    lblRx->setText(text(1211) + colon);
    lblRxStart->setText(text(1212) + mhz);
    lblRxStep->setText(text(1213) + khz);
    optRxAsc->setText(text(1214));
    optRxDesc->setText(text(1215));

    lblTx->setText(text(1216) + colon);
    optTxDefault->setText(text(1217));
    optTxOffset->setText(text(1218) + mhz);
    optPlus->setText(text(1219));
    optMinus->setText(text(1220));
    optTxStart->setText(text(1212) + QStringLiteral("(MHz)"));
    lblTxStep->setText(text(1221) + khz);
    optTxAsc->setText(text(1214));
    optTxDesc->setText(text(1215));

    lblDecode->setText(text(1227) + colon);
    lblDecodeStart->setText(text(1239));
    chkDecodeRandom->setText(text(1240));
    lblDecodeInterval->setText(text(1242));
    optDecodeAsc->setText(text(1214));
    optDecodeDesc->setText(text(1215));

    lblEncode->setText(text(1243) + colon);
    optEncodeDefault->setText(text(1217));
    optEncodeOwn->setText(text(1239));
    chkEncodeRandom->setText(text(1240));
    lblEncodeInterval->setText(text(1242));
    optEncodeAsc->setText(text(1214));
    optEncodeDesc->setText(text(1215));

    lblScan->setText(text(1247));
    cboScan->setItemText(0, text(1100));
    cboScan->setItemText(1, text(1101));
    lblPower->setText(text(1250));
    cboPower->setItemText(0, text(1415));
    cboPower->setItemText(1, text(1451));
    lblLockout->setText(text(1252));
    cboLockout->setItemText(0, text(1456));
    cboLockout->setItemText(1, QStringLiteral("BCL"));
    cboLockout->setItemText(2, QStringLiteral("QT/DQT"));
    lblName->setText(text(1255) + colon);
    chkNamed->setText(text(1400));

    // Item 0 of the tone lists is the no-tone text; the tones are the same in both languages.
    cboDecode->setItemText(0, text(1104));
    cboEncode->setItemText(0, text(1104));

    cmdApply->setText(text(1404));
    cmdClose->setText(text(1408));
    nameControls();
}

void FrmBatch::nameControls() {
    // For screen readers a field is named as the eye reads its line: the row's label,
    // then its own ("RX Freq: Start(Mhz)"); options and check boxes get the row too,
    // since "Ascending" or "Random" alone does not say which row they belong to.
    auto plain = [](const QAbstractButton* b) { return QString(b->text()).remove(QLatin1Char('&')); };
    auto name = [](QWidget* w, const QLabel* row, const QString& own) {
        w->setAccessibleName(own.isEmpty() ? row->text() : row->text() + QLatin1Char(' ') + own);
    };
    name(optAll, lblArea, plain(optAll));
    name(optFrom, lblArea, plain(optFrom));
    name(txtFirst, lblArea, plain(optFrom));
    name(txtLast, lblArea, lblTo->text());
    name(txtRxStart, lblRx, lblRxStart->text());
    name(txtRxStep, lblRx, lblRxStep->text());
    name(txtOffset, lblTx, plain(optTxOffset));
    name(txtTxStart, lblTx, plain(optTxStart));
    name(txtTxStep, lblTx, lblTxStep->text());
    name(cboDecode, lblDecode, lblDecodeStart->text());
    name(txtDecodeInterval, lblDecode, lblDecodeInterval->text());
    name(cboEncode, lblEncode, plain(optEncodeOwn));
    name(txtEncodeInterval, lblEncode, lblEncodeInterval->text());
    for (auto [row, buttons] : {std::pair<QLabel*, QList<QAbstractButton*>>{lblRx, {optRxAsc, optRxDesc}},
                                {lblTx, {optTxDefault, optTxOffset, optPlus, optMinus, optTxStart, optTxAsc, optTxDesc}},
                                {lblDecode, {chkDecodeRandom, optDecodeAsc, optDecodeDesc}},
                                {lblEncode, {optEncodeDefault, optEncodeOwn, chkEncodeRandom, optEncodeAsc, optEncodeDesc}}})
        for (QAbstractButton* b : buttons)
            name(b, row, plain(b));
    name(cboScan, lblScan, QString());
    name(cboPower, lblPower, QString());
    name(cboLockout, lblLockout, QString());
    name(txtName, lblName, QString());
}

BatchValues FrmBatch::values() const {
    BatchValues v;
    v.range = grpRange->checkedId() == 1 ? BatchRange::FromTo : BatchRange::All;
    v.firstChannel = txtFirst->text();
    v.lastChannel = txtLast->text();
    v.rxStart = txtRxStart->text();
    v.rxStep = txtRxStep->text();
    v.rxDirection = DirectionOf(grpRxDirection);
    switch (grpTransmit->checkedId()) {
    case 1: v.transmit = BatchTransmit::Offset; break;
    case 2: v.transmit = BatchTransmit::OwnStart; break;
    default: v.transmit = BatchTransmit::SameAsReceive; break;
    }
    v.offset = txtOffset->text();
    v.offsetMinus = grpSign->checkedId() == 1;
    v.txStart = txtTxStart->text();
    v.txStep = txtTxStep->text();
    v.txDirection = DirectionOf(grpTxDirection);
    v.decode.start = cboDecode->currentIndex();
    v.decode.random = chkDecodeRandom->isChecked();
    v.decode.interval = txtDecodeInterval->text();
    v.decode.direction = DirectionOf(grpDecodeDirection);
    v.encodeMode = grpEncodeMode->checkedId() == 1 ? BatchEncode::OwnStart : BatchEncode::SameAsDecode;
    v.encode.start = cboEncode->currentIndex();
    v.encode.random = chkEncodeRandom->isChecked();
    v.encode.interval = txtEncodeInterval->text();
    v.encode.direction = DirectionOf(grpEncodeDirection);
    v.scan = cboScan->currentIndex();
    v.power = cboPower->currentIndex();
    v.lockout = cboLockout->currentIndex();
    v.channelName = txtName->text();
    v.namedByChannel = chkNamed->isChecked();
    return v;
}

void FrmBatch::setValues(const BatchValues& v) {
    CheckId(grpRange, v.range == BatchRange::FromTo ? 1 : 0);
    txtFirst->setText(v.firstChannel);
    txtLast->setText(v.lastChannel);
    txtRxStart->setText(v.rxStart);
    txtRxStep->setText(v.rxStep);
    CheckId(grpRxDirection, IdOf(v.rxDirection));
    CheckId(grpTransmit, v.transmit == BatchTransmit::Offset ? 1 : v.transmit == BatchTransmit::OwnStart ? 2 : 0);
    txtOffset->setText(v.offset);
    CheckId(grpSign, v.offsetMinus ? 1 : 0);
    txtTxStart->setText(v.txStart);
    txtTxStep->setText(v.txStep);
    CheckId(grpTxDirection, IdOf(v.txDirection));
    cboDecode->setCurrentIndex(v.decode.start);
    chkDecodeRandom->setChecked(v.decode.random);
    txtDecodeInterval->setText(v.decode.interval);
    CheckId(grpDecodeDirection, IdOf(v.decode.direction));
    CheckId(grpEncodeMode, v.encodeMode == BatchEncode::OwnStart ? 1 : 0);
    cboEncode->setCurrentIndex(v.encode.start);
    chkEncodeRandom->setChecked(v.encode.random);
    txtEncodeInterval->setText(v.encode.interval);
    CheckId(grpEncodeDirection, IdOf(v.encode.direction));
    cboScan->setCurrentIndex(v.scan);
    cboPower->setCurrentIndex(v.power);
    cboLockout->setCurrentIndex(v.lockout);
    txtName->setText(v.channelName);
    chkNamed->setChecked(v.namedByChannel);
    updateEnabling();
}

void FrmBatch::updateEnabling() {
    const BatchEnabling e = EnablingOf(values());
    txtFirst->setEnabled(e.channels);
    txtLast->setEnabled(e.channels);
    for (QWidget* w : {static_cast<QWidget*>(txtOffset), static_cast<QWidget*>(optPlus), static_cast<QWidget*>(optMinus)})
        w->setEnabled(e.offset);
    for (QWidget* w : {static_cast<QWidget*>(txtTxStart), static_cast<QWidget*>(txtTxStep),
                       static_cast<QWidget*>(optTxAsc), static_cast<QWidget*>(optTxDesc)})
        w->setEnabled(e.txOwn);
    for (QWidget* w : {static_cast<QWidget*>(cboDecode), static_cast<QWidget*>(txtDecodeInterval),
                       static_cast<QWidget*>(optDecodeAsc), static_cast<QWidget*>(optDecodeDesc)})
        w->setEnabled(e.decodeWalk);
    chkEncodeRandom->setEnabled(e.encodeRandom);
    for (QWidget* w : {static_cast<QWidget*>(cboEncode), static_cast<QWidget*>(txtEncodeInterval),
                       static_cast<QWidget*>(optEncodeAsc), static_cast<QWidget*>(optEncodeDesc)})
        w->setEnabled(e.encodeWalk);
}

void FrmBatch::modeChosen(BatchMode mode) {
    BatchValues v = values();
    ApplyModeRule(v, mode, m_app.band.lower);
    setValues(v);
}

void FrmBatch::validate(QLineEdit* box) {
    const auto it = m_boxKinds.constFind(box);
    if (it == m_boxKinds.cend())
        return;
    switch (it.value()) {
    case BatchField::ChannelNumber: {
        box->setText(ValidateChannelNumber(box->text()));
        BatchValues v = values();
        LinkChannelRange(v, box == txtFirst);
        txtFirst->setText(v.firstChannel);
        txtLast->setText(v.lastChannel);
        break;
    }
    case BatchField::Frequency: {
        const CorrectedText corrected = box == txtOffset ? CorrectFrequencySpan(m_app.band, box->text())
                                                         : CorrectFrequency(m_app.band, box->text());
        box->setText(corrected.text);
        if (corrected.outOfRange)
            ShowOutOfRange(m_prompter, m_app);
        break;
    }
    case BatchField::Step:
        box->setText(ValidateStep(box->text()));
        break;
    case BatchField::Interval:
        box->setText(ValidateInterval(box->text()));
        break;
    case BatchField::ChannelName:
        break;
    }
}

void FrmBatch::textChangedIn(QLineEdit* box, BatchField kind) {
    if (kind == BatchField::ChannelName) {
        const QString clean = CleanChannelName(box->text());
        if (clean != box->text())
            box->setText(clean);
        return;
    }
    if (kind == BatchField::Frequency)
        return;
    const QString clamped = ClampOnChange(kind, box->text());
    if (clamped != box->text())
        box->setText(clamped); // comes back here once more with the clamped text
    box->setCursorPosition(int(box->text().size()));
}

bool FrmBatch::filterBoxKey(QLineEdit* box, BatchField kind, QKeyEvent* key) {
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
        return false; // moving on validates through the focus change
    const bool arrowField = kind == BatchField::ChannelNumber || kind == BatchField::Interval;
    if (arrowField) {
        // Every key press starts by writing the box as the number it holds.
        const QString whole = WholeNumberText(box->text());
        if (whole != box->text())
            box->setText(whole);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            box->setText(StepByArrow(kind, box->text(), key->key() == Qt::Key_Up));
            return true;
        }
    }
    QChar typed;
    switch (key->key()) {
    case Qt::Key_Backspace: typed = QChar(0x08); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: typed = QChar(0x0D); break;
    case Qt::Key_Escape: typed = QChar(0x1B); break;
    default:
        if (key->text().size() != 1 || key->key() == Qt::Key_Delete)
            return false; // caret movement, Delete and the like work as usual
        typed = key->text().at(0);
        break;
    }
    const BatchKey verdict = FilterBatchKey(kind, box->text(), box->hasSelectedText(), typed);
    switch (verdict.action) {
    case BatchKey::Ignore:
        return true;
    case BatchKey::Enter:
        validate(box);
        focusNextChild();
        return true;
    case BatchKey::Accept:
        if (verdict.ch == typed)
            return false;
        box->insert(QString(verdict.ch));
        return true;
    }
    return false;
}

bool FrmBatch::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    const auto kind = box ? m_boxKinds.constFind(box) : m_boxKinds.cend();
    if (box && kind != m_boxKinds.cend()) {
        switch (event->type()) {
        case QEvent::KeyPress:
            return filterBoxKey(box, kind.value(), static_cast<QKeyEvent*>(event));
        case QEvent::FocusIn:
            // After the mouse has placed the caret, so a click selects everything too.
            if (kind.value() != BatchField::ChannelName)
                QTimer::singleShot(0, box, &QLineEdit::selectAll);
            break;
        case QEvent::FocusOut: {
            // Leaving the box for another field of this window validates it; a message
            // box or another window taking the focus does not.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                validate(box);
            break;
        }
        default:
            break;
        }
        return QDialog::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress && IsEnter(static_cast<QKeyEvent*>(event))) {
        // Options, lists and check boxes: Enter goes on to the next field, from the last
        // check box to Apply.
        if (watched == chkNamed)
            cmdApply->setFocus(Qt::TabFocusReason);
        else
            focusNextChild();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmBatch::Apply() {
    // A shortcut press leaves the focus in the box being edited: validate it as
    // leaving it would, so Apply only ever reads validated fields.
    if (auto* box = qobject_cast<QLineEdit*>(focusWidget()))
        validate(box);
    const QStringList tones = m_app.toneTable.size() == ToneCount ? m_app.toneTable : BuildToneTable(m_app.language);
    {
        const RecordedStep step(m_app.changes, m_app.image, StepOf({"Batch Edit", "信道批量编辑"}));
        ApplyBatch(m_app.image, m_app.band, tones, values(), m_random, m_names);
    }
    emit applied();
}

} // namespace kestrel
