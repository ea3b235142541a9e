// Message boxes and the file dialog are set up as the program asks.
#include "app/qt/file_dialog.h"
#include "app/qt/message_box.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/forms/forms.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace chengxi::testing {
namespace {

using qt::answerOf;
using qt::makeMessageBox;
using ui::Answer;

TEST(MessageBox, ConfirmationHasTitleIconAndBothButtonsWithEscapeMeaningCancel) {
    const auto box = makeMessageBox(
        {"确定要清空图书数据吗？", "警告", ui::Buttons::OkCancel, ui::Icon::Warning});
    EXPECT_EQ(box->windowTitle(), QStringLiteral("警告"));
    EXPECT_EQ(box->text(), QStringLiteral("确定要清空图书数据吗？"));
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    const QList<QAbstractButton*> buttons = box->buttons();
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_EQ(box->defaultButton()->text(), QStringLiteral("确定"));
    EXPECT_EQ(box->escapeButton()->text(), QStringLiteral("取消"));
    // Closed without a button press: Escape's answer.
    EXPECT_EQ(answerOf(*box), ui::Answer::Cancel);
    box->defaultButton()->click();
    EXPECT_EQ(answerOf(*box), ui::Answer::Ok);
}

// Enter presses the default button: Cancel on a confirmation of what cannot be undone.
TEST(MessageBox, EnterPressesTheMessagesDefaultButton) {
    for (const Answer defaultButton : {Answer::Cancel, Answer::Ok}) {
        const auto box = makeMessageBox({.text = "确定要清空图书数据吗？",
                                         .title = "警告",
                                         .buttons = ui::Buttons::OkCancel,
                                         .defaultButton = defaultButton});
        QTimer::singleShot(0, box.get(), [&box] { QTest::keyClick(box.get(), Qt::Key_Return); });
        box->exec();
        EXPECT_EQ(answerOf(*box), defaultButton);
    }
}

TEST(MessageBox, NoticeHasOnlyOkAndTheDefaultTitle) {
    const auto box = makeMessageBox({"备份数据库成功"});
    EXPECT_EQ(box->windowTitle(), QStringLiteral("信息："));
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    ASSERT_EQ(box->buttons().size(), 1);
    EXPECT_EQ(answerOf(*box), ui::Answer::Ok);
    EXPECT_EQ(makeMessageBox({"x", "提示", ui::Buttons::Ok, ui::Icon::Error})->icon(),
              QMessageBox::Critical);
    EXPECT_EQ(makeMessageBox({"x", "提示", ui::Buttons::Ok, ui::Icon::Information})->icon(),
              QMessageBox::Information);
}

TEST(FileDialog, FilterTextBecomesQtNameFilters) {
    EXPECT_EQ(qt::toNameFilters("Excel文件（*.xls）|*.xls"),
              QStringLiteral("Excel文件（*.xls） (*.xls)"));
    EXPECT_EQ(qt::toNameFilters("表格|*.xls;*.xlt|全部|*.*"),
              QStringLiteral("表格 (*.xls *.xlt);;全部 (*.*)"));
    EXPECT_EQ(qt::toNameFilters(""), QString());
}

// The program's one dialog offers both workbook kinds, and a new name
// without an ending still becomes an .xls file.
TEST(FileDialog, TheProgramsDialogOffersXlsAndXlsx) {
    const ui::Window main(ui::mainForm());
    QFileDialog save;
    qt::prepareFileDialog(save, main.control(ui::names::main::kFileDialog).fileDialog());
    EXPECT_EQ(save.nameFilters(), QStringList{QStringLiteral("Excel 工作簿 (*.xls *.xlsx)")});
    EXPECT_EQ(save.defaultSuffix(), QStringLiteral("xls"));
}

TEST(FileDialog, OpenAndSaveDialogsFollowTheState) {
    QTemporaryDir folder;
    ui::FileDialogState state;
    state.filter = "Excel文件（*.xls）|*.xls";
    state.defaultExtension = ".xls";
    state.initialFolder = folder.path().toStdString();
    state.fileName = "/elsewhere/图书.xls";

    QFileDialog open;
    qt::prepareFileDialog(open, state);
    EXPECT_EQ(open.acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(open.fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(open.defaultSuffix(), QStringLiteral("xls"));
    EXPECT_EQ(open.nameFilters(), QStringList{QStringLiteral("Excel文件（*.xls） (*.xls)")});
    EXPECT_EQ(QDir(open.directory()).canonicalPath(), QDir(folder.path()).canonicalPath());

    state.type = 1;
    QFileDialog save;
    qt::prepareFileDialog(save, state);
    EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(save.fileMode(), QFileDialog::AnyFile);
    EXPECT_FALSE(save.testOption(QFileDialog::DontConfirmOverwrite));
}

} // namespace
} // namespace chengxi::testing
