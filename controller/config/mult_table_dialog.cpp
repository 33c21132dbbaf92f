#include "controller/config/mult_table_dialog.h"

#include "controller/machining/card_worker.h"
#include "controller/settings_keys.h"
#include "platform/operator_interaction.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace korvex {

namespace {

const QColor kCurrentRow(Qt::red);
const QColor kDefaultRow(Qt::green);

// The small name dialog of "Save the line".
class RowNameDialog : public QDialog {
public:
    static constexpr const char* kObjectName = "RowName";
    explicit RowNameDialog(QWidget* parent) : QDialog(parent) {
        setObjectName(QLatin1String(kObjectName));
        setWindowTitle(qtTrId("config.row.title"));
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(qtTrId("config.row.name")));
        name = new QLineEdit;
        name->setObjectName(QStringLiteral("name"));
        name->setMaxLength(64);
        layout->addWidget(name);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        buttons->button(QDialogButtonBox::Ok)->setText(qtTrId("comm.ok"));
        buttons->button(QDialogButtonBox::Cancel)->setText(qtTrId("comm.cancel"));
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        layout->addWidget(buttons);
    }
    QLineEdit* name = nullptr;
};

}  // namespace

MultTableDialog::MultTableDialog(MultTableContext context, QWidget* parent)
    : QDialog(parent), context_(std::move(context)), model_(*context_.table, context_.trackingMode) {
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(qtTrId("config.mult.title"));
    const GroupSwitchSettings keys = readGroupSwitchSettings(SettingsFile(context_.cardSettingsPath));
    defaultIndex_ = keys.defaultIndex;

    grid_ = new QTableWidget(PulseTable::kGroupCount, 8, this);
    grid_->setObjectName(QStringLiteral("table"));
    QStringList titles;
    for (int c = 0; c < 8; ++c) {
        titles << pulseColumnTitle(c);
    }
    grid_->setHorizontalHeaderLabels(titles);
    for (int c = 0; c < 8; ++c)
        grid_->setColumnWidth(c, kColumnWidths[c]);
    grid_->verticalHeader()->hide();
    grid_->setStyleSheet(QStringLiteral("QTableWidget { background: black; color: white; }"));
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const int row = grid_->rowAt(at.y());
        if (row < 0)
            return;
        const auto menu = popupFor(row);
        menu->exec(grid_->viewport()->mapToGlobal(at));
    });
    connect(grid_, &QTableWidget::cellChanged, this, [this](int row, int column) {
        if (!filling_ && column > 0)
            model_.cells(row)[static_cast<std::size_t>(column - 1)] = grid_->item(row, column)->text().toStdString();
    });

    changeIndexes_ = new QComboBox;
    changeIndexes_->setObjectName(QStringLiteral("changeIndexes"));
    for (const char* id : {"config.switch.0", "config.switch.1", "config.switch.2", "config.switch.3"})
        changeIndexes_->addItem(qtTrId(id));
    changeIndexes_->setCurrentIndex(keys.switchType);
    waitLabel_ = new QLabel(qtTrId("config.switch.wait"));
    wait_ = new QLineEdit(QString::number(keys.switchTime));
    wait_->setObjectName(QStringLiteral("wait"));
    wait_->setMaxLength(8);
    fixedVf_ = new QCheckBox(qtTrId("config.fixedvf"));
    fixedVf_->setObjectName(QStringLiteral("fixedVf"));
    fixedVf_->setChecked(keys.fixedVf);
    connect(changeIndexes_, &QComboBox::currentIndexChanged, this, [this] { showWait(); });

    save_ = new QPushButton(qtTrId("config.save.table"));
    restore_ = new QPushButton(qtTrId("config.restore.table"));
    ok_ = new QPushButton(qtTrId("comm.ok"));
    cancel_ = new QPushButton(qtTrId("comm.cancel"));
    ok_->setDefault(true);
    connect(save_, &QPushButton::clicked, this, [this] { saveTable(); });
    connect(restore_, &QPushButton::clicked, this, [this] { restoreTable(); });
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* options = new QHBoxLayout;
    options->addWidget(new QLabel(qtTrId("config.switch.label")));
    options->addWidget(changeIndexes_);
    options->addWidget(waitLabel_);
    options->addWidget(wait_);
    options->addWidget(fixedVf_);
    options->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save_);
    buttons->addWidget(restore_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    layout->addLayout(options);
    layout->addLayout(buttons);
    int width = 30;
    for (int w : kColumnWidths)
        width += w;
    resize(width, 400);
    fill();
    showWait();
}

void MultTableDialog::fill() {
    filling_ = true;
    for (int row = 0; row < PulseTable::kGroupCount; ++row) {
        auto* index = new QTableWidgetItem(QString::number(row));
        index->setFlags(index->flags() & ~Qt::ItemIsEditable);
        grid_->setItem(row, 0, index);
        const PulseCells& cells = model_.cells(row);
        for (int c = 0; c < kPulseEditableColumns; ++c)
            grid_->setItem(row, c + 1, new QTableWidgetItem(QString::fromStdString(cells[static_cast<std::size_t>(c)])));
    }
    filling_ = false;
    colourRows();
}

void MultTableDialog::colourRows() {
    const int current = effectiveGroup(context_.currentGroup, defaultIndex_);
    for (int row = 0; row < PulseTable::kGroupCount; ++row) {
        // The current group wins over the default one.
        const QColor colour = row == current ? kCurrentRow : row == defaultIndex_ ? kDefaultRow : QColor(Qt::white);
        for (int c = 0; c < 8; ++c) {
            if (QTableWidgetItem* item = grid_->item(row, c))
                item->setForeground(colour);
        }
    }
}

void MultTableDialog::setDefaultIndex(int row) {
    defaultIndex_ = row;
    colourRows();
}

void MultTableDialog::showWait() {
    const bool shown = changeIndexes_->currentIndex() == 1;
    waitLabel_->setVisible(shown);
    wait_->setVisible(shown);
    waitLabel_->setEnabled(shown);
    wait_->setEnabled(shown);
}

std::unique_ptr<QMenu> MultTableDialog::popupFor(int row) {
    auto menu = std::make_unique<QMenu>(this);
    menu->addAction(qtTrId("config.popup.default"), this, [this, row] { setDefaultIndex(row); });
    menu->addAction(qtTrId("config.popup.saveline"), this, [this, row] { saveRow(row); });
    menu->addAction(qtTrId("config.popup.manage"), this, [this] {
        QDesktopServices::openUrl(QUrl::fromLocalFile(context_.parameterDir));
    });
    menu->addSeparator();
    for (const QString& path : MultTableModel::savedRows(context_.parameterDir)) {
        const QString text = MultTableModel::savedRowText(path);
        QAction* item = menu->addAction(text.isEmpty() ? QFileInfo(path).completeBaseName() : text);
        item->setData(path);
        connect(item, &QAction::triggered, this, [this, row, path] { loadRow(row, path); });
    }
    return menu;
}

void MultTableDialog::saveRow(int row) {
    OperatorInteraction& ui = *context_.operatorUi;
    for (;;) {
        RowNameDialog ask(this);
        if (ui.exec(ask, QLatin1String(RowNameDialog::kObjectName)) != QDialog::Accepted)
            return;
        const QString name = ask.name->text().trimmed();
        if (name.isEmpty())
            return;
        if (!MultTableModel::validRowName(name)) {
            ui.message(windowTitle(), qtTrId("config.row.invalid"), OperatorInteraction::Icon::Warning);
            continue;
        }
        const QString path = QDir(context_.parameterDir).filePath(name + QStringLiteral(".zif"));
        if (QFile::exists(path) &&
            ui.ask(windowTitle(), qtTrId("config.row.exists"), OperatorInteraction::Buttons::YesNo) !=
                OperatorInteraction::Answer::Yes)
            continue;
        PulseGroup g;
        if (auto message = model_.parseRow(row, g)) {
            ui.message(windowTitle(), *message, OperatorInteraction::Icon::Warning);
            return;
        }
        if (model_.saveRow(row, path) != 0)
            ui.message(windowTitle(), qtTrId("config.row.savefailed"), OperatorInteraction::Icon::Warning);
        return;
    }
}

void MultTableDialog::loadRow(int row, const QString& path) {
    OperatorInteraction& ui = *context_.operatorUi;
    if (ui.ask(windowTitle(), qtTrId("config.row.replace"), OperatorInteraction::Buttons::YesNo) !=
        OperatorInteraction::Answer::Yes)
        return;
    if (model_.loadRow(row, path) != 0) {
        ui.message(windowTitle(), qtTrId("config.row.readfailed"), OperatorInteraction::Icon::Warning);
        return;
    }
    fill();
}

bool MultTableDialog::saveTable() {
    OperatorInteraction& ui = *context_.operatorUi;
    const auto path = ui.chooseSaveFile(save_->text(), context_.parameterDir, qtTrId("config.tbl.filter"));
    if (!path)
        return false;
    QString target = *path;
    if (QFileInfo(target).suffix().isEmpty())
        target += QStringLiteral(".tbl");
    if (model_.saveTable(target) != 0) {
        ui.message(windowTitle(), qtTrId("61657"), OperatorInteraction::Icon::Warning);
        return false;
    }
    return true;
}

bool MultTableDialog::restoreTable() {
    OperatorInteraction& ui = *context_.operatorUi;
    const auto path = ui.chooseOpenFile(restore_->text(), context_.parameterDir, qtTrId("config.tbl.filter"));
    if (!path)
        return false;
    if (model_.restoreTable(*path) != 0) {
        ui.message(windowTitle(), qtTrId("61656"), OperatorInteraction::Icon::Warning);
        return false;
    }
    fill();
    return true;
}

void MultTableDialog::setBusy(bool busy) {
    for (QWidget* w : std::initializer_list<QWidget*>{ok_, cancel_, save_, restore_, grid_})
        w->setEnabled(!busy);
}

void MultTableDialog::accept() {
    OperatorInteraction& ui = *context_.operatorUi;
    GroupSwitchSettings keys;
    keys.switchType = changeIndexes_->currentIndex();
    keys.fixedVf = fixedVf_->isChecked();
    keys.defaultIndex = defaultIndex_;
    keys.switchTime = readGroupSwitchSettings(SettingsFile(context_.cardSettingsPath)).switchTime;
    if (keys.switchType == 1) {
        bool ok = false;
        const int seconds = wait_->text().trimmed().toInt(&ok);
        if (!ok || seconds < kSwitchTimeMin || seconds > kSwitchTimeMax) {
            ui.message(windowTitle(), qtTrId("config.range").arg(kSwitchTimeMin).arg(kSwitchTimeMax),
                       OperatorInteraction::Icon::Warning);
            return;
        }
        keys.switchTime = seconds;
    }
    PulseTable parsed = *context_.table;
    if (auto message = model_.parse(parsed)) {
        ui.message(windowTitle(), *message, OperatorInteraction::Icon::Warning);
        return;
    }
    if (parsed.write(context_.tablePath) != 0) {
        ui.message(windowTitle(), qtTrId("61657"), OperatorInteraction::Icon::Warning);
        return;
    }
    *context_.table = parsed;
    if (!context_.post || context_.card == nullptr) {
        finish(false, keys);
        return;
    }
    const PulseGroup current = parsed.group(effectiveGroup(context_.currentGroup, keys.defaultIndex));
    const int shortSensitivity = readKey(SettingsFile(context_.cardSettingsPath), keys::kShortSensitivity);
    setBusy(true);
    QPointer<MultTableDialog> self(this);
    context_.post(multTableSequence(*context_.card, current, context_.trackingMode, shortSensitivity, keys.fixedVf,
                                    context_.hfOn, [self, keys](bool completed) {
                                        QMetaObject::invokeMethod(
                                            qApp, [self, keys, completed] {
                                                if (self)
                                                    self->finish(completed, keys);
                                            },
                                            Qt::QueuedConnection);
                                    }));
}

void MultTableDialog::finish(bool sent, GroupSwitchSettings keys) {
    setBusy(false);
    SettingsFile settings(context_.cardSettingsPath);
    if (!sent || writeGroupSwitchSettings(settings, keys) != 0) {
        context_.operatorUi->message(windowTitle(), qtTrId("config.setup.failed"), OperatorInteraction::Icon::Warning);
        return;
    }
    if (context_.hfOn && context_.resumeHfLater)
        context_.resumeHfLater();
    if (context_.changed)
        context_.changed();
    QDialog::accept();
}

}  // namespace korvex
