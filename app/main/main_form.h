// The main window: the menus, tool bar, status bar and four tabs over the
// object base, and the program's start-up and shut-down.
#pragma once

#include <QMainWindow>
#include <array>
#include <memory>

#include "main/base_session.h"
#include "main/commands.h"
#include "main/configuration.h"
#include "main/protocol.h"
#include "solver.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QToolBar;
class QToolButton;

namespace tessarin {

class ContextHelp;

// Tabs of the window.
enum MainPage { kFormulasPage = 0, kMeasuresPage = 1, kConstantsPage = 2, kQuantitiesPage = 3 };

class TMainForm : public QMainWindow {
    Q_OBJECT

  public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // Settings of the run.
    QString BaseName() const { return Base.baseName(); }
    bool UserMode = false;
    uint8_t ReportMode = 0;

    // The window's state beyond its lists.
    void *ClipboardObject = nullptr;
    int ClipboardKind = 0;
    Expression CurrentExpression = nullptr;
    bool Transposed = false;
    Collection CurrentCollection = nullptr;
    bool SplitChanged = false;
    std::unique_ptr<Protocol> LastProtocol;

    // Commands.
    QAction *ExitAction, *LoadBaseAction, *AddBaseAction, *StatisticAction, *CutAction, *CopyAction,
        *PasteAction, *FindAction, *ToolBarAction, *StatusAction, *FormulaAction, *MeasureAction,
        *ConstantsAction, *NewAction, *DoubleAction, *ChangeAction, *DeleteAction, *CalcAction, *ReportAction,
        *TaskAction, *QuantityEditAction, *CalculatorAction, *ParamsAction, *HelpAction, *ContextAction,
        *AboutAction;
    QAction *action(const QString &name) const;

    // Window parts.
    QToolBar *ToolBar;
    QLabel *StatusPanel0, *StatusPanel1;
    QMenu *PopupMenu;
    QTabWidget *PageControl;
    // Tab 0.
    QToolButton *IntoSpeedButton, *LevelUpSpeedButton, *TopLevelSpeedButton;
    QLabel *LevelIDLabel;
    QTableWidget *ObjectsIDGrid;
    QLabel *PictureImage;
    QTableWidget *VarsIDGrid, *ResultIDGrid;
    QToolButton *ToResultSpeedButton, *ToVarsSpeedButton, *ExcludeSpeedButton;
    // Tab 1.
    QComboBox *QuantityIDComboBox;
    QPushButton *QuantityEditButton;
    QTableWidget *MeasuresIDGrid;
    // Tab 2.
    QTableWidget *ConstantsIDGrid;
    // Tab 3.
    QPushButton *CloseBitBtn;
    QTableWidget *QuantitiesIDGrid;

    // The configuration as the window stands now.
    Configuration currentConfiguration() const;
    // What the commands depend on, read from the window.
    CommandInputs commandInputs() const;

    // Steps of the window.
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void ReadConfiguration();
    void WriteConfiguration();
    void applyConfiguration(const Configuration &config);
    void EditParams();
    void ShowAbout();
    void FillQuantities(void *select);
    void FillMeasures(void *quantity, void *select);
    void FillConstants(void *select);
    void ShowLevel(int levelKind, void *level, void *select, int selectKind);
    void SelectObject(int kind, void *object);
    void RefreshCommands();
    void ShowObject(int kind, void *object);
    void StatusBarHint(const QString &hint);

    // Handlers.
    void ExitActionExecute();
    void LoadBaseActionExecute();
    void AddBaseActionExecute();
    void StatisticActionExecute();
    void CutActionExecute();
    void CopyActionExecute();
    void PasteActionExecute();
    void FindActionExecute();
    void ToolBarActionExecute();
    void StatusActionExecute();
    void FormulaActionExecute();
    void MeasureActionExecute();
    void ConstantsActionExecute();
    void NewActionExecute();
    void DoubleActionExecute();
    void ChangeActionExecute();
    void DeleteActionExecute();
    void CalcActionExecute();
    void ReportActionExecute();
    void TaskActionExecute();
    void QuantityEditActionExecute();
    void CalculatorActionExecute();
    void ParamsActionExecute();
    void HelpActionExecute();
    void ContextActionExecute();
    void AboutActionExecute();
    void PageControlChange();
    void FormResize();
    void IntoSpeedButtonClick();
    void LevelUpSpeedButtonClick();
    void TopLevelSpeedButtonClick();
    void ObjectsIDGridClick();
    void ObjectsIDGridDblClick();
    void VarsIDGridClick();
    void ResultIDGridClick();
    void QuantityIDComboBoxChange();
    void CloseBitBtnClick();
    void ToResultSpeedButtonClick();
    void ToVarsSpeedButtonClick();
    void ExcludeSpeedButtonClick();

  protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

  private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    QWidget *createFormulasPage();
    QWidget *createMeasuresPage();
    QWidget *createConstantsPage();
    QWidget *createQuantitiesPage();
    void connectHandlers();
    // Runs a handler and then recomputes the commands.
    template <typename Handler>
    void bind(QAction *action, Handler handler);
    void switchToPage(int page);
    void checkPageCommand(int page);
    void applyCommandStates(const CommandStates &states);
    std::array<QTableWidget *, 6> columnGrids() const;

    void centreOnScreen();

    BaseSession Base;
    // The base name read from the configuration, until the base is open.
    QString pendingBaseName;
    // The level of the objects list: 0 top, 1 group, 2 complex.
    int LevelKind = 0;
    ContextHelp *Help = nullptr;
    // False until FormShow: tab changes made while building the window are
    // not the user's.
    bool Shown = false;
};

}  // namespace tessarin
