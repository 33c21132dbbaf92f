// The Config and Option entries of the machine set-up: Phase, Direction, Stop-Machine, Option
// and Restore Default. Each runs as its menu entry does and returns the dialog's result
// (Restore Default: Accepted once the restore was asked for, Rejected when the operator said No).
#pragma once

class QWidget;

namespace korvex {

struct ConfigMenuContext;

int runPhase(const ConfigMenuContext& context, QWidget* dialogParent);
int runDirection(const ConfigMenuContext& context, QWidget* dialogParent);
int runStopMachine(const ConfigMenuContext& context, QWidget* dialogParent);
int runOption(const ConfigMenuContext& context, QWidget* dialogParent);
int runRestoreDefault(const ConfigMenuContext& context, QWidget* dialogParent);

}  // namespace korvex
