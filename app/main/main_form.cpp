#include "main/main_form.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWhatsThis>

#include "base.h"
#include "main/about_form.h"
#include "main/context_help.h"
#include "main/icons.h"
#include "main/params_form.h"
#include "main/paths.h"
#include "platform/platform.h"

namespace tessarin {

namespace {

constexpr int kMinimumWidth = 1007;
constexpr int kMinimumHeight = 624;

// Help context numbers of the window's controls.
enum HelpContext {
    kMainWindowContext = 1,
    kSourceGridContext = 52,
    kResultGridContext = 53,
    kObjectsListContext = 57,
    kQuantityListContext = 58,
    kQuantityEditButtonContext = 59,
    kUnitsGridContext = 60,
    kConstantsGridContext = 61,
    kCloseEditorContext = 62,
    kQuantityEditorGridContext = 63,
    kTabsContext = 64,
};

QTableWidget *makeGrid(const QString &name, const QStringList &headers, int helpContext) {
    auto *grid = new QTableWidget(0, static_cast<int>(headers.size()));
    grid->setObjectName(name);
    grid->setHorizontalHeaderLabels(headers);
    grid->verticalHeader()->hide();
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->horizontalHeader()->setHighlightSections(false);
    setHelpContext(grid, helpContext);
    return grid;
}

QToolButton *makeSpeedButton(const QString &name, const QString &hint, QStyle::StandardPixmap picture) {
    auto *button = new QToolButton;
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setIcon(QApplication::style()->standardIcon(picture));
    return button;
}

QToolButton *makeVariableButton(const QString &name, const QString &hint, const QString &glyph) {
    auto *button = new QToolButton;
    button->setObjectName(name);
    button->setText(glyph);
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setMinimumSize(32, 28);
    return button;
}

QLabel *captionLabel(const QString &text, QWidget *buddy) {
    auto *label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

// Fills a menu or the tool bar from its table; an empty name is a separator.
template <typename Target>
void addCommands(Target *target, const std::vector<const char *> &items, const TMainForm &form) {
    for (const char *name : items) {
        if (*name)
            target->addAction(form.action(QString::fromLatin1(name)));
        else
            target->addSeparator();
    }
}

}  // namespace

TMainForm::TMainForm(QWidget *parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QApplication::applicationDisplayName().isEmpty() ? QStringLiteral("Тессарин")
                                                                    : QApplication::applicationDisplayName());
    setWindowIcon(applicationIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(1007, 628);
    setHelpContext(this, kMainWindowContext);

    createActions();
    createMenus();
    createToolBar();
    createStatusBar();

    PageControl = new QTabWidget;
    PageControl->setObjectName(QStringLiteral("PageControl"));
    setHelpContext(PageControl, kTabsContext);
    PageControl->addTab(createFormulasPage(), QStringLiteral("&Расчётные формулы"));
    PageControl->addTab(createMeasuresPage(), QStringLiteral("&Единицы измерения"));
    PageControl->addTab(createConstantsPage(), QStringLiteral("&Константы"));
    PageControl->addTab(createQuantitiesPage(), QStringLiteral("Редактор величин"));
    PageControl->setTabVisible(kQuantitiesPage, false);
    setCentralWidget(PageControl);

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    addCommands(PopupMenu, popupMenuTable(), *this);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu->popup(mapToGlobal(at)); });

    connectHandlers();
    FormCreate();
}

TMainForm::~TMainForm() {
    FormDestroy();
}

QAction *TMainForm::action(const QString &name) const {
    return findChild<QAction *>(name);
}

void TMainForm::createActions() {
    for (const CommandInfo &info : commandTable()) {
        auto *command = new QAction(info.caption, this);
        command->setObjectName(QString::fromLatin1(info.name));
        command->setStatusTip(info.hint);
        command->setToolTip(info.hint);
        if (!info.shortcut.isEmpty()) command->setShortcut(QKeySequence(info.shortcut));
        command->setCheckable(info.style != CommandStyle::Plain);
        command->setIcon(commandIcon(command->objectName()));
        command->setIconVisibleInMenu(false);
    }
    ExitAction = action("ExitAction");
    LoadBaseAction = action("LoadBaseAction");
    AddBaseAction = action("AddBaseAction");
    StatisticAction = action("StatisticAction");
    CutAction = action("CutAction");
    CopyAction = action("CopyAction");
    PasteAction = action("PasteAction");
    FindAction = action("FindAction");
    ToolBarAction = action("ToolBarAction");
    StatusAction = action("StatusAction");
    FormulaAction = action("FormulaAction");
    MeasureAction = action("MeasureAction");
    ConstantsAction = action("ConstantsAction");
    NewAction = action("NewAction");
    DoubleAction = action("DoubleAction");
    ChangeAction = action("ChangeAction");
    DeleteAction = action("DeleteAction");
    CalcAction = action("CalcAction");
    ReportAction = action("ReportAction");
    TaskAction = action("TaskAction");
    QuantityEditAction = action("QuantityEditAction");
    CalculatorAction = action("CalculatorAction");
    ParamsAction = action("ParamsAction");
    HelpAction = action("HelpAction");
    ContextAction = action("ContextAction");
    AboutAction = action("AboutAction");

    // Shift+Enter from the keypad as well as from the main keys.
    ChangeAction->setShortcuts(
        {QKeySequence(QStringLiteral("Shift+Return")), QKeySequence(QStringLiteral("Shift+Enter"))});
    ToolBarAction->setChecked(true);
    StatusAction->setChecked(true);
    auto *pages = new QActionGroup(this);
    for (QAction *page : {FormulaAction, MeasureAction, ConstantsAction}) pages->addAction(page);
    FormulaAction->setChecked(true);
    // The window previews key presses: its shortcuts work whichever control
    // has the focus.
    for (QAction *command : findChildren<QAction *>()) {
        command->setShortcutContext(Qt::WindowShortcut);
        addAction(command);
    }
}

void TMainForm::createMenus() {
    for (const MenuInfo &info : mainMenuTable()) {
        QMenu *menu = menuBar()->addMenu(info.caption);
        menu->menuAction()->setStatusTip(info.hint);
        menu->setToolTipsVisible(false);
        addCommands(menu, info.items, *this);
    }
}

void TMainForm::createToolBar() {
    ToolBar = addToolBar(QStringLiteral("Панель кнопок"));
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setMovable(false);
    ToolBar->setFloatable(false);
    ToolBar->toggleViewAction()->setVisible(false);
    ToolBar->setIconSize(QSize(20, 20));
    addCommands(ToolBar, toolBarTable(), *this);
}

void TMainForm::createStatusBar() {
    StatusPanel0 = new QLabel;
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    StatusPanel0->setFixedWidth(300);
    StatusPanel1 = new QLabel;
    StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    StatusPanel1->setFixedWidth(50);
    for (QLabel *panel : {StatusPanel0, StatusPanel1})
        panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(StatusPanel0);
    statusBar()->addWidget(StatusPanel1);
    statusBar()->setSizeGripEnabled(true);
}

QWidget *TMainForm::createFormulasPage() {
    IntoSpeedButton = makeSpeedButton(QStringLiteral("IntoSpeedButton"),
                                      QStringLiteral("Внутрь текущего объекта"), QStyle::SP_ArrowRight);
    LevelUpSpeedButton =
        makeSpeedButton(QStringLiteral("LevelUpSpeedButton"),
                        QStringLiteral("На один уровень по структуре вверх"), QStyle::SP_FileDialogToParent);
    TopLevelSpeedButton = makeSpeedButton(QStringLiteral("TopLevelSpeedButton"),
                                          QStringLiteral("На верхний уровень"), QStyle::SP_ArrowUp);
    LevelIDLabel = new QLabel(QStringLiteral("(верхний уровень)"));
    LevelIDLabel->setObjectName(QStringLiteral("LevelIDLabel"));
    QFont bold = LevelIDLabel->font();
    bold.setBold(true);
    LevelIDLabel->setFont(bold);

    auto *levelRow = new QHBoxLayout;
    levelRow->addWidget(IntoSpeedButton);
    levelRow->addWidget(LevelUpSpeedButton);
    levelRow->addWidget(TopLevelSpeedButton);
    levelRow->addSpacing(8);
    levelRow->addWidget(new QLabel(QStringLiteral("Текущий объект:")));
    levelRow->addWidget(LevelIDLabel, 1);

    ObjectsIDGrid =
        makeGrid(QStringLiteral("ObjectsIDGrid"),
                 {QString(), QStringLiteral("Описание"), QStringLiteral("Формула")}, kObjectsListContext);
    PictureImage = new QLabel;
    PictureImage->setObjectName(QStringLiteral("PictureImage"));
    PictureImage->setFixedSize(240, 240);
    PictureImage->setToolTip(QStringLiteral("Иллюстрация к текущей формуле или комплексу"));
    PictureImage->setStatusTip(PictureImage->toolTip());
    auto *pictureBox = new QGroupBox(QStringLiteral("Иллюстрация"));
    auto *pictureLayout = new QVBoxLayout(pictureBox);
    pictureLayout->addWidget(PictureImage);
    pictureLayout->addStretch();

    auto *objectsRow = new QHBoxLayout;
    objectsRow->addWidget(ObjectsIDGrid, 1);
    objectsRow->addWidget(pictureBox);

    const QStringList variableColumns = {QStringLiteral("Переменная"), QStringLiteral("Описание"),
                                         QStringLiteral("Значение"), QStringLiteral("Единица")};
    VarsIDGrid = makeGrid(QStringLiteral("VarsIDGrid"), variableColumns, kSourceGridContext);
    VarsIDGrid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
    ResultIDGrid = makeGrid(QStringLiteral("ResultIDGrid"), variableColumns, kResultGridContext);
    ToResultSpeedButton = makeVariableButton(QStringLiteral("ToResultSpeedButton"),
                                             QStringLiteral("Сделать переменную результирующей"), "→");
    ToVarsSpeedButton = makeVariableButton(QStringLiteral("ToVarsSpeedButton"),
                                           QStringLiteral("Сделать переменную исходной"), "←");
    ExcludeSpeedButton =
        makeVariableButton(QStringLiteral("ExcludeSpeedButton"), QStringLiteral("Исключить из расчёта"), "×");

    auto *source = new QVBoxLayout;
    source->addWidget(captionLabel(QStringLiteral("Данные:"), VarsIDGrid));
    source->addWidget(VarsIDGrid);
    auto *buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ToResultSpeedButton);
    buttons->addWidget(ToVarsSpeedButton);
    buttons->addWidget(ExcludeSpeedButton);
    buttons->addStretch();
    auto *result = new QVBoxLayout;
    result->addWidget(captionLabel(QStringLiteral("Результат:"), ResultIDGrid));
    result->addWidget(ResultIDGrid);
    // Equal stretches keep the variable buttons centred between the grids.
    auto *variablesRow = new QHBoxLayout;
    variablesRow->addLayout(source, 1);
    variablesRow->addLayout(buttons);
    variablesRow->addLayout(result, 1);

    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("FormulasTabSheet"));
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(levelRow);
    layout->addLayout(objectsRow, 1);
    layout->addLayout(variablesRow, 1);
    return page;
}

QWidget *TMainForm::createMeasuresPage() {
    QuantityIDComboBox = new QComboBox;
    QuantityIDComboBox->setObjectName(QStringLiteral("QuantityIDComboBox"));
    QuantityIDComboBox->setEditable(false);
    QuantityIDComboBox->setMinimumWidth(300);
    setHelpContext(QuantityIDComboBox, kQuantityListContext);
    QuantityEditButton = new QPushButton(QuantityEditAction->text());
    QuantityEditButton->setObjectName(QStringLiteral("QuantityEditButton"));
    QuantityEditButton->setToolTip(QuantityEditAction->statusTip());
    QuantityEditButton->setStatusTip(QuantityEditAction->statusTip());
    setHelpContext(QuantityEditButton, kQuantityEditButtonContext);
    MeasuresIDGrid = makeGrid(QStringLiteral("MeasuresIDGrid"),
                              {QStringLiteral("Название"), QStringLiteral("Обозначение"),
                               QStringLiteral("Коэффициент"), QStringLiteral("Значение")},
                              kUnitsGridContext);

    auto *quantityRow = new QHBoxLayout;
    quantityRow->addWidget(captionLabel(QStringLiteral("Величина:"), QuantityIDComboBox));
    quantityRow->addWidget(QuantityIDComboBox);
    quantityRow->addWidget(QuantityEditButton);
    quantityRow->addStretch();
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("MeasuresTabSheet"));
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(quantityRow);
    layout->addWidget(captionLabel(QStringLiteral("Единицы данной величины:"), MeasuresIDGrid));
    layout->addWidget(MeasuresIDGrid, 1);
    return page;
}

QWidget *TMainForm::createConstantsPage() {
    ConstantsIDGrid =
        makeGrid(QStringLiteral("ConstantsIDGrid"),
                 {QStringLiteral("Название"), QStringLiteral("Обозначение"), QStringLiteral("Значение"),
                  QStringLiteral("Величина"), QStringLiteral("Единица")},
                 kConstantsGridContext);
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("ConstantsTabSheet"));
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(ConstantsIDGrid);
    return page;
}

QWidget *TMainForm::createQuantitiesPage() {
    CloseBitBtn = new QPushButton(QStringLiteral("&Закрыть"));
    CloseBitBtn->setObjectName(QStringLiteral("CloseBitBtn"));
    QFont bold = CloseBitBtn->font();
    bold.setBold(true);
    CloseBitBtn->setFont(bold);
    setHelpContext(CloseBitBtn, kCloseEditorContext);
    QuantitiesIDGrid =
        makeGrid(QStringLiteral("QuantitiesIDGrid"),
                 {QStringLiteral("Название"), QStringLiteral("Длина"), QStringLiteral("Масса"),
                  QStringLiteral("Время"), QStringLiteral("Сила тока"), QStringLiteral("Темпер-ра"),
                  QStringLiteral("Кол-во вещ-ва"), QStringLiteral("Сила света"), QStringLiteral("Пл. угол"),
                  QStringLiteral("Тел. угол")},
                 kQuantityEditorGridContext);

    auto *closeRow = new QHBoxLayout;
    closeRow->addWidget(CloseBitBtn);
    closeRow->addStretch();
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("QuantitiesTabSheet"));
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(closeRow);
    layout->addWidget(QuantitiesIDGrid, 1);
    return page;
}

template <typename Handler>
void TMainForm::bind(QAction *command, Handler handler) {
    connect(command, &QAction::triggered, this, [this, handler] {
        (this->*handler)();
        RefreshCommands();
    });
}

void TMainForm::connectHandlers() {
    bind(ExitAction, &TMainForm::ExitActionExecute);
    bind(LoadBaseAction, &TMainForm::LoadBaseActionExecute);
    bind(AddBaseAction, &TMainForm::AddBaseActionExecute);
    bind(StatisticAction, &TMainForm::StatisticActionExecute);
    bind(CutAction, &TMainForm::CutActionExecute);
    bind(CopyAction, &TMainForm::CopyActionExecute);
    bind(PasteAction, &TMainForm::PasteActionExecute);
    bind(FindAction, &TMainForm::FindActionExecute);
    bind(ToolBarAction, &TMainForm::ToolBarActionExecute);
    bind(StatusAction, &TMainForm::StatusActionExecute);
    bind(FormulaAction, &TMainForm::FormulaActionExecute);
    bind(MeasureAction, &TMainForm::MeasureActionExecute);
    bind(ConstantsAction, &TMainForm::ConstantsActionExecute);
    bind(NewAction, &TMainForm::NewActionExecute);
    bind(DoubleAction, &TMainForm::DoubleActionExecute);
    bind(ChangeAction, &TMainForm::ChangeActionExecute);
    bind(DeleteAction, &TMainForm::DeleteActionExecute);
    bind(CalcAction, &TMainForm::CalcActionExecute);
    bind(ReportAction, &TMainForm::ReportActionExecute);
    bind(TaskAction, &TMainForm::TaskActionExecute);
    bind(QuantityEditAction, &TMainForm::QuantityEditActionExecute);
    bind(CalculatorAction, &TMainForm::CalculatorActionExecute);
    bind(ParamsAction, &TMainForm::ParamsActionExecute);
    bind(HelpAction, &TMainForm::HelpActionExecute);
    bind(ContextAction, &TMainForm::ContextActionExecute);
    bind(AboutAction, &TMainForm::AboutActionExecute);

    connect(QuantityEditButton, &QPushButton::clicked, QuantityEditAction, &QAction::trigger);
    connect(CloseBitBtn, &QPushButton::clicked, this, [this] { CloseBitBtnClick(); });
    connect(PageControl, &QTabWidget::currentChanged, this, [this] {
        if (Shown) PageControlChange();
    });
    const auto click = [this](QToolButton *button, void (TMainForm::*handler)()) {
        connect(button, &QToolButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    click(IntoSpeedButton, &TMainForm::IntoSpeedButtonClick);
    click(LevelUpSpeedButton, &TMainForm::LevelUpSpeedButtonClick);
    click(TopLevelSpeedButton, &TMainForm::TopLevelSpeedButtonClick);
    click(ToResultSpeedButton, &TMainForm::ToResultSpeedButtonClick);
    click(ToVarsSpeedButton, &TMainForm::ToVarsSpeedButtonClick);
    click(ExcludeSpeedButton, &TMainForm::ExcludeSpeedButtonClick);
    connect(ObjectsIDGrid, &QTableWidget::cellClicked, this, [this] { ObjectsIDGridClick(); });
    connect(ObjectsIDGrid, &QTableWidget::cellDoubleClicked, this, [this] { ObjectsIDGridDblClick(); });
    connect(VarsIDGrid, &QTableWidget::cellClicked, this, [this] { VarsIDGridClick(); });
    connect(ResultIDGrid, &QTableWidget::cellClicked, this, [this] { ResultIDGridClick(); });
    connect(QuantityIDComboBox, &QComboBox::activated, this, [this] { QuantityIDComboBoxChange(); });
    // The commands follow the focus between the lists of the formulas tab.
    connect(qApp, &QApplication::focusChanged, this, [this] { RefreshCommands(); });
}

// ---------------------------------------------------------------- start-up

void TMainForm::FormCreate() {
    // The help file of the application is the program's own help; every
    // control's number reaches it through one filter.
    Help = new ContextHelp(this);
    qApp->installEventFilter(Help);

    ClipboardObject = nullptr;
    ClipboardKind = 0;
    CurrentExpression = nullptr;
    Transposed = false;
    CurrentCollection = nullptr;
    SplitChanged = false;
    LastProtocol.reset();

    // Hints reach status panel 0 through event(): every status tip of the
    // window's controls and commands arrives there.
    ReadConfiguration();
    Base.open(pendingBaseName);
    SolverInit();

    FillQuantities(nullptr);
    FillMeasures(nullptr, nullptr);
    FillConstants(nullptr);
    ShowLevel(0, nullptr, nullptr, 0);
    RefreshCommands();
}

void TMainForm::ReadConfiguration() {
    const ConfigReading reading = readConfigurationFile(configurationPath());
    if (reading.status == ConfigStatus::FileMissing)
        platform().message(MessageKind::Error, QStringLiteral("Отсутствует файл Tessarin.tcf!"));
    // Without a usable record the window takes its design defaults and the
    // base name stays empty.
    applyConfiguration(reading.config);
    if (reading.status != ConfigStatus::Read) pendingBaseName.clear();
}

void TMainForm::applyConfiguration(const Configuration &config) {
    pendingBaseName = config.baseName.isEmpty() ? QString::fromLatin1(kDefaultBaseName) : config.baseName;
    PageControl->setCurrentIndex(config.activePage);
    resize(config.width, config.height);
    centreOnScreen();
    switch (config.windowState) {
        case WindowState::Normal:
            setWindowState(Qt::WindowNoState);
            break;
        case WindowState::Minimized:
            setWindowState(Qt::WindowMinimized);
            break;
        case WindowState::Maximized:
            setWindowState(Qt::WindowMaximized);
            break;
    }
    ToolBar->setVisible(config.toolBarVisible);
    statusBar()->setVisible(config.statusBarVisible);
    ToolBarAction->setChecked(config.toolBarVisible);
    StatusAction->setChecked(config.statusBarVisible);
    int index = 0;
    for (QTableWidget *grid : columnGrids())
        for (int column = 0; column < grid->columnCount(); ++column)
            grid->setColumnWidth(column, config.columnWidths[index++]);
    UserMode = config.userMode;
    ReportMode = config.reportMode;
}

void TMainForm::centreOnScreen() {
    if (const QScreen *screen = QApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

std::array<QTableWidget *, 6> TMainForm::columnGrids() const {
    return {ObjectsIDGrid, VarsIDGrid, ResultIDGrid, MeasuresIDGrid, ConstantsIDGrid, QuantitiesIDGrid};
}

void TMainForm::FormShow() {
    Shown = true;
    PageControlChange();
}

void TMainForm::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (!Shown) FormShow();
}

// ---------------------------------------------------------------- shut-down

Configuration TMainForm::currentConfiguration() const {
    Configuration config;
    if (windowState() & Qt::WindowMinimized)
        config.windowState = WindowState::Minimized;
    else if (windowState() & Qt::WindowMaximized)
        config.windowState = WindowState::Maximized;
    else
        config.windowState = WindowState::Normal;
    config.baseName = Base.isOpen() ? Base.baseName() : pendingBaseName;
    config.activePage = static_cast<uint8_t>(PageControl->currentIndex());
    // A maximized or minimized window keeps the size it returns to.
    const QSize size = config.windowState != WindowState::Normal && normalGeometry().isValid()
                           ? normalGeometry().size()
                           : this->size();
    config.width = static_cast<uint16_t>(size.width());
    config.height = static_cast<uint16_t>(size.height());
    config.toolBarVisible = ToolBarAction->isChecked();
    config.statusBarVisible = StatusAction->isChecked();
    int index = 0;
    for (QTableWidget *grid : columnGrids())
        for (int column = 0; column < grid->columnCount(); ++column)
            config.columnWidths[index++] = static_cast<uint16_t>(grid->columnWidth(column));
    config.userMode = UserMode;
    config.reportMode = ReportMode;
    return config;
}

void TMainForm::WriteConfiguration() {
    // A configuration that cannot be written is not reported.
    writeConfigurationFile(configurationPath(), currentConfiguration());
}

void TMainForm::FormDestroy() {
    qApp->removeEventFilter(Help);
    if (CurrentExpression) DestroyExpression(CurrentExpression);
    CurrentExpression = nullptr;
    if (CurrentCollection) DestroyCollection(CurrentCollection);
    CurrentCollection = nullptr;
    LastProtocol.reset();
    SolverDone();
    const Configuration config = currentConfiguration();
    Base.close();
    writeConfigurationFile(configurationPath(), config);
}

void TMainForm::ExitActionExecute() {
    close();
}

// ---------------------------------------------------------------- settings

void TMainForm::ParamsActionExecute() {
    EditParams();
}

void TMainForm::EditParams() {
    TParamsForm form(this);
    form.setSettings(UserMode, ReportMode);
    if (platform().runModal(form) != QDialog::Accepted) return;
    UserMode = form.userMode();
    ReportMode = form.reportMode();
}

void TMainForm::AboutActionExecute() {
    ShowAbout();
}

void TMainForm::ShowAbout() {
    TAboutForm form(this);
    platform().runModal(form);
}

void TMainForm::HelpActionExecute() {
    platform().helpContents();
}

void TMainForm::ContextActionExecute() {
    QWhatsThis::enterWhatsThisMode();
}

// ---------------------------------------------------------------- bases

void TMainForm::LoadBaseActionExecute() {
    const QString workingDirectory = QDir::currentPath();
    const QString chosen = platform().openFileName(QStringLiteral("Загрузить базу"),
                                                   QStringLiteral("Базы данных|*.tob"), workingDirectory);
    if (!chosen.isEmpty()) {
        const QFileInfo file(chosen);
        const QString fullName = QDir::toNativeSeparators(file.absoluteFilePath());
        const QString name = QDir(file.absolutePath()) == QDir(workingDirectory) ? file.fileName() : fullName;
        if (Base.connect(baseFileOf(name), name)) {
            ClipboardObject = nullptr;
            ClipboardKind = 0;
            FillQuantities(nullptr);
            FillMeasures(nullptr, nullptr);
            FillConstants(nullptr);
            ShowLevel(0, nullptr, nullptr, 0);
        }
    }
    QDir::setCurrent(workingDirectory);
}

void TMainForm::AddBaseActionExecute() {}

// ---------------------------------------------------------------- view

void TMainForm::ToolBarActionExecute() {
    ToolBar->setVisible(ToolBarAction->isChecked());
}

void TMainForm::StatusActionExecute() {
    statusBar()->setVisible(StatusAction->isChecked());
}

void TMainForm::StatusBarHint(const QString &hint) {
    StatusPanel0->setText(hint);
}

bool TMainForm::event(QEvent *event) {
    if (event->type() == QEvent::StatusTip) {
        StatusBarHint(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TMainForm::checkPageCommand(int page) {
    switch (page) {
        case kFormulasPage:
            FormulaAction->setChecked(true);
            break;
        case kMeasuresPage:
            MeasureAction->setChecked(true);
            break;
        case kConstantsPage:
            ConstantsAction->setChecked(true);
            break;
        default:
            break;
    }
}

void TMainForm::PageControlChange() {
    const int page = PageControl->currentIndex();
    checkPageCommand(page);
    if (page == kFormulasPage) ObjectsIDGrid->setFocus();
    if ((page == kMeasuresPage || page == kConstantsPage) && CurrentExpression) {
        DestroyExpression(CurrentExpression);
        CurrentExpression = nullptr;
    }
    RefreshCommands();
}

void TMainForm::switchToPage(int page) {
    const bool wasShown = Shown;
    Shown = false;  // the change is handled below, once
    PageControl->setTabVisible(page, true);
    PageControl->setCurrentIndex(page);
    Shown = wasShown;
    PageControlChange();
}

void TMainForm::FormulaActionExecute() {
    switchToPage(kFormulasPage);
}
void TMainForm::MeasureActionExecute() {
    switchToPage(kMeasuresPage);
}
void TMainForm::ConstantsActionExecute() {
    switchToPage(kConstantsPage);
}

void TMainForm::QuantityEditActionExecute() {
    const bool wasShown = Shown;
    Shown = false;
    PageControl->setTabVisible(kQuantitiesPage, true);
    PageControl->setCurrentIndex(kQuantitiesPage);
    Shown = wasShown;
    if (QuantityIDComboBox->count() > 0 && QuantityIDComboBox->currentIndex() >= 0 &&
        QuantityIDComboBox->currentIndex() < QuantitiesIDGrid->rowCount())
        QuantitiesIDGrid->selectRow(QuantityIDComboBox->currentIndex());
    RefreshCommands();
}

void TMainForm::CloseBitBtnClick() {
    const bool wasShown = Shown;
    Shown = false;
    PageControl->setTabVisible(kMeasuresPage, true);
    PageControl->setCurrentIndex(kMeasuresPage);
    MeasureAction->setChecked(true);
    RefreshCommands();
    // The tab set has changed under the tab control.
    PageControl->setCurrentIndex(kMeasuresPage);
    Shown = wasShown;
}

void TMainForm::resizeEvent(QResizeEvent *event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

// The layouts keep the variable buttons centred with a grid on each side.
void TMainForm::FormResize() {}

// ---------------------------------------------------------------- commands

CommandInputs TMainForm::commandInputs() const {
    CommandInputs in;
    in.page = PageControl->currentIndex();
    in.userMode = UserMode;
    in.clipboardKind = ClipboardKind;
    const QTableWidget *grids[4] = {nullptr, MeasuresIDGrid, ConstantsIDGrid, QuantitiesIDGrid};
    if (in.page > 0) {
        const QTableWidget *grid = grids[in.page];
        in.gridHasRows = grid->rowCount() > 0;
        in.gridHasCurrentObject = grid->currentRow() >= 0 && grid->currentRow() < grid->rowCount();
        in.quantitySelected = QuantityIDComboBox->currentIndex() >= 0;
        return in;
    }
    const QWidget *focused = QApplication::focusWidget();
    if (focused == ObjectsIDGrid)
        in.focus = FormulaFocus::Objects;
    else if (focused == VarsIDGrid)
        in.focus = FormulaFocus::Source;
    else if (focused == ResultIDGrid)
        in.focus = FormulaFocus::Result;
    in.objectRows = ObjectsIDGrid->rowCount();
    in.objectsHaveCurrentObject = ObjectsIDGrid->currentRow() >= 0 && in.objectRows > 0;
    in.levelKind = LevelKind;
    in.sourceRows = VarsIDGrid->rowCount();
    in.resultRows = ResultIDGrid->rowCount();
    in.lastProtocol = LastProtocol != nullptr;
    return in;
}

void TMainForm::applyCommandStates(const CommandStates &states) {
    for (QAction *command : {AddBaseAction, CutAction, NewAction, DoubleAction, DeleteAction})
        command->setVisible(states.changesVisible);
    NewAction->setEnabled(states.newEnabled);
    DoubleAction->setEnabled(states.doubleEnabled);
    ChangeAction->setEnabled(states.changeEnabled);
    DeleteAction->setEnabled(states.deleteEnabled);
    CalcAction->setEnabled(states.calcEnabled);
    ReportAction->setEnabled(states.reportEnabled);
    CutAction->setEnabled(states.cutEnabled);
    CopyAction->setEnabled(states.copyEnabled);
    PasteAction->setEnabled(states.pasteEnabled);
    // Shift+Ins belongs to both Paste and Double: it pastes when pasting is
    // possible and duplicates otherwise.
    const QKeySequence shiftIns(QStringLiteral("Shift+Ins"));
    DoubleAction->setShortcut(states.pasteEnabled && PasteAction->isVisible() ? QKeySequence() : shiftIns);
    IntoSpeedButton->setEnabled(states.intoEnabled);
    LevelUpSpeedButton->setEnabled(states.levelUpEnabled);
    TopLevelSpeedButton->setEnabled(states.topLevelEnabled);
    ToResultSpeedButton->setEnabled(states.toResultEnabled);
    ToVarsSpeedButton->setEnabled(states.toSourceEnabled);
    ExcludeSpeedButton->setEnabled(states.excludeEnabled);

    const bool wasShown = Shown;
    Shown = false;  // hiding tabs moves the current one; that is no user's choice
    for (int page = kFormulasPage; page <= kConstantsPage; ++page)
        PageControl->setTabVisible(page, !states.editorOnly);
    PageControl->setTabVisible(kQuantitiesPage, states.editorOnly);
    Shown = wasShown;
    for (QAction *command : {LoadBaseAction, AddBaseAction, TaskAction, QuantityEditAction, FormulaAction,
                             MeasureAction, ConstantsAction})
        command->setEnabled(!states.editorOnly);
}

void TMainForm::RefreshCommands() {
    applyCommandStates(computeCommandStates(commandInputs()));
}

// ------------------------------------------------- lists and navigation
// The lists are filled and navigated by the window's navigation; until the
// object-bound grids carry their objects these steps leave the lists as
// they are.

void TMainForm::FillQuantities(void *) {}
void TMainForm::FillMeasures(void *, void *) {}
void TMainForm::FillConstants(void *) {}

void TMainForm::ShowLevel(int levelKind, void *, void *, int) {
    if (levelKind == 3) return;
    ObjectsIDGrid->setRowCount(0);
    LevelKind = 0;
    LevelIDLabel->setText(QStringLiteral("(верхний уровень)"));
    SelectObject(0, nullptr);
}

void TMainForm::SelectObject(int, void *) {
    if (ObjectsIDGrid->rowCount() == 0) {
        PictureImage->clear();
        VarsIDGrid->setRowCount(0);
        ResultIDGrid->setRowCount(0);
    }
}

void TMainForm::ShowObject(int, void *) {}
void TMainForm::IntoSpeedButtonClick() {
    RefreshCommands();
}
void TMainForm::LevelUpSpeedButtonClick() {
    RefreshCommands();
}
void TMainForm::TopLevelSpeedButtonClick() {
    ShowLevel(0, nullptr, nullptr, 0);
    RefreshCommands();
}
void TMainForm::ObjectsIDGridClick() {
    RefreshCommands();
}
void TMainForm::ObjectsIDGridDblClick() {
    IntoSpeedButtonClick();
}
void TMainForm::VarsIDGridClick() {
    RefreshCommands();
}
void TMainForm::ResultIDGridClick() {
    RefreshCommands();
}
void TMainForm::QuantityIDComboBoxChange() {
    FillMeasures(nullptr, nullptr);
    RefreshCommands();
}

// ------------------------------------------------- commands of other windows

void TMainForm::StatisticActionExecute() {}
void TMainForm::CutActionExecute() {}
void TMainForm::CopyActionExecute() {}
void TMainForm::PasteActionExecute() {}
void TMainForm::FindActionExecute() {}
void TMainForm::NewActionExecute() {}
void TMainForm::DoubleActionExecute() {}
void TMainForm::ChangeActionExecute() {}
void TMainForm::DeleteActionExecute() {}
void TMainForm::CalcActionExecute() {}
void TMainForm::ReportActionExecute() {}
void TMainForm::TaskActionExecute() {}
void TMainForm::CalculatorActionExecute() {}
void TMainForm::ToResultSpeedButtonClick() {
    RefreshCommands();
}
void TMainForm::ToVarsSpeedButtonClick() {
    RefreshCommands();
}
void TMainForm::ExcludeSpeedButtonClick() {
    RefreshCommands();
}

}  // namespace tessarin
