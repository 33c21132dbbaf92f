#include "controller/action_table.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QStatusBar>
#include <QToolBar>

#include "controller/menu_look.h"
#include "controller/views/graph_actions.h"
#ifdef KORVEX_HAVE_EDIT
#include "controller/edit/edit_menu.h"
#endif

namespace korvex {
namespace {

const char* const kMenuTitleIds[kMenuCount] = {"menu.file", "menu.edit", "view.menu", "menu.config",
                                               "menu.control", "menu.option", "menu.help"};

// The action another module already made for `command`, if any.
QAction* adopted(Command command, const ActionTable::Sources& s) {
    using C = Command;
    if (s.view) {
        using V = GraphViewActions::Entry;
        switch (command) {
        case C::Fit: return s.view->action(V::Fit);
        case C::Move: return s.view->action(V::Move);
        case C::ZoomIn: return s.view->action(V::ZoomIn);
        case C::ZoomOut: return s.view->action(V::ZoomOut);
        case C::Grid: return s.view->action(V::Grid);
        case C::FullScreen: return s.view->action(V::FullScreen);
        default: break;
        }
    }
#ifdef KORVEX_HAVE_EDIT
    if (s.edit) {
        switch (command) {
        case C::Generate3B: return s.edit->generate3BAction();
        case C::ForwardFlip: return s.edit->forwardFlipAction();
        case C::ReverseFlip: return s.edit->reverseFlipAction();
        case C::VerticalMirror: return s.edit->verticalMirrorAction();
        case C::HorizontalMirror: return s.edit->horizontalMirrorAction();
        case C::Offset: return s.edit->offsetAction();
        case C::Taper: return s.edit->taperAction();
        case C::Multiple: return s.edit->multipleAction();
        case C::SegmentMultiple: return s.edit->segmentMultipleAction();
        default: break;
        }
    }
#endif
    return nullptr;
}

}  // namespace

ActionTable::ActionTable(QMainWindow* window, QToolBar* toolBar, const Sources& sources, QObject* parent)
    : QObject(parent), window_(window), menuStyle_(createMenuStyle(this)) {
    for (std::size_t i = 0; i < kMenuCount; ++i) {
        menus_[i] = window->menuBar()->addMenu(qtTrId(kMenuTitleIds[i]));
        menus_[i]->setStyle(menuStyle_);
    }
    for (const CommandRow& row : commandRows()) {
        QMenu* menu = menus_[static_cast<std::size_t>(row.menu)];
        if (row.separatorBefore && !menu->isEmpty())
            menu->addSeparator();
        if (row.command == Command::ClearRecent) {
            recentMenu_ = menu->addMenu(qtTrId("menu.recent"));
            recentMenu_->setObjectName(QStringLiteral("menu.recent"));
            recentMenu_->setStyle(menuStyle_);
        }
        QAction* action = adopted(row.command, sources);
        if (action == nullptr) {
            action = makeAction(row);
        } else {
            action->setParent(this);
            action->setShortcut(row.key.key() == Qt::Key_unknown ? QKeySequence() : QKeySequence(row.key));
        }
        // On the window as well, so the key acts whichever of its children has the focus.
        window->addAction(action);
        action->setEnabled(false);
        menu->addAction(action);
        actions_[static_cast<std::size_t>(row.command)] = action;
    }
    // The bars' own entries follow the bars however they were hidden.
    QAction* tool = action(Command::ToolBar);
    tool->setChecked(true);
    connect(tool, &QAction::toggled, toolBar, &QWidget::setVisible);
    connect(toolBar, &QToolBar::visibilityChanged, tool, &QAction::setChecked);
    QAction* status = action(Command::StatusBar);
    status->setChecked(true);
    connect(status, &QAction::toggled, window->statusBar(), &QWidget::setVisible);
    connect(action(Command::Quit), &QAction::triggered, window, &QWidget::close);
    connect(action(Command::Adjust), &QAction::triggered, this, [this] {
        if (adjust_)
            adjust_();
    });
    buildToolBar(toolBar, sources);
}

QAction* ActionTable::makeAction(const CommandRow& row) {
    auto* action = new QAction(this);
    const char* objectName = row.objectName;
    const char* textId = row.textId;
    QKeyCombination key = row.key;
    // A configuration dialog's registry row names its entry.
    if (const auto entry = configEntryOf(row.command)) {
        if (const ConfigMenuItem* item = configMenuItem(*entry)) {
            objectName = item->objectName;
            textId = item->textId;
            if (item->key != Qt::Key_unknown)
                key = QKeyCombination(Qt::ControlModifier, item->key);
        }
    }
    action->setObjectName(QString::fromLatin1(objectName));
    setLabel(action, textId);
    if (key.key() != Qt::Key_unknown)
        action->setShortcut(QKeySequence(key));
    action->setCheckable(row.checkable);
    return action;
}

void ActionTable::buildToolBar(QToolBar* toolBar, const Sources& sources) {
    using C = Command;
    toolBar->setIconSize(QSize(kToolBarIconPx, kToolBarIconPx));
    const std::initializer_list<C> groups[] = {
        {C::Open, C::Close, C::Reset},
        {C::Fit, C::Move, C::ZoomIn, C::ZoomOut, C::FullScreen},
        {C::ReverseFlip, C::ForwardFlip, C::VerticalMirror, C::HorizontalMirror, C::Taper, C::Multiple,
         C::SegmentMultiple},
        {C::Walk, C::Cut, C::Back, C::SegmentStop, C::ReturnOrigin, C::Reverse, C::FastRoll},
        {C::About},
    };
    bool first = true;
    for (const auto& group : groups) {
        if (!first)
            toolBar->addSeparator();
        first = false;
        for (C command : group) {
            QAction* a = action(command);
            if (a->icon().isNull())
                a->setIcon(toolBarIcon(command));
            toolBar->addAction(a);
        }
    }
    if (sources.programTool) {
        sources.programTool->setIcon(programToolIcon());
        toolBar->addAction(sources.programTool);
    }
    if (sources.editor) {
        sources.editor->setIcon(editorIcon());
        toolBar->addAction(sources.editor);
    }
}

void ActionTable::setLabel(QAction* action, const char* textId) {
    const QString text = qtTrId(textId);
    if (action->text() == text)
        return;
    action->setText(text);
    // The toolbar's tip shows the name without the key written after the tab.
    action->setIconText(text.section(QLatin1Char('\t'), 0, 0));
}

void ActionTable::setConfigContext(ConfigMenuContext context, QWidget* dialogParent) {
    if (context.timerOwner == nullptr)
        context.timerOwner = this;
    config_ = std::move(context);
    configParent_ = dialogParent;
    for (const CommandRow& row : commandRows()) {
        const auto entry = configEntryOf(row.command);
        if (!entry || !configMenuItem(*entry))
            continue;
        QAction* a = action(row.command);
        connect(a, &QAction::triggered, this, [this, a, item = configMenuItem(*entry)] {
            // A key may come while the entries' states are older than the card's.
            if (a->isEnabled())
                item->run(*config_, configParent_);
        });
    }
}

void ActionTable::setAdjustHandler(std::function<void()> handler) {
    adjust_ = std::move(handler);
    recompute(conditions_);
}

bool ActionTable::configAllowed(const RunState& run, const WorkFlags& flags) {
    ConfigConditions c;
    c.workState = run.state;
    c.rolling = flags.rolling;
    return configEntryEnabled(ConfigEntry::MobileNotice, c);
}

void ActionTable::recompute(const CommandConditions& conditions) {
    conditions_ = conditions;
    CommandConditions c = conditions;
    c.adjustAvailable = static_cast<bool>(adjust_);
    const MenuState control = controlMenuState(c);
    for (const CommandRow& row : commandRows()) {
        QAction* a = action(row.command);
        if (const auto entry = configEntryOf(row.command))
            c.configDialog = config_.has_value() && configMenuItem(*entry) != nullptr;
        a->setEnabled(commandEnabled(row.command, c));
    }
    // The Control entries' labels and check marks follow the card; the bars' and the graph
    // view's checks follow what they show.
    const std::pair<Command, Control> labelled[] = {
        {Command::FastRoll, Control::FastRoll}, {Command::ReturnOrigin, Control::ReturnOrigin},
        {Command::Walk, Control::Walk},         {Command::Cut, Control::Cut},
        {Command::Back, Control::Back},         {Command::Reverse, Control::Reverse},
        {Command::IgnorePause, Control::IgnorePause},
    };
    for (const auto& [command, which] : labelled) {
        QAction* a = action(command);
        const MenuEntryState& state = control[which];
        a->setChecked(c.machiningReady && state.checked);
        setLabel(a, state.labelId ? state.labelId : commandRow(command).textId);
    }
}

}  // namespace korvex
