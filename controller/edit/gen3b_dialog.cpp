#include "controller/edit/gen3b_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "controller/edit/edit_commands.h"
#include "platform/operator_interaction.h"

namespace korvex {

namespace {

QSpinBox* valueField(const char* name) {
    auto* field = new QSpinBox;
    field->setObjectName(QLatin1String(name));
    field->setRange(0, CGen3BDialog::kMaxValueMicrons);
    field->setSuffix(QStringLiteral(" um"));
    return field;
}

QDoubleSpinBox* startField(const char* name) {
    auto* field = new QDoubleSpinBox;
    field->setObjectName(QLatin1String(name));
    field->setDecimals(3);
    field->setRange(-CGen3BDialog::kMaxStartMm, CGen3BDialog::kMaxStartMm);
    field->setSuffix(QStringLiteral(" mm"));
    return field;
}

}  // namespace

CGen3BDialog::CGen3BDialog(EditCommands& commands, QWidget* parent)
    : QDialog(parent), commands_(commands) {
    setObjectName(QLatin1String(kName));
    setWindowTitle(qtTrId("ed-gen3b-title"));

    startX_ = startField("startX");
    startY_ = startField("startY");
    auto* start = new QFormLayout;
    start->addRow(qtTrId("ed-gen3b-start-x"), startX_);
    start->addRow(qtTrId("ed-gen3b-start-y"), startY_);

    x_ = valueField("x");
    y_ = valueField("y");
    j_ = valueField("j");
    direction_ = new QComboBox;
    direction_->setObjectName(QStringLiteral("direction"));
    for (const char* name : k3BCountDirections) direction_->addItem(QLatin1String(name));
    code_ = new QComboBox;
    code_->setObjectName(QStringLiteral("code"));
    for (const char* name : k3BCodes) code_->addItem(QLatin1String(name));

    auto* statement = new QGridLayout;
    statement->addWidget(new QLabel(QStringLiteral("x:")), 0, 0);
    statement->addWidget(x_, 0, 1);
    statement->addWidget(new QLabel(QStringLiteral("y:")), 0, 2);
    statement->addWidget(y_, 0, 3);
    statement->addWidget(new QLabel(QStringLiteral("J:")), 0, 4);
    statement->addWidget(j_, 0, 5);
    statement->addWidget(new QLabel(qtTrId("ed-gen3b-direction")), 1, 0);
    statement->addWidget(direction_, 1, 1);
    statement->addWidget(new QLabel(qtTrId("ed-gen3b-code")), 1, 2);
    statement->addWidget(code_, 1, 3);
    auto* statementBox = new QGroupBox(qtTrId("ed-gen3b-statement"));
    statementBox->setLayout(statement);

    auto* add = new QPushButton(qtTrId("ed-gen3b-add"));
    add->setObjectName(QStringLiteral("add"));
    auto* remove = new QPushButton(qtTrId("ed-gen3b-delete"));
    remove->setObjectName(QStringLiteral("delete"));
    auto* generate = new QPushButton(qtTrId("ed-gen3b-generate"));
    generate->setObjectName(QStringLiteral("generate"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch();
    buttons->addWidget(generate);

    statements_ = new QListWidget;
    statements_->setObjectName(QStringLiteral("statements"));
    statements_->setFont(QFont(QStringLiteral("monospace")));
    statements_->setSelectionMode(QAbstractItemView::SingleSelection);
    statements_->setMinimumSize(360, 200);

    auto* close = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(start);
    layout->addWidget(statementBox);
    layout->addLayout(buttons);
    layout->addWidget(statements_);
    layout->addWidget(close);

    // Enter adds the statement being typed; the file is only written on its own button.
    add->setDefault(true);
    connect(add, &QPushButton::clicked, this, &CGen3BDialog::addStatement);
    connect(remove, &QPushButton::clicked, this, &CGen3BDialog::deleteStatement);
    connect(generate, &QPushButton::clicked, this, [this] { generateFile(); });
}

void CGen3BDialog::addStatement() {
    Manual3BStatement s;
    s.x = x_->value();
    s.y = y_->value();
    s.j = j_->value();
    s.direction = direction_->currentIndex();
    s.code = code_->currentIndex();
    const int selected = statements_->selectedItems().isEmpty() ? -1 : statements_->currentRow();
    if (list_.add(s, selected) < 0) return;
    // Ready for the next statement: nothing selected, values and choices back at their start.
    showList(-1);
    x_->setValue(0);
    y_->setValue(0);
    j_->setValue(0);
    direction_->setCurrentIndex(0);
    code_->setCurrentIndex(0);
    x_->setFocus();
    x_->selectAll();
}

void CGen3BDialog::deleteStatement() {
    if (statements_->selectedItems().isEmpty()) return;
    const int row = statements_->currentRow();
    if (!list_.remove(row)) return;
    showList(-1);
}

void CGen3BDialog::showList(int selectRow) {
    statements_->clear();
    for (const std::string& s : list_.statements()) statements_->addItem(QString::fromStdString(s));
    if (selectRow >= 0) statements_->setCurrentRow(selectRow);
    else statements_->setCurrentRow(-1);
    if (selectRow < 0) statements_->clearSelection();
}

int CGen3BDialog::generateFile() {
    if (!commands_.operatorUi()) return -1;
    const std::optional<QString> path = commands_.chooseManual3BPath();
    if (!path) return 1;
    return commands_.writeManual3B(*path, startX_->value(), startY_->value(), list_.statements());
}

}  // namespace korvex
