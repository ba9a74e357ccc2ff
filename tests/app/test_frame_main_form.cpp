// The main window's frame: start-up and shut-down with the configuration,
// the parameters dialog, the View commands, the tab of the quantity editor,
// connecting another base, and the hint and help routing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QWhatsThis>
#include <memory>

#include "app/recording_platform.h"
#include "main/base_session.h"
#include "main/configuration.h"
#include "main/main_form.h"
#include "main/params_form.h"
#include "main/paths.h"

namespace tessarin {
namespace {

const QByteArray kEmptyBase("TDB\x01\x00", 5);

// The program lives in a scratch directory that is also the working
// directory, as the program's entry arranges.
class MainFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(program.isValid());
        setProgramDirectory(program.path());
        previousDirectory = QDir::currentPath();
        QDir::setCurrent(program.path());
    }
    void TearDown() override {
        form.reset();
        setProgramDirectory({});
        QDir::setCurrent(previousDirectory);
    }

    QString inProgram(const QString &name) const { return program.filePath(name); }
    static void writeFile(const QString &path, const QByteArray &bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray readFile(const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeConfiguration(const Configuration &config) {
        writeFile(inProgram(QStringLiteral("Tessarin.tcf")), encodeConfiguration(config));
    }
    // A configuration that connects the empty base "Data.tob".
    Configuration withBase() {
        writeFile(inProgram(QStringLiteral("Data.tob")), kEmptyBase);
        Configuration config;
        config.baseName = QStringLiteral("Data.tob");
        return config;
    }
    void start() { form = std::make_unique<TMainForm>(); }
    void stop() { form.reset(); }

    QTemporaryDir program;
    QString previousDirectory;
    testing::RecordingPlatform platform;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormTest, FirstStartWithoutConfiguration) {
    start();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(platform.messages[0].text, QStringLiteral("Отсутствует файл Tessarin.tcf!"));
    EXPECT_EQ(form->size(), QSize(1007, 628));
    EXPECT_EQ(form->PageControl->currentIndex(), 0);
    EXPECT_FALSE(form->ToolBar->isHidden());
    EXPECT_FALSE(form->statusBar()->isHidden());
    EXPECT_TRUE(form->ToolBarAction->isChecked());
    EXPECT_TRUE(form->StatusAction->isChecked());
    EXPECT_TRUE(form->FormulaAction->isChecked());
    EXPECT_TRUE(form->BaseName().isEmpty());
    EXPECT_EQ(form->ObjectsIDGrid->columnWidth(1), 378);
    EXPECT_EQ(form->QuantitiesIDGrid->columnWidth(9), 68);
    stop();

    const QByteArray record = readFile(inProgram(QStringLiteral("Tessarin.tcf")));
    ASSERT_EQ(record.size(), 348);
    const auto config = decodeConfiguration(record);
    ASSERT_TRUE(config.has_value());
    EXPECT_EQ(*config, Configuration{});
    // The empty base was written as the default base beside the program.
    EXPECT_EQ(readFile(inProgram(QStringLiteral("Data.tob"))).left(5), kEmptyBase);
    EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(MainFormTest, RecordWithWrongSignatureIsIgnoredSilently) {
    Configuration config = withBase();
    config.toolBarVisible = false;
    config.width = 1200;
    QByteArray record = encodeConfiguration(config);
    record[5] = 'G';  // "TCONG"
    writeFile(inProgram(QStringLiteral("Tessarin.tcf")), record);
    start();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(form->ToolBar->isHidden());
    EXPECT_EQ(form->width(), 1007);
    EXPECT_TRUE(form->BaseName().isEmpty());
}

TEST_F(MainFormTest, LayoutIsRestoredAndWrittenBack) {
    Configuration config = withBase();
    config.toolBarVisible = false;
    config.statusBarVisible = true;
    config.width = 1100;
    config.height = 700;
    config.activePage = 2;
    config.columnWidths[1] = 222;  // objects list, "Описание"
    config.columnWidths[19] = 99;  // constants, "Единица"
    config.userMode = true;
    config.reportMode = 2;
    writeConfiguration(config);
    start();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(form->ToolBar->isHidden());
    EXPECT_FALSE(form->ToolBarAction->isChecked());
    EXPECT_EQ(form->size(), QSize(1100, 700));
    EXPECT_EQ(form->PageControl->currentIndex(), 2);
    EXPECT_EQ(form->ObjectsIDGrid->columnWidth(1), 222);
    EXPECT_EQ(form->ConstantsIDGrid->columnWidth(4), 99);
    EXPECT_TRUE(form->UserMode);
    EXPECT_EQ(form->ReportMode, 2);
    EXPECT_EQ(form->BaseName(), QStringLiteral("Data.tob"));
    stop();
    EXPECT_EQ(decodeConfiguration(readFile(inProgram(QStringLiteral("Tessarin.tcf")))), config);
}

TEST_F(MainFormTest, ViewCommandsShowAndHideTheBars) {
    writeConfiguration(withBase());
    start();
    form->ToolBarAction->trigger();
    EXPECT_TRUE(form->ToolBar->isHidden());
    EXPECT_FALSE(form->ToolBarAction->isChecked());
    form->StatusAction->trigger();
    EXPECT_TRUE(form->statusBar()->isHidden());
    form->ToolBarAction->trigger();
    EXPECT_FALSE(form->ToolBar->isHidden());
    stop();
    const QByteArray record = readFile(inProgram(QStringLiteral("Tessarin.tcf")));
    EXPECT_EQ(record[284], 1);
    EXPECT_EQ(record[285], 0);
}

TEST_F(MainFormTest, EmptyStoredBaseNameConnectsTheDefaultBase) {
    Configuration config = withBase();
    config.baseName.clear();
    writeConfiguration(config);
    start();
    EXPECT_EQ(form->BaseName(), QStringLiteral("Data.tob"));
}

TEST_F(MainFormTest, ParametersDialogChangesOnlyOnOk) {
    struct Case {
        int result;
        bool userMode;
        uint8_t reportMode;
    };
    writeConfiguration(withBase());
    start();
    const Case cases[] = {{QDialog::Rejected, false, 0},
                          {QDialog::Accepted, true, 3},
                          {QDialog::Rejected, true, 3},
                          {QDialog::Accepted, false, 1}};
    for (const Case &c : cases) {
        const bool shownUserMode = form->UserMode;
        const uint8_t shownReportMode = form->ReportMode;
        platform.dialogDrivers.push_back([&](QDialog &dialog) {
            auto *params = qobject_cast<TParamsForm *>(&dialog);
            EXPECT_NE(params, nullptr);
            if (!params) return int(QDialog::Rejected);
            EXPECT_EQ(params->windowTitle(), QStringLiteral("Параметры"));
            EXPECT_EQ(params->UserModeCheckBox->isChecked(), shownUserMode);
            EXPECT_EQ(params->reportMode(), shownReportMode);
            // The user changes both, then leaves by OK or Cancel.
            params->UserModeCheckBox->setChecked(!shownUserMode);
            params->ReportViewButtons->button((shownReportMode + 1) % 4)->click();
            if (c.result == QDialog::Accepted) {
                params->UserModeCheckBox->setChecked(c.userMode);
                params->ReportViewButtons->button(c.reportMode)->click();
            }
            return c.result;
        });
        form->ParamsAction->trigger();
        EXPECT_EQ(form->UserMode, c.userMode);
        EXPECT_EQ(form->ReportMode, c.reportMode);
    }
    EXPECT_TRUE(platform.dialogDrivers.empty());
}

TEST_F(MainFormTest, QuantityEditorTabIsShownAlone) {
    writeConfiguration(withBase());
    start();
    QTabWidget *tabs = form->PageControl;
    EXPECT_FALSE(tabs->isTabVisible(3));
    form->QuantityEditAction->trigger();
    EXPECT_EQ(tabs->currentIndex(), 3);
    for (int page = 0; page < 3; ++page) EXPECT_FALSE(tabs->isTabVisible(page)) << page;
    EXPECT_TRUE(tabs->isTabVisible(3));
    for (QAction *command :
         {form->LoadBaseAction, form->AddBaseAction, form->TaskAction, form->QuantityEditAction,
          form->FormulaAction, form->MeasureAction, form->ConstantsAction})
        EXPECT_FALSE(command->isEnabled()) << command->objectName().toStdString();

    form->CloseBitBtn->click();
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_TRUE(form->MeasureAction->isChecked());
    for (int page = 0; page < 3; ++page) EXPECT_TRUE(tabs->isTabVisible(page)) << page;
    EXPECT_FALSE(tabs->isTabVisible(3));
    EXPECT_TRUE(form->LoadBaseAction->isEnabled());

    form->ConstantsAction->trigger();
    EXPECT_EQ(tabs->currentIndex(), 2);
    EXPECT_TRUE(form->ConstantsAction->isChecked());
}

TEST_F(MainFormTest, UserModeHidesTheCommandsThatChangeTheBase) {
    Configuration config = withBase();
    config.userMode = true;
    writeConfiguration(config);
    start();
    for (QAction *command :
         {form->AddBaseAction, form->CutAction, form->NewAction, form->DoubleAction, form->DeleteAction})
        EXPECT_FALSE(command->isVisible()) << command->objectName().toStdString();
    EXPECT_TRUE(form->CopyAction->isVisible());
    EXPECT_TRUE(form->PasteAction->isVisible());
}

TEST_F(MainFormTest, HintsReachStatusPanelZero) {
    writeConfiguration(withBase());
    start();
    form->CalcAction->showStatusText(form->ObjectsIDGrid);
    EXPECT_EQ(form->StatusPanel0->text(), QStringLiteral("Вычислить по данным значениям"));
    EXPECT_TRUE(form->StatusPanel1->text().isEmpty());
    EXPECT_EQ(form->StatusPanel0->width(), 300);
    EXPECT_EQ(form->StatusPanel1->width(), 50);
}

TEST_F(MainFormTest, HelpReachesContentsTopicsAndContexts) {
    writeConfiguration(withBase());
    start();
    form->HelpAction->trigger();
    EXPECT_EQ(platform.helpShown, QStringList{QStringLiteral("contents")});

    // A click in what's-this mode, and F1, ask for the control's number.
    struct Case {
        QWidget *widget;
        int context;
    };
    const Case cases[] = {{form.get(), 1},
                          {form->PageControl, 64},
                          {form->ObjectsIDGrid, 57},
                          {form->VarsIDGrid, 52},
                          {form->ResultIDGrid, 53},
                          {form->QuantityIDComboBox, 58},
                          {form->QuantityEditButton, 59},
                          {form->MeasuresIDGrid, 60},
                          {form->ConstantsIDGrid, 61},
                          {form->CloseBitBtn, 62},
                          {form->QuantitiesIDGrid, 63},
                          {form->LevelIDLabel, 64}};
    for (const Case &c : cases) {
        platform.helpShown.clear();
        QHelpEvent whatsThis(QEvent::WhatsThis, QPoint(1, 1), QPoint(1, 1));
        QApplication::sendEvent(c.widget, &whatsThis);
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QApplication::sendEvent(c.widget, &f1);
        const QString expected = QStringLiteral("context:%1").arg(c.context);
        EXPECT_EQ(platform.helpShown, QStringList({expected, expected}))
            << c.widget->objectName().toStdString();
    }

    form->ContextAction->trigger();
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    QWhatsThis::leaveWhatsThisMode();

    platform.helpShown.clear();
    TParamsForm params;
    params.HelpButton->click();
    QHelpEvent onCheckBox(QEvent::WhatsThis, QPoint(1, 1), QPoint(1, 1));
    QApplication::sendEvent(params.UserModeCheckBox, &onCheckBox);
    QHelpEvent onGroup(QEvent::WhatsThis, QPoint(1, 1), QPoint(1, 1));
    QApplication::sendEvent(params.ReportViewButtons->button(2), &onGroup);
    EXPECT_EQ(platform.helpShown, QStringList({QStringLiteral("topic:Params_Command"),
                                               QStringLiteral("context:55"), QStringLiteral("context:56")}));
}

// Connecting another base.
class ConnectBaseTest : public MainFormTest {
  protected:
    void SetUp() override {
        MainFormTest::SetUp();
        ASSERT_TRUE(elsewhere.isValid());
        writeConfiguration(withBase());
        start();
    }
    QString connect(const QString &file) {
        platform.fileAnswers.push_back(file);
        form->LoadBaseAction->trigger();
        return form->BaseName();
    }
    QTemporaryDir elsewhere;
};

TEST_F(ConnectBaseTest, NameIsBareOnlyInTheWorkingDirectory) {
    writeFile(inProgram(QStringLiteral("b.tob")), kEmptyBase);
    writeFile(elsewhere.filePath(QStringLiteral("c.tob")), kEmptyBase);
    EXPECT_EQ(connect(inProgram(QStringLiteral("b.tob"))), QStringLiteral("b.tob"));
    EXPECT_EQ(connect(elsewhere.filePath(QStringLiteral("c.tob"))),
              QDir::toNativeSeparators(elsewhere.filePath(QStringLiteral("c.tob"))));
    EXPECT_EQ(QDir::currentPath(), QDir(program.path()).absolutePath());
    EXPECT_TRUE(platform.messages.empty());

    // Cancelling the dialog changes nothing.
    EXPECT_EQ(connect(QString()), QDir::toNativeSeparators(elsewhere.filePath(QStringLiteral("c.tob"))));
    stop();
    EXPECT_EQ(decodeConfiguration(readFile(inProgram(QStringLiteral("Tessarin.tcf"))))->baseName,
              QDir::toNativeSeparators(elsewhere.filePath(QStringLiteral("c.tob"))));
}

TEST_F(ConnectBaseTest, BareBaseIsWrittenBesideTheProgramWhateverTheWorkingDirectory) {
    QFile::remove(inProgram(QStringLiteral("Data.tob")));
    writeFile(elsewhere.filePath(QStringLiteral("c.tob")), kEmptyBase);
    QDir::setCurrent(elsewhere.path());
    connect(elsewhere.filePath(QStringLiteral("c.tob")));
    EXPECT_EQ(readFile(inProgram(QStringLiteral("Data.tob"))).left(5), kEmptyBase);
    EXPECT_FALSE(QFileInfo::exists(elsewhere.filePath(QStringLiteral("Data.tob"))));
}

TEST_F(ConnectBaseTest, UnusableFilesAreReportedAndLoseNothing) {
    const QString notABase = elsewhere.filePath(QStringLiteral("notes.tob"));
    const QByteArray notes("These are my notes, not a base.");
    writeFile(notABase, notes);
    const QString missing = elsewhere.filePath(QStringLiteral("missing.tob"));
    const QString tooLong = elsewhere.filePath(QString(260, u'д') + QStringLiteral(".tob"));

    struct Case {
        QString file;
        QString message;
    };
    const Case cases[] = {{notABase, notABaseMessage(notABase)},
                          {missing, cannotOpenMessage(missing)},
                          {tooLong, cannotOpenMessage(tooLong)}};
    for (const Case &c : cases) {
        platform.messages.clear();
        EXPECT_EQ(connect(c.file), QStringLiteral("Data.tob"));
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].kind, MessageKind::Error);
        EXPECT_EQ(platform.messages[0].text, c.message);
    }
    stop();
    EXPECT_EQ(readFile(notABase), notes);
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_EQ(readFile(inProgram(QStringLiteral("Data.tob"))).left(5), kEmptyBase);
}

TEST_F(MainFormTest, StartingOnAFileThatIsNotABaseNeverOverwritesIt) {
    const QByteArray notes("notes");
    writeFile(inProgram(QStringLiteral("notes.tob")), notes);
    Configuration config;
    config.baseName = QStringLiteral("notes.tob");
    writeConfiguration(config);
    start();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, notABaseMessage(inProgram(QStringLiteral("notes.tob"))));
    stop();
    EXPECT_EQ(readFile(inProgram(QStringLiteral("notes.tob"))), notes);
    EXPECT_EQ(decodeConfiguration(readFile(inProgram(QStringLiteral("Tessarin.tcf"))))->baseName,
              QStringLiteral("notes.tob"));
}

}  // namespace
}  // namespace tessarin
