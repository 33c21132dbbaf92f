#include "controller/config/setup_dialogs.h"

#include "controller/card_control.h"
#include "controller/program_tool.h"
#include "platform/operator_interaction.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <memory>

namespace korvex {

namespace {

constexpr int kFieldChars = 8;  // longer than any value the fields take

QLineEdit* numberField(const char* name) {
    auto* field = new QLineEdit;
    field->setObjectName(QLatin1String(name));
    field->setMaxLength(kFieldChars);
    return field;
}

QHBoxLayout* okCancelRow(QPushButton* ok, QPushButton* cancel) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

}  // namespace

void CardStepsDialog::sendSteps(std::vector<Step> steps, std::function<void()> done, std::function<void()> answered) {
    if (!access_.post || access_.card == nullptr) {
        warn(qtTrId("config.setup.failed"));
        return;
    }
    for (QPushButton* b : buttons_)
        b->setEnabled(false);
    QPointer<CardStepsDialog> self(this);
    CardControl* card = access_.card;
    CardSequence seq("settings");
    for (Step& step : steps) {
        seq.then([card, self, command = std::move(step.command), taken = std::move(step.taken)](MachiningCard&) {
            if (!command(*card))
                return false;
            // Queued: it runs before the sequence's end is handed over below.
            if (taken)
                QMetaObject::invokeMethod(qApp, [self, taken] { if (self) taken(); }, Qt::QueuedConnection);
            return true;
        });
    }
    seq.finally([self, done = std::move(done), answered = std::move(answered)](bool ok) {
        QMetaObject::invokeMethod(
            qApp, [self, done, answered, ok] {
                if (!self)
                    return;
                for (QPushButton* b : self->buttons_)
                    b->setEnabled(true);
                if (answered)
                    answered();
                if (ok)
                    done();
                else
                    self->warn(qtTrId("config.setup.failed"));
            },
            Qt::QueuedConnection);
    });
    access_.post(std::move(seq));
}

// ---------------------------------------------------------------------------------------------
// Phase

PhaseDialog::PhaseDialog(SettingsBlock& settings, CardAccess access, MotorStep motor, std::function<void()> shown,
                         QWidget* parent)
    : CardStepsDialog(std::move(access), parent), settings_(settings), motor_(std::move(motor)), shown_(std::move(shown)) {
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(qtTrId("config.phase.title"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildPair(qtTrId("config.phase.xy"), false, xy_));
    layout->addWidget(buildPair(qtTrId("config.phase.uv"), true, uv_));
    xyType_ = xy_.type;
    uvType_ = uv_.type;
    rollGap_ = numberField("rollGap");
    auto* gapRow = new QHBoxLayout;
    gapRow->addWidget(new QLabel(qtTrId("config.phase.rollgap")));
    gapRow->addWidget(rollGap_);
    gapRow->addWidget(new QLabel(qtTrId("config.phase.rollnote")));
    layout->addLayout(gapRow);
    ok_ = new QPushButton(qtTrId("comm.ok"));
    auto* cancel = new QPushButton(qtTrId("comm.cancel"));
    ok_->setDefault(true);
    buttons_ = {ok_, cancel};
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addLayout(okCancelRow(ok_, cancel));
    setForm(phaseFormFrom(settings_));
}

QWidget* PhaseDialog::buildPair(const QString& title, bool uv, PairWidgets& out) {
    auto* box = new QGroupBox(title);
    auto* grid = new QGridLayout(box);
    out.type = new QButtonGroup(box);
    auto* types = new QHBoxLayout;
    types->addWidget(new QLabel(qtTrId("config.phase.type")));
    const int* first = uv ? kUvDriveTypes.data() : kXyDriveTypes.data();
    const std::size_t count = uv ? kUvDriveTypes.size() : kXyDriveTypes.size();
    for (std::size_t i = 0; i < count; ++i) {
        auto* radio = new QRadioButton(qtTrId(QStringLiteral("phase.%1").arg(first[i]).toLatin1().constData()));
        out.type->addButton(radio, first[i]);
        types->addWidget(radio);
    }
    grid->addLayout(types, 0, 0, 1, 6);
    out.rate = numberField(uv ? "uvRate" : "xyRate");
    out.width = numberField(uv ? "uvWidth" : "xyWidth");
    out.lock = new QComboBox;
    out.lock->setObjectName(QLatin1String(uv ? "uvLock" : "xyLock"));
    grid->addWidget(new QLabel(qtTrId("config.phase.rate")), 1, 0);
    grid->addWidget(out.rate, 1, 1);
    grid->addWidget(new QLabel(qtTrId("config.phase.width")), 1, 2);
    grid->addWidget(out.width, 1, 3);
    grid->addWidget(new QLabel(qtTrId("config.phase.lock")), 1, 4);
    grid->addWidget(out.lock, 1, 5);
    return box;
}

void PhaseDialog::showPair(const PairWidgets& w, const AxisPairForm& f) {
    // A type no button offers leaves none checked; OK then refuses it.
    w.type->setExclusive(false);
    for (QAbstractButton* b : w.type->buttons())
        b->setChecked(w.type->id(b) == f.driveType);
    w.type->setExclusive(true);
    w.rate->setText(f.rate);
    w.width->setText(f.width);
    w.lock->clear();
    w.lock->addItem(qtTrId("config.phase.lock.low"), kLockLevelMin);
    w.lock->addItem(qtTrId("config.phase.lock.high"), kLockLevelMax);
    // A level the card holds outside the list is shown as its number, so it is not changed unseen.
    if (f.lockLevel < kLockLevelMin || f.lockLevel > kLockLevelMax)
        w.lock->addItem(QString::number(f.lockLevel), f.lockLevel);
    w.lock->setCurrentIndex(w.lock->findData(f.lockLevel));
}

AxisPairForm PhaseDialog::readPair(const PairWidgets& w) {
    AxisPairForm f;
    f.driveType = w.type->checkedId();
    f.rate = w.rate->text();
    f.width = w.width->text();
    f.lockLevel = w.lock->currentData().toInt();
    return f;
}

void PhaseDialog::setForm(const PhaseForm& form) {
    showPair(xy_, form.xy);
    showPair(uv_, form.uv);
    rollGap_->setText(form.rollGap);
}

PhaseForm PhaseDialog::form() const {
    PhaseForm f;
    f.xy = readPair(xy_);
    f.uv = readPair(uv_);
    f.rollGap = rollGap_->text();
    return f;
}

void PhaseDialog::accept() {
    const auto parsed = parsePhase(form(), settings_.phase);
    if (const auto* error = std::get_if<FieldError>(&parsed)) {
        warn(error->drive ? qtTrId("config.phase.drive") : qtTrId("config.range").arg(error->min).arg(error->max));
        return;
    }
    const PhaseChange change = std::get<PhaseChange>(parsed);
    if (driveTypeChanged(change, settings_.phase)) {
        warn(qtTrId("config.phase.changed"));
        if (access_.operatorUi->ask(windowTitle(), qtTrId("config.phase.sure"), OperatorInteraction::Buttons::YesNo) !=
            OperatorInteraction::Answer::Yes)
            return;
    }
    // The motor is off while the drives change their mode.
    std::vector<Step> steps;
    steps.push_back({[motor = motor_](CardControl& c) { return motor(c, false); }, {}});
    steps.push_back({[phase = change.phase](CardControl& c) { return c.setPhase(phase) == 0; },
                     [this, phase = change.phase] {
                         settings_.phase = phase;
                         if (shown_)
                             shown_();
                     }});
    steps.push_back({[gap = change.rollGapMicroseconds](CardControl& c) { return c.setRollGap(gap) == 0; },
                     [this, gap = change.rollGapMicroseconds] { settings_.rollGapMicroseconds = gap; }});
    sendSteps(std::move(steps), [this] { QDialog::accept(); });
}

// ---------------------------------------------------------------------------------------------
// Stop-Machine

StopMachineDialog::StopMachineDialog(CardAccess access, bool noStopAll, std::function<void(int, std::function<void()>)> later,
                                     QWidget* parent)
    : CardStepsDialog(std::move(access), parent), later_(std::move(later)) {
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(qtTrId("config.stop.title"));
    test_ = new QPushButton(qtTrId("config.stop.test"));
    test_->setObjectName(QStringLiteral("test"));
    test_->setEnabled(!noStopAll);
    connect(test_, &QPushButton::clicked, this, [this] { test(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(test_);
}

void StopMachineDialog::test() {
    if (!access_.post || access_.card == nullptr) {
        warn(qtTrId("config.setup.failed"));
        return;
    }
    test_->setEnabled(false);
    QPointer<StopMachineDialog> self(this);
    CardControl* card = access_.card;
    OperatorInteraction* ui = access_.operatorUi;
    const QString title = windowTitle();
    auto post = access_.post;
    auto later = later_;
    // Whatever the first answer, the output goes off again: a lost answer may hide a stop the
    // card did make. Either failure is shown once the pulse is over.
    auto firstOk = std::make_shared<bool>(false);
    post(CardSequence("stop-machine on")
             .then([card, firstOk](MachiningCard&) {
                 *firstOk = card->stopAll(true) == 0;
                 return true;
             })
             .finally([=](bool) {
                 QMetaObject::invokeMethod(
                     qApp, [=] {
                         later(kPulseMs, [=] {
                             post(CardSequence("stop-machine off")
                                      .then([card](MachiningCard&) { return card->stopAll(false) == 0; })
                                      .finally([=](bool ok) {
                                          QMetaObject::invokeMethod(
                                              qApp, [=] {
                                                  if (self)
                                                      self->test_->setEnabled(true);
                                                  if (!ok || !*firstOk)
                                                      ui->message(title, qtTrId("config.setup.failed"),
                                                                  OperatorInteraction::Icon::Warning);
                                              },
                                              Qt::QueuedConnection);
                                      }));
                         });
                     },
                     Qt::QueuedConnection);
             }));
}

// ---------------------------------------------------------------------------------------------
// Option

OptionDialog::OptionDialog(OptionValues values, CardAccess access, std::function<int(const OptionValues&)> store,
                           std::function<void(const std::string&)> named, QWidget* parent)
    : CardStepsDialog(std::move(access), parent),
      initial_(std::move(values)),
      store_(std::move(store)),
      named_(std::move(named)),
      folder_(initial_.programFolder),
      file_(initial_.programFile) {
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(qtTrId("config.option.title"));
    auto* layout = new QVBoxLayout(this);

    name_ = new QLineEdit(initial_.machineName);
    name_->setObjectName(QStringLiteral("name"));
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(qtTrId("config.option.name")));
    nameRow->addWidget(name_);
    layout->addLayout(nameRow);

    auto* programBox = new QGroupBox(qtTrId("config.option.program"));
    auto* programRow = new QHBoxLayout(programBox);
    program_ = new QLineEdit(folder_ + file_);
    program_->setObjectName(QStringLiteral("program"));
    program_->setReadOnly(true);
    browse_ = new QPushButton(qtTrId("config.option.browse"));
    connect(browse_, &QPushButton::clicked, this, [this] { browse(); });
    programRow->addWidget(program_);
    programRow->addWidget(browse_);
    layout->addWidget(programBox);

    auto check = [](const char* textId, bool on, const char* name) {
        auto* box = new QCheckBox(qtTrId(textId));
        box->setObjectName(QLatin1String(name));
        box->setChecked(on);
        return box;
    };
    auto* shutBox = new QGroupBox(qtTrId("config.option.autoshut"));
    auto* shutLayout = new QVBoxLayout(shutBox);
    shutEnd_ = check("config.option.finish", initial_.shutAtEnd, "shutEnd");
    shutPause_ = check("config.option.pause", initial_.shutAtPause, "shutPause");
    shutLayout->addWidget(shutEnd_);
    shutLayout->addWidget(shutPause_);
    layout->addWidget(shutBox);

    auto* othersBox = new QGroupBox(qtTrId("config.option.others"));
    auto* others = new QVBoxLayout(othersBox);
    noStopAll_ = check("config.option.nostop", initial_.noStopAll, "noStopAll");
    shutMusic_ = check("config.option.nomusic", initial_.shutMusic, "shutMusic");
    noVkf_ = check("config.option.novkf", initial_.noFunctionKeys, "noVkf");
    noForceZero_ = check("config.option.noseal", initial_.noForceZero, "noForceZero");
    for (QCheckBox* box : {noStopAll_, shutMusic_, noVkf_, noForceZero_})
        others->addWidget(box);
    taper_ = new QComboBox;
    taper_->setObjectName(QStringLiteral("taperDefault"));
    taper_->addItem(qtTrId("config.option.upper"), 0);
    taper_->addItem(qtTrId("config.option.below"), 1);
    // A value the file holds outside the list is shown as its number and refused by SAVE.
    if (initial_.taperDefault < 0 || initial_.taperDefault >= kTaperDefaultChoices)
        taper_->addItem(QString::number(initial_.taperDefault), initial_.taperDefault);
    taper_->setCurrentIndex(taper_->findData(initial_.taperDefault));
    auto* taperRow = new QHBoxLayout;
    taperRow->addWidget(new QLabel(qtTrId("config.option.taper")));
    taperRow->addWidget(taper_);
    others->addLayout(taperRow);
    layout->addWidget(othersBox);

    save_ = new QPushButton(qtTrId("config.option.save"));
    auto* cancel = new QPushButton(qtTrId("comm.cancel"));
    save_->setDefault(true);
    buttons_ = {save_, cancel, browse_};
    connect(save_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addLayout(okCancelRow(save_, cancel));
}

OptionValues OptionDialog::values() const {
    OptionValues v;
    v.machineName = name_->text();
    v.programFolder = folder_;
    v.programFile = file_;
    v.shutAtEnd = shutEnd_->isChecked();
    v.shutAtPause = shutPause_->isChecked();
    v.noStopAll = noStopAll_->isChecked();
    v.shutMusic = shutMusic_->isChecked();
    v.noFunctionKeys = noVkf_->isChecked();
    v.noForceZero = noForceZero_->isChecked();
    v.taperDefault = taper_->currentData().toInt();
    return v;
}

void OptionDialog::browse() {
    // Programs here are files with the execute permission, whatever their name.
    ProgramChooserDialog chooser(this);
    if (!folder_.isEmpty())
        chooser.setDirectory(folder_);
    if (access_.operatorUi->exec(chooser, QLatin1String(kBrowseName)) != QDialog::Accepted ||
        chooser.selectedFiles().isEmpty())
        return;
    const QFileInfo chosen(chooser.selectedFiles().front());
    folder_ = chosen.absolutePath() + QLatin1Char('/');
    file_ = chosen.fileName();
    program_->setText(folder_ + file_);
}

void OptionDialog::accept() {
    const OptionValues v = values();
    const std::optional<std::string> name = machineNameBytes(v.machineName);
    if (!name) {
        warn(qtTrId("config.option.namebad").arg(kMachineNameMinBytes).arg(kMachineNameMaxBytes));
        return;
    }
    if (v.taperDefault < 0 || v.taperDefault >= kTaperDefaultChoices) {
        warn(qtTrId("config.range").arg(0).arg(kTaperDefaultChoices - 1));
        return;
    }
    std::vector<Step> steps;
    steps.push_back({[n = *name](CardControl& c) { return c.setMachineName(n) == 0; },
                     [this, n = *name] {
                         if (named_)
                             named_(n);
                     }});
    sendSteps(std::move(steps), [this, v] {
        // The keys land once the card took the name; a file that cannot be written keeps the
        // dialog open so nothing is lost unseen.
        if (store_ && store_(v) != 0) {
            warn(qtTrId("config.setup.failed"));
            return;
        }
        QDialog::accept();
    });
}

}  // namespace korvex
